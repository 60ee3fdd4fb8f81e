// The port box's entries tell which device each number reaches.
#include <QtTest>
#include <QAbstractItemView>
#include <QComboBox>
#include <cstdlib>
#include <fstream>

#include "Line.h"
#include "PortHelp.h"
#include "SimFixture.h"

using namespace tovrel;

class PortHelpTest : public QObject {
    Q_OBJECT
    test::TempDir dir;

    QString Entry(QComboBox& box, int number, int role) {
        return box.itemData(box.findText(QString::number(number)), role).toString();
    }

private slots:
    void init() { ::setenv("TOVREL_PORT_DIR", dir.path().c_str(), 1); }
    void cleanup() { ::unsetenv("TOVREL_PORT_DIR"); }

    void entriesNameTheirDevices() {
        sim::Line pty(dir / "COM2");
        QComboBox box;
        box.setEditable(true);
        for (int n = 1; n <= 254; ++n) box.addItem(QString::number(n));
        ui::AttachPortHelp(&box);
        const QString com1 = QString::fromStdString(dir / "COM1");
        const QString com2 = QString::fromStdString(dir / "COM2");
        const QString pts = QString::fromStdString(pty.terminal_path());
        QCOMPARE(Entry(box, 1, ui::kPortDescriptionRole), com1 + " — не найден");
        QCOMPARE(Entry(box, 2, ui::kPortDescriptionRole), com2 + " (" + pts + ")");
        QCOMPARE(Entry(box, 2, Qt::ToolTipRole), "COM2: " + com2 + " (" + pts + ")");
        // The items stay plain numbers: the logic reads the box's text.
        QCOMPARE(box.itemText(1), QString("2"));
        // The list is wide enough for the second column.
        QVERIFY(box.view()->minimumWidth() > QFontMetrics(box.view()->font()).horizontalAdvance(com2));

        box.setEditText("2");
        QVERIFY(box.toolTip().contains(pts));
        box.setEditText("x");
        QCOMPARE(box.toolTip(), QString());

        // Opening the list looks again: a device that came meanwhile shows.
        sim::Line later(dir / "COM1");
        box.showPopup();
        QTRY_VERIFY(Entry(box, 1, ui::kPortDescriptionRole).contains(QString::fromStdString(later.terminal_path())));
        box.hidePopup();
    }
};

QTEST_MAIN(PortHelpTest)
#include "port_help_test.moc"
