#include "WidgetAdapters.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <algorithm>
#include <charconv>
#include <iterator>
#include <type_traits>

#include "UiContext.h"

namespace tovrel::ui {

std::string AsString(const PropertyValue& v) {
    if (auto* s = std::get_if<std::string>(&v)) return *s;
    if (auto* i = std::get_if<int>(&v)) return std::to_string(*i);
    if (auto* b = std::get_if<bool>(&v)) return *b ? "1" : "0";
    return {};
}

bool AsBool(const PropertyValue& v) {
    if (auto* b = std::get_if<bool>(&v)) return *b;
    if (auto* i = std::get_if<int>(&v)) return *i != 0;
    return false;
}

std::optional<int> AsInt(const PropertyValue& v) {
    if (auto* i = std::get_if<int>(&v)) return *i;
    if (auto* b = std::get_if<bool>(&v)) return *b ? 1 : 0;
    if (auto* s = std::get_if<std::string>(&v)) {
        int out = 0;
        auto r = std::from_chars(s->data(), s->data() + s->size(), out);
        if (r.ec == std::errc() && r.ptr == s->data() + s->size()) return out;
    }
    return std::nullopt;
}

QList<QRadioButton*> RadioItems(QObject* group) {
    if (!qobject_cast<QGroupBox*>(group)) return {};
    return group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
}

QTabWidget* TabOf(QObject* object, int& index) {
    auto* w = qobject_cast<QWidget*>(object);
    if (!w) return nullptr;
    auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
    if (!stack) return nullptr;
    auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget());
    if (!tabs) return nullptr;
    index = tabs->indexOf(w);
    return index >= 0 ? tabs : nullptr;
}

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }
std::string Item(const std::string& name, int index) { return name + '[' + std::to_string(index) + ']'; }

template <class T>
bool Is(QObject* o) {
    return qobject_cast<T*>(o) != nullptr;
}

template <class T>
T* As(QObject* o) {
    return static_cast<T*>(o);  // the adapter matched the kind
}

// ---- tab pages: their caption, visibility and enabling belong to the tabs

bool IsTabPage(QObject* o) {
    int index = -1;
    return TabOf(o, index) != nullptr;
}

bool ApplyTabPage(QObject* o, Property property, const PropertyValue& value) {
    int index = -1;
    QTabWidget* tabs = TabOf(o, index);
    const QSignalBlocker blocker(tabs);
    switch (property) {
    case Property::Text: tabs->setTabText(index, Q(AsString(value))); return true;
    case Property::Visible: tabs->setTabVisible(index, AsBool(value)); return true;
    case Property::Enabled: tabs->setTabEnabled(index, AsBool(value)); return true;
    default: return false;
    }
}

void SeedTabPage(QObject* o, const std::string& name, const MirrorPut& put) {
    int index = -1;
    QTabWidget* tabs = TabOf(o, index);
    put(name, Property::Text, S(tabs->tabText(index)));
    put(name, Property::Visible, tabs->isTabVisible(index));
    put(name, Property::Enabled, tabs->isTabEnabled(index));
}

// ---- menu items

bool ApplyAction(QObject* o, Property property, const PropertyValue& value) {
    auto* a = As<QAction>(o);
    switch (property) {
    case Property::Text: a->setText(Q(AsString(value))); break;
    case Property::Visible: a->setVisible(AsBool(value)); break;
    case Property::Enabled: a->setEnabled(AsBool(value)); break;
    case Property::Checked: a->setChecked(AsBool(value)); break;
    default: break;
    }
    return true;  // an action has nothing of a widget
}

void SeedAction(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* a = As<QAction>(o);
    put(name, Property::Text, S(a->text()));
    put(name, Property::Visible, a->isVisible());
    put(name, Property::Enabled, a->isEnabled());
    if (a->isCheckable()) put(name, Property::Checked, a->isChecked());
}

void ReadAction(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* a = As<QAction>(o);
    if (a->isCheckable()) put(name, Property::Checked, a->isChecked());
}

void ConnectAction(QObject* o, QObject* receiver, std::function<void()> edited) {
    auto* a = As<QAction>(o);
    if (a->isCheckable()) QObject::connect(a, &QAction::toggled, receiver, std::move(edited));
}

// ---- menus: a menu's visibility and enabling are its action's

bool ApplyMenu(QObject* o, Property property, const PropertyValue& value) {
    auto* m = As<QMenu>(o);
    switch (property) {
    case Property::Text: m->setTitle(Q(AsString(value))); return true;
    case Property::Visible: m->menuAction()->setVisible(AsBool(value)); return true;
    case Property::Enabled: m->menuAction()->setEnabled(AsBool(value)); return true;
    default: return false;
    }
}

void SeedMenu(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* m = As<QMenu>(o);
    put(name, Property::Text, S(m->title()));
    put(name, Property::Visible, m->menuAction()->isVisible());
    put(name, Property::Enabled, m->menuAction()->isEnabled());
}

// ---- labels

bool ApplyLabel(QObject* o, Property property, const PropertyValue& value) {
    if (property != Property::Text) return false;
    auto* l = As<QLabel>(o);
    l->setText(Q(AsString(value)));
    if (l->property(kAutoSizeProperty).toBool()) l->adjustSize();
    return true;
}

void SeedLabel(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* l = As<QLabel>(o);
    put(name, Property::Text, S(l->text()));
    put(name, Property::Opaque, l->autoFillBackground());
}

// ---- buttons and check boxes

bool ApplyButton(QObject* o, Property property, const PropertyValue& value) {
    auto* b = As<QAbstractButton>(o);
    if (property == Property::Text) b->setText(Q(AsString(value)));
    else if (property == Property::Checked) b->setChecked(AsBool(value));
    else return false;
    return true;
}

void SeedButton(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* b = As<QAbstractButton>(o);
    put(name, Property::Text, S(b->text()));
    if (b->isCheckable()) put(name, Property::Checked, b->isChecked());
}

void ReadButton(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* b = As<QAbstractButton>(o);
    if (b->isCheckable()) put(name, Property::Checked, b->isChecked());
}

void ConnectButton(QObject* o, QObject* receiver, std::function<void()> edited) {
    auto* b = As<QAbstractButton>(o);
    if (b->isCheckable()) QObject::connect(b, &QAbstractButton::toggled, receiver, std::move(edited));
}

// ---- one-line edits

bool ApplyLineEdit(QObject* o, Property property, const PropertyValue& value) {
    if (property != Property::Text) return false;
    As<QLineEdit>(o)->setText(Q(AsString(value)));
    return true;
}

void ReadLineEdit(QObject* o, const std::string& name, const MirrorPut& put) {
    put(name, Property::Text, S(As<QLineEdit>(o)->text()));
}

void ConnectLineEdit(QObject* o, QObject* receiver, std::function<void()> edited) {
    auto* e = As<QLineEdit>(o);
    // The edit inside a spin box or a combo box is its owner's.
    if (Is<QSpinBox>(e->parent()) || Is<QComboBox>(e->parent())) return;
    QObject::connect(e, &QLineEdit::textEdited, receiver, std::move(edited));
}

// ---- spin boxes: the text and the position are one value

bool ApplySpinBox(QObject* o, Property property, const PropertyValue& value) {
    auto* s = As<QSpinBox>(o);
    const auto n = AsInt(value);
    switch (property) {
    case Property::Text:
    case Property::Position:
        if (n) s->setValue(*n);
        return true;
    case Property::Minimum:
        if (n) s->setMinimum(*n);
        return true;
    case Property::Maximum:
        if (n) s->setMaximum(*n);
        return true;
    default: return false;
    }
}

void ReadSpinBox(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* s = As<QSpinBox>(o);
    put(name, Property::Text, S(s->text()));
    put(name, Property::Position, s->value());
}

void SeedSpinBox(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* s = As<QSpinBox>(o);
    ReadSpinBox(o, name, put);
    put(name, Property::Minimum, s->minimum());
    put(name, Property::Maximum, s->maximum());
}

void ConnectSpinBox(QObject* o, QObject* receiver, std::function<void()> edited) {
    QObject::connect(As<QSpinBox>(o), &QSpinBox::textChanged, receiver, std::move(edited));
}

// ---- combo boxes: items are the controls "<name>[i]"

bool ApplyComboBox(QObject* o, Property property, const PropertyValue& value) {
    auto* c = As<QComboBox>(o);
    if (property == Property::Text) {
        const QString text = Q(AsString(value));
        if (c->isEditable()) c->setEditText(text);
        else c->setCurrentText(text);
    } else if (property == Property::Position) {
        if (auto n = AsInt(value)) c->setCurrentIndex(*n < c->count() ? *n : -1);
    } else {
        return false;
    }
    return true;
}

void ReadComboBox(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* c = As<QComboBox>(o);
    put(name, Property::Text, S(c->currentText()));
    put(name, Property::Position, c->currentIndex());
}

void SeedComboBox(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* c = As<QComboBox>(o);
    ReadComboBox(o, name, put);
    for (int i = 0; i < c->count(); ++i) put(Item(name, i), Property::Text, S(c->itemText(i)));
}

void ConnectComboBox(QObject* o, QObject* receiver, std::function<void()> edited) {
    auto* c = As<QComboBox>(o);
    QObject::connect(c, &QComboBox::currentIndexChanged, receiver, edited);
    QObject::connect(c, &QComboBox::currentTextChanged, receiver, edited);
    if (c->isEditable()) QObject::connect(c, &QComboBox::editTextChanged, receiver, edited);
}

// ---- progress bars and sliders: a position within a range

template <class T>
bool ApplyRanged(QObject* o, Property property, const PropertyValue& value) {
    auto* r = As<T>(o);
    const auto n = AsInt(value);
    switch (property) {
    case Property::Position:
        if (!n) return true;
        if constexpr (std::is_same_v<T, QProgressBar>) r->setValue(std::clamp(*n, r->minimum(), r->maximum()));
        else r->setValue(*n);
        return true;
    case Property::Minimum:
        if (n) r->setMinimum(*n);
        return true;
    case Property::Maximum:
        if (n) r->setMaximum(*n);
        return true;
    default: return false;
    }
}

template <class T>
void SeedRanged(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* r = As<T>(o);
    put(name, Property::Position, r->value());
    put(name, Property::Minimum, r->minimum());
    put(name, Property::Maximum, r->maximum());
}

// ---- memos

template <class T>
bool ApplyMemo(QObject* o, Property property, const PropertyValue& value) {
    if (property != Property::Text) return false;
    As<T>(o)->setPlainText(Q(AsString(value)));
    return true;
}

template <class T>
void ReadMemo(QObject* o, const std::string& name, const MirrorPut& put) {
    put(name, Property::Text, S(As<T>(o)->toPlainText()));
}

void ConnectPlainTextEdit(QObject* o, QObject* receiver, std::function<void()> edited) {
    auto* p = As<QPlainTextEdit>(o);
    if (!p->isReadOnly()) QObject::connect(p, &QPlainTextEdit::textChanged, receiver, std::move(edited));
}

// ---- group boxes and radio groups: the position is the checked item

bool ApplyGroupBox(QObject* o, Property property, const PropertyValue& value) {
    auto* g = As<QGroupBox>(o);
    switch (property) {
    case Property::Text: g->setTitle(Q(AsString(value))); return true;
    case Property::Checked: g->setChecked(AsBool(value)); return true;
    case Property::Position: {
        const auto n = AsInt(value);
        if (!n) return true;
        const auto items = RadioItems(g);
        for (int i = 0; i < items.size(); ++i) {
            const QSignalBlocker item_blocker(items[i]);
            items[i]->setAutoExclusive(false);
            items[i]->setChecked(i == *n);
            items[i]->setAutoExclusive(true);
        }
        return true;
    }
    default: return false;
    }
}

void ReadGroupBox(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* g = As<QGroupBox>(o);
    if (g->isCheckable()) put(name, Property::Checked, g->isChecked());
    const auto items = RadioItems(g);
    for (int i = 0; i < items.size(); ++i)
        if (items[i]->isChecked()) put(name, Property::Position, i);
}

void SeedGroupBox(QObject* o, const std::string& name, const MirrorPut& put) {
    auto* g = As<QGroupBox>(o);
    put(name, Property::Text, S(g->title()));
    const auto items = RadioItems(g);
    for (int i = 0; i < items.size(); ++i) put(Item(name, i), Property::Text, S(items[i]->text()));
    ReadGroupBox(o, name, put);
}

void ConnectGroupBox(QObject* o, QObject* receiver, std::function<void()> edited) {
    for (auto* item : RadioItems(o))
        QObject::connect(item, &QRadioButton::toggled, receiver, [edited](bool on) {
            if (on) edited();
        });
}

// ---- what every widget has

// What a kind leaves: a window's Text is its title; position, range and
// check are nothing on a widget without them.
void ApplyCommon(QWidget* w, Property property, const PropertyValue& value, const PropertyValue& opaque) {
    switch (property) {
    case Property::Text:
        if (w->isWindow()) w->setWindowTitle(Q(AsString(value)));
        break;
    case Property::Colour: {
        auto* rgb = std::get_if<Rgb>(&value);
        if (!rgb) break;
        QColor colour = *rgb == colours::ButtonFace ? QApplication::palette().color(QPalette::Button)
                                                    : QColor(rgb->r, rgb->g, rgb->b);
        QPalette p = w->palette();
        p.setColor(QPalette::Window, colour);
        p.setColor(QPalette::Button, colour);
        if (Is<QLineEdit>(w) || Is<QPlainTextEdit>(w)) p.setColor(QPalette::Base, colour);
        w->setPalette(p);
        // A label shows its colour only while it is opaque.
        w->setAutoFillBackground(std::holds_alternative<bool>(opaque) ? std::get<bool>(opaque) : true);
        break;
    }
    case Property::Visible:
        // A dialog is shown modally by the code that runs it; hiding it
        // ends its modal run.
        if (AsBool(value) && w->isWindow() && Is<QDialog>(w)) break;
        w->setVisible(AsBool(value));
        break;
    case Property::Enabled: w->setEnabled(AsBool(value)); break;
    case Property::Opaque: w->setAutoFillBackground(AsBool(value)); break;
    case Property::Position:
    case Property::Minimum:
    case Property::Maximum:
    case Property::Checked: break;
    }
}

void SeedCommon(QWidget* w, const std::string& name, const MirrorPut& put) {
    put(name, Property::Visible, !w->isHidden());
    put(name, Property::Enabled, w->isEnabled());
    if (w->isWindow()) put(name, Property::Text, S(w->windowTitle()));
}

// Most specific first: the first kind that matches is the object's.
const WidgetAdapter kAdapters[] = {
    {"tab page", IsTabPage, ApplyTabPage, SeedTabPage, nullptr, nullptr, true},
    {"action", Is<QAction>, ApplyAction, SeedAction, ReadAction, ConnectAction, true},
    {"menu", Is<QMenu>, ApplyMenu, SeedMenu, nullptr, nullptr, true},
    {"label", Is<QLabel>, ApplyLabel, SeedLabel, nullptr, nullptr, false},
    {"button", Is<QAbstractButton>, ApplyButton, SeedButton, ReadButton, ConnectButton, false},
    {"line edit", Is<QLineEdit>, ApplyLineEdit, ReadLineEdit, ReadLineEdit, ConnectLineEdit, false},
    {"spin box", Is<QSpinBox>, ApplySpinBox, SeedSpinBox, ReadSpinBox, ConnectSpinBox, false},
    {"combo box", Is<QComboBox>, ApplyComboBox, SeedComboBox, ReadComboBox, ConnectComboBox, false},
    {"progress bar", Is<QProgressBar>, ApplyRanged<QProgressBar>, SeedRanged<QProgressBar>, nullptr, nullptr, false},
    {"slider", Is<QSlider>, ApplyRanged<QSlider>, SeedRanged<QSlider>, nullptr, nullptr, false},
    {"memo", Is<QPlainTextEdit>, ApplyMemo<QPlainTextEdit>, ReadMemo<QPlainTextEdit>, ReadMemo<QPlainTextEdit>,
     ConnectPlainTextEdit, false},
    {"rich memo", Is<QTextEdit>, ApplyMemo<QTextEdit>, ReadMemo<QTextEdit>, ReadMemo<QTextEdit>, nullptr, false},
    {"group box", Is<QGroupBox>, ApplyGroupBox, SeedGroupBox, ReadGroupBox, ConnectGroupBox, false},
    {"widget", Is<QWidget>, nullptr, nullptr, nullptr, nullptr, false},
};

}  // namespace

const WidgetAdapter* AdapterFor(QObject* object) {
    if (!object) return nullptr;
    auto it = std::find_if(std::begin(kAdapters), std::end(kAdapters),
                           [object](const WidgetAdapter& a) { return a.matches(object); });
    return it == std::end(kAdapters) ? nullptr : &*it;
}

void SeedMirror(QObject* object, const MirrorPut& put) {
    const WidgetAdapter* adapter = AdapterFor(object);
    if (!adapter) return;
    const std::string name = S(object->objectName());
    if (!adapter->own_seed_only)
        if (auto* w = qobject_cast<QWidget*>(object)) SeedCommon(w, name, put);
    if (adapter->seed) adapter->seed(object, name, put);
}

void ReadUserValue(QObject* object, const MirrorPut& put) {
    const WidgetAdapter* adapter = AdapterFor(object);
    if (adapter && adapter->read) adapter->read(object, S(object->objectName()), put);
}

void ConnectUserEdits(QObject* object, QObject* receiver, std::function<void()> edited) {
    const WidgetAdapter* adapter = AdapterFor(object);
    if (adapter && adapter->connect) adapter->connect(object, receiver, std::move(edited));
}

void ApplyToWidget(QObject* object, Property property, const PropertyValue& value, const PropertyValue& opaque) {
    const WidgetAdapter* adapter = AdapterFor(object);
    if (!adapter) return;
    const QSignalBlocker blocker(object);
    if (adapter->apply && adapter->apply(object, property, value)) return;
    if (auto* w = qobject_cast<QWidget*>(object)) ApplyCommon(w, property, value, opaque);
}

void ApplyItemText(QObject* owner, int index, const QString& text) {
    if (auto* c = qobject_cast<QComboBox*>(owner)) {
        const QSignalBlocker blocker(c);
        const QString edit = c->currentText();
        while (c->count() <= index) c->addItem(QString());
        c->setItemText(index, text);
        if (c->isEditable()) c->setEditText(edit);
    } else if (owner) {
        const auto items = RadioItems(owner);
        if (index < items.size()) items[index]->setText(text);
    }
}

bool AppendLines(QObject* object, const QStringList& lines) {
    const QSignalBlocker blocker(object);
    if (auto* pt = qobject_cast<QPlainTextEdit*>(object)) {
        pt->appendPlainText(lines.join('\n'));
        return true;
    }
    if (auto* te = qobject_cast<QTextEdit*>(object)) {
        for (const auto& l : lines) te->append(l);
        return true;
    }
    return false;
}

}  // namespace tovrel::ui
