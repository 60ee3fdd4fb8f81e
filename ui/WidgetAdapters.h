#pragma once
// What the screen does with each kind of standard widget, in one table: how
// a property the logic sets is applied to it, which of its values the user
// edits, which of its signals tell such an edit, and what it holds when it
// is first watched.
//
// Every function here runs on the GUI thread and changes widgets with their
// signals blocked, so nothing applied comes back as a user's edit.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

#include "Screen.h"

class QObject;
class QRadioButton;
class QTabWidget;

namespace tovrel::ui {

// Puts one value into the mirror: `control` is the widget's own name, or
// "<name>[i]" for item i of a combo box or a radio group.
using MirrorPut = std::function<void(const std::string& control, Property property, PropertyValue value)>;

struct WidgetAdapter {
    const char* kind;
    bool (*matches)(QObject* object);
    // Applies `property`; false leaves it to the properties every widget has
    // (visibility, enabling, colour, opacity, a window's title). Null: none.
    bool (*apply)(QObject* object, Property property, const PropertyValue& value);
    // The present properties of the kind, for the mirror; null: none.
    void (*seed)(QObject* object, const std::string& name, const MirrorPut& put);
    // The value the user edits, for the mirror; null: the user edits none.
    void (*read)(QObject* object, const std::string& name, const MirrorPut& put);
    // Calls `edited` on each of the user's edits (and only on those: changes
    // made by program are made with signals blocked). Null: no edits.
    void (*connect)(QObject* object, QObject* receiver, std::function<void()> edited);
    // The kind is not seeded with the properties every widget has (a tab
    // page or a menu keeps them elsewhere).
    bool own_seed_only = false;
};

// The adapter of `object`'s kind; nothing when the screen knows no such kind
// (a QObject that is not a widget or an action). A widget of no listed kind
// gets the adapter with the common widget properties only.
const WidgetAdapter* AdapterFor(QObject* object);

// Copies the present properties of `object` into the mirror.
void SeedMirror(QObject* object, const MirrorPut& put);
// Copies the user-editable value of `object` into the mirror.
void ReadUserValue(QObject* object, const MirrorPut& put);
// Watches the user's edits of `object`.
void ConnectUserEdits(QObject* object, QObject* receiver, std::function<void()> edited);
// Applies one property to `object`. `opaque` is the mirrored Opaque
// property of the control: a colour shows only on an opaque widget.
void ApplyToWidget(QObject* object, Property property, const PropertyValue& value, const PropertyValue& opaque);
// Item `index` of a combo box (made when missing) or a radio group.
void ApplyItemText(QObject* owner, int index, const QString& text);
// Appends lines to a memo; false when `object` is not one.
bool AppendLines(QObject* object, const QStringList& lines);

// Conversions of mirrored values as the widgets take them.
std::string AsString(const PropertyValue& value);
bool AsBool(const PropertyValue& value);
std::optional<int> AsInt(const PropertyValue& value);

// The page control and index of a tab page, if `object` is one.
QTabWidget* TabOf(QObject* object, int& index);
// The radio buttons of a radio group, in order.
QList<QRadioButton*> RadioItems(QObject* group);

}  // namespace tovrel::ui
