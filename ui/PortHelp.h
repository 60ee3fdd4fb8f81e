#pragma once
// Help in the port box: each number of the drop-down list shows, beside it,
// the device it reaches ("/dev/ttyUSB0 (usb-FTDI_...)", "не найден", or that
// the user lacks the permission and how to get it), as a second column and as
// the entry's tooltip; the box's own tooltip describes the number typed.
// The descriptions are taken afresh each time the list opens, so an adapter
// plugged in meanwhile shows up.
#include <QString>

class QComboBox;

namespace tovrel::ui {

// Item data role of an entry's description (the second column's text).
inline constexpr int kPortDescriptionRole = 0x0100 + 60;  // Qt::UserRole + 60

void AttachPortHelp(QComboBox* box);
// Describes every entry now (what opening the list does).
void RefreshPortHelp(QComboBox* box);
// The text shown beside port `number`.
QString PortDescription(int number);

}  // namespace tovrel::ui
