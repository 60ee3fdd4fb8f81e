#include "QtScreen.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QThread>
#include <algorithm>
#include <charconv>

namespace tovrel::ui {

namespace {

// Set on the GUI thread while a user's edit goes into the mirror: such a
// change is already on the widget and must not be queued back to it.
thread_local bool t_user_edit = false;

class UserEditScope {
public:
    UserEditScope() : old_(t_user_edit) { t_user_edit = true; }
    ~UserEditScope() { t_user_edit = old_; }
private:
    bool old_;
};

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

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

// "<grid>[c,r]" -> grid, c, r.
bool ParseCell(const std::string& name, std::string& grid, int& column, int& row) {
    if (name.size() < 5 || name.back() != ']') return false;
    auto open = name.rfind('[');
    auto comma = name.find(',', open == std::string::npos ? 0 : open);
    if (open == std::string::npos || open == 0 || comma == std::string::npos) return false;
    const char* b = name.data();
    auto r1 = std::from_chars(b + open + 1, b + comma, column);
    auto r2 = std::from_chars(b + comma + 1, b + name.size() - 1, row);
    if (r1.ec != std::errc() || r1.ptr != b + comma || r2.ec != std::errc() || r2.ptr != b + name.size() - 1)
        return false;
    grid = name.substr(0, open);
    return true;
}

// "<name>[i]" -> name, i: an item of a combo box or a radio group.
bool ParseItem(const std::string& control, std::string& base, int& index) {
    if (control.size() < 4 || control.back() != ']') return false;
    auto open = control.rfind('[');
    if (open == std::string::npos || open == 0) return false;
    const char* b = control.data();
    auto r = std::from_chars(b + open + 1, b + control.size() - 1, index);
    if (r.ec != std::errc() || r.ptr != b + control.size() - 1 || index < 0) return false;
    base = control.substr(0, open);
    return true;
}

// The radio buttons of a radio group, in order.
QList<QRadioButton*> RadioItems(QObject* group) {
    if (!qobject_cast<QGroupBox*>(group)) return {};
    return group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
}

// The page control and index of a tab page, if `object` is one.
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

// "Text Files|*.xml|All|*.*" -> {"Text Files (*.xml)", "All (*)"}.
QStringList NameFilters(std::string_view filter) {
    QStringList parts = Q(filter).split('|');
    QStringList out;
    auto patterns = [](QString p) { return p.replace(';', ' ').replace("*.*", "*"); };
    if (parts.size() == 1) {
        if (!parts[0].isEmpty()) out << patterns(parts[0]);
        return out;
    }
    for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i] + " (" + patterns(parts[i + 1]) + ")";
    return out;
}

// The fixed extensions ("xml") of a name filter's patterns, in order.
QStringList FilterExtensions(const QString& name_filter) {
    QString patterns = name_filter;
    const qsizetype open = patterns.lastIndexOf('(');
    if (open >= 0 && patterns.endsWith(')')) patterns = patterns.mid(open + 1, patterns.size() - open - 2);
    QStringList out;
    for (const QString& pattern : patterns.split(' ', Qt::SkipEmptyParts)) {
        if (!pattern.startsWith("*.")) continue;
        const QString extension = pattern.mid(2);
        const bool wildcard = extension.contains('*') || extension.contains('?') || extension.contains('[');
        if (extension.isEmpty() || wildcard) continue;
        out << extension;
    }
    return out;
}

// A file dialog whose confirmed name, when it saves, gets the filter's
// extension before the dialog takes it, so that the question about replacing
// a file asks about the file that is really written.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList files = selectedFiles();
        if (acceptMode() == AcceptSave && files.size() == 1 && !QFileInfo(files.first()).isDir()) {
            const QString named = WithFilterExtension(files.first(), selectedNameFilter());
            if (named != files.first()) {
                // The typed text keeps any folder the user typed in front of
                // the name; only the missing extension is added to it.
                auto* edit = findChild<QLineEdit*>("fileNameEdit");
                if (edit && !edit->text().isEmpty() && named.startsWith(files.first()))
                    edit->setText(edit->text() + named.mid(files.first().size()));
                else
                    selectFile(named);
            }
        }
        QFileDialog::accept();
    }
};

}  // namespace

QString WithFilterExtension(const QString& typed, const QString& name_filter) {
    const QStringList extensions = FilterExtensions(name_filter);
    const QString name = QFileInfo(typed).fileName();
    if (extensions.isEmpty() || name.isEmpty()) return typed;
    for (const QString& extension : extensions)
        if (name.endsWith("." + extension, Qt::CaseInsensitive)) return typed;
    return typed + (typed.endsWith('.') ? "" : ".") + extensions.first();
}

QtScreen::QtScreen() {
    frame_timer_.setSingleShot(true);
    connect(&frame_timer_, &QTimer::timeout, this, &QtScreen::Flush);
    since_flush_.start();
    missing_age_.start();
}

QtScreen::~QtScreen() {
    for (auto& box : notices_) delete box.data();
}

bool QtScreen::OnGuiThread() const { return QThread::currentThread() == thread(); }

// ------------------------------------------------------------------ set-up

void QtScreen::AddRoot(QObject* root) {
    roots_.emplace_back(root);
    found_.clear();
    missing_.clear();
    Watch(root);
    for (auto* child : root->findChildren<QObject*>()) Watch(child);
}

void QtScreen::SetPageControl(QTabWidget* pages) {
    pages_ = pages;
    UserEditScope scope;
    StoredScreen::SelectPage(pages->currentIndex());
    connect(pages, &QTabWidget::currentChanged, this, [this](int index) {
        UserEditScope scope;
        StoredScreen::SelectPage(index);
    });
}

void QtScreen::Watch(QObject* object) {
    if (!object || object->objectName().isEmpty()) return;
    missing_.remove(object->objectName());
    Seed(object);
    Connect(object);
}

void QtScreen::RegisterSeries(const std::string& series, SeriesSink* sink) { series_sinks_[series] = sink; }
void QtScreen::RegisterGrid(const std::string& name, GridControl* grid) { grids_[name] = grid; }

void QtScreen::SetDevicePump(std::function<void()> pump, std::function<bool()> on_device_thread) {
    device_pump_ = std::move(pump);
    on_device_thread_ = std::move(on_device_thread);
}

void QtScreen::Seed(QObject* o) {
    const std::string name = o->objectName().toStdString();
    UserEditScope scope;
    auto put = [&](Property p, PropertyValue v) { StoredScreen::Set(name, p, std::move(v)); };
    int tab = -1;
    if (auto* tabs = TabOf(o, tab)) {
        put(Property::Text, tabs->tabText(tab).toStdString());
        put(Property::Visible, tabs->isTabVisible(tab));
        put(Property::Enabled, tabs->isTabEnabled(tab));
        return;
    }
    if (auto* a = qobject_cast<QAction*>(o)) {
        put(Property::Text, a->text().toStdString());
        put(Property::Visible, a->isVisible());
        put(Property::Enabled, a->isEnabled());
        if (a->isCheckable()) put(Property::Checked, a->isChecked());
        return;
    }
    if (auto* m = qobject_cast<QMenu*>(o)) {
        put(Property::Text, m->title().toStdString());
        put(Property::Visible, m->menuAction()->isVisible());
        put(Property::Enabled, m->menuAction()->isEnabled());
        return;
    }
    auto* w = qobject_cast<QWidget*>(o);
    if (!w) return;
    put(Property::Visible, !w->isHidden());
    put(Property::Enabled, w->isEnabled());
    if (w->isWindow()) put(Property::Text, w->windowTitle().toStdString());
    if (auto* l = qobject_cast<QLabel*>(w)) {
        put(Property::Text, l->text().toStdString());
        put(Property::Opaque, l->autoFillBackground());
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        put(Property::Text, b->text().toStdString());
        if (b->isCheckable()) put(Property::Checked, b->isChecked());
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        put(Property::Text, e->text().toStdString());
    } else if (auto* s = qobject_cast<QSpinBox*>(w)) {
        put(Property::Text, s->text().toStdString());
        put(Property::Position, s->value());
        put(Property::Minimum, s->minimum());
        put(Property::Maximum, s->maximum());
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        put(Property::Text, c->currentText().toStdString());
        put(Property::Position, c->currentIndex());
        for (int i = 0; i < c->count(); ++i)
            StoredScreen::Set(name + '[' + std::to_string(i) + ']', Property::Text, c->itemText(i).toStdString());
    } else if (auto* p = qobject_cast<QProgressBar*>(w)) {
        put(Property::Position, p->value());
        put(Property::Minimum, p->minimum());
        put(Property::Maximum, p->maximum());
    } else if (auto* sl = qobject_cast<QSlider*>(w)) {
        put(Property::Position, sl->value());
        put(Property::Minimum, sl->minimum());
        put(Property::Maximum, sl->maximum());
    } else if (auto* pt = qobject_cast<QPlainTextEdit*>(w)) {
        put(Property::Text, pt->toPlainText().toStdString());
    } else if (auto* te = qobject_cast<QTextEdit*>(w)) {
        put(Property::Text, te->toPlainText().toStdString());
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        put(Property::Text, g->title().toStdString());
        if (g->isCheckable()) put(Property::Checked, g->isChecked());
        const auto items = RadioItems(g);
        for (int i = 0; i < items.size(); ++i) {
            StoredScreen::Set(name + '[' + std::to_string(i) + ']', Property::Text, items[i]->text().toStdString());
            if (items[i]->isChecked()) put(Property::Position, i);
        }
    }
}

void QtScreen::Connect(QObject* o) {
    // Only what a user changes by hand; programmatic changes are applied
    // with the widget's signals blocked.
    if (auto* e = qobject_cast<QLineEdit*>(o)) {
        if (qobject_cast<QSpinBox*>(e->parent()) || qobject_cast<QComboBox*>(e->parent())) return;
        connect(e, &QLineEdit::textEdited, this, [this, e] { CaptureUserEdit(e); });
    } else if (auto* s = qobject_cast<QSpinBox*>(o)) {
        connect(s, &QSpinBox::textChanged, this, [this, s] { CaptureUserEdit(s); });
    } else if (auto* c = qobject_cast<QComboBox*>(o)) {
        connect(c, &QComboBox::currentIndexChanged, this, [this, c] { CaptureUserEdit(c); });
        connect(c, &QComboBox::currentTextChanged, this, [this, c] { CaptureUserEdit(c); });
        if (c->isEditable()) connect(c, &QComboBox::editTextChanged, this, [this, c] { CaptureUserEdit(c); });
    } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        if (b->isCheckable()) connect(b, &QAbstractButton::toggled, this, [this, b] { CaptureUserEdit(b); });
    } else if (auto* a = qobject_cast<QAction*>(o)) {
        if (a->isCheckable()) connect(a, &QAction::toggled, this, [this, a] { CaptureUserEdit(a); });
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(o)) {
        if (!p->isReadOnly()) connect(p, &QPlainTextEdit::textChanged, this, [this, p] { CaptureUserEdit(p); });
    } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
        for (auto* item : RadioItems(g))
            connect(item, &QRadioButton::toggled, this, [this, g](bool on) {
                if (on) CaptureUserEdit(g);
            });
    }
}

// -------------------------------------------------------------- user edits

void QtScreen::CaptureUserEdit(QObject* o) {
    if (!o || o->objectName().isEmpty()) return;
    const std::string name = o->objectName().toStdString();
    UserEditScope scope;
    auto put = [&](Property p, PropertyValue v) { StoredScreen::Set(name, p, std::move(v)); };
    if (auto* e = qobject_cast<QLineEdit*>(o)) {
        put(Property::Text, e->text().toStdString());
    } else if (auto* s = qobject_cast<QSpinBox*>(o)) {
        put(Property::Text, s->text().toStdString());
        put(Property::Position, s->value());
    } else if (auto* c = qobject_cast<QComboBox*>(o)) {
        put(Property::Text, c->currentText().toStdString());
        put(Property::Position, c->currentIndex());
    } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        if (b->isCheckable()) put(Property::Checked, b->isChecked());
    } else if (auto* a = qobject_cast<QAction*>(o)) {
        if (a->isCheckable()) put(Property::Checked, a->isChecked());
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(o)) {
        put(Property::Text, p->toPlainText().toStdString());
    } else if (auto* te = qobject_cast<QTextEdit*>(o)) {
        put(Property::Text, te->toPlainText().toStdString());
    } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
        if (g->isCheckable()) put(Property::Checked, g->isChecked());
        const auto items = RadioItems(g);
        for (int i = 0; i < items.size(); ++i)
            if (items[i]->isChecked()) put(Property::Position, i);
    }
}

void QtScreen::UserEdit(std::string_view control, Property property, PropertyValue value) {
    UserEditScope scope;
    StoredScreen::Set(control, property, std::move(value));
}

// ------------------------------------------------------- changes from logic

void QtScreen::OnSet(std::string_view control, Property property, const PropertyValue& value) {
    if (t_user_edit) return;
    {
        std::lock_guard lock(pending_mutex_);
        auto it = pending_.find(control);
        if (it == pending_.end()) {
            it = pending_.emplace(std::string(control), PendingControl{}).first;
            pending_order_.push_back(it->first);
        }
        // A new text replaces lines appended before it.
        if (property == Property::Text) it->second.appended.clear();
        it->second.props[property] = value;
        ScheduleLocked();
    }
    if (OnGuiThread()) Flush();
}

void QtScreen::OnAppend(std::string_view control, std::string_view line) {
    if (t_user_edit) return;
    // The mirror already holds the memo with the line; take the whole text
    // when a text set is still pending, so that the set and the append apply
    // as one.
    PropertyValue whole;
    bool text_pending = false;
    {
        std::lock_guard lock(pending_mutex_);
        auto it = pending_.find(control);
        text_pending = it != pending_.end() && it->second.props.count(Property::Text);
    }
    if (text_pending) whole = Get(control, Property::Text);
    {
        std::lock_guard lock(pending_mutex_);
        auto it = pending_.find(control);
        if (it == pending_.end()) {
            it = pending_.emplace(std::string(control), PendingControl{}).first;
            pending_order_.push_back(it->first);
        }
        if (it->second.props.count(Property::Text) && text_pending)
            it->second.props[Property::Text] = whole;
        else
            it->second.appended.emplace_back(line);
        ScheduleLocked();
    }
    if (OnGuiThread()) Flush();
}

void QtScreen::OnPage(int index) {
    if (t_user_edit) return;
    {
        std::lock_guard lock(pending_mutex_);
        pending_page_ = index;
        ScheduleLocked();
    }
    if (OnGuiThread()) Flush();
}

void QtScreen::SetSeries(std::string_view series, std::vector<ChartPoint> points) {
    auto copy = points;
    StoredScreen::SetSeries(series, std::move(points));
    {
        std::lock_guard lock(pending_mutex_);
        auto& p = pending_series_[std::string(series)];
        p.points = std::move(copy);
        p.ys.clear();
        p.colours.clear();
        ScheduleLocked();
    }
    if (OnGuiThread()) Flush();
}

void QtScreen::SetPointY(std::string_view series, int index, double y) {
    StoredScreen::SetPointY(series, index, y);
    const auto size = StoredScreen::Series(series).size();
    if (index < 0 || static_cast<std::size_t>(index) >= size) return;
    {
        std::lock_guard lock(pending_mutex_);
        auto& p = pending_series_[std::string(series)];
        if (p.points && static_cast<std::size_t>(index) < p.points->size())
            (*p.points)[static_cast<std::size_t>(index)].y = y;
        else
            p.ys[index] = y;
        ScheduleLocked();
    }
    if (OnGuiThread()) Flush();
}

void QtScreen::SetPointColour(std::string_view series, int index, Rgb colour) {
    StoredScreen::SetPointColour(series, index, colour);
    const auto size = StoredScreen::Series(series).size();
    if (index < 0 || static_cast<std::size_t>(index) >= size) return;
    {
        std::lock_guard lock(pending_mutex_);
        pending_series_[std::string(series)].colours[index] = colour;
        ScheduleLocked();
    }
    if (OnGuiThread()) Flush();
}

void QtScreen::Beep(int frequencyHz, int durationMs) {
    {
        std::lock_guard lock(pending_mutex_);
        pending_beeps_.push_back({frequencyHz, durationMs});
        ScheduleLocked();
    }
    if (OnGuiThread()) Flush();
}

void QtScreen::ScheduleLocked() {
    if (scheduled_) return;
    scheduled_ = true;
    QMetaObject::invokeMethod(this, [this] { FlushSoon(); }, Qt::QueuedConnection);
}

void QtScreen::FlushSoon() {
    const auto elapsed = since_flush_.elapsed();
    if (elapsed >= kFrameMs) {
        Flush();
    } else if (!frame_timer_.isActive()) {
        frame_timer_.start(static_cast<int>(kFrameMs - elapsed));
    }
}

void QtScreen::Flush() {
    std::vector<std::string> order;
    std::map<std::string, PendingControl, std::less<>> controls;
    std::map<std::string, PendingSeries, std::less<>> series;
    std::optional<int> page;
    std::vector<Sound::Tone> beeps;
    {
        std::lock_guard lock(pending_mutex_);
        scheduled_ = false;
        order.swap(pending_order_);
        controls.swap(pending_);
        series.swap(pending_series_);
        page.swap(pending_page_);
        std::swap(beeps, pending_beeps_);
    }
    frame_timer_.stop();
    since_flush_.restart();
    if (order.empty() && series.empty() && !page && beeps.empty()) return;
    ++batches_;
    for (const auto& name : order) {
        auto& c = controls[name];
        for (const auto& [property, value] : c.props) Apply(name, property, value);
        if (!c.appended.empty()) ApplyAppend(name, c.appended);
    }
    for (auto& [name, pending] : series) ApplySeries(name, pending);
    if (page) ApplyPage(*page);
    for (const auto& tone : beeps) {
        ++beeps_;
        sound_.Beep(tone.hz, tone.ms);
    }
}

// ------------------------------------------------------------- applying

QObject* QtScreen::Find(const QString& name) {
    auto it = found_.find(name);
    if (it != found_.end() && it.value()) return it.value();
    // Names the window does not have are not searched for again each frame;
    // once a second they are, for widgets made since.
    if (missing_age_.elapsed() > 1000) {
        missing_.clear();
        missing_age_.restart();
    }
    if (missing_.contains(name)) return nullptr;
    for (const auto& root : roots_) {
        if (!root) continue;
        QObject* hit = root->objectName() == name ? root.data() : root->findChild<QObject*>(name);
        if (hit) {
            found_[name] = hit;
            return hit;
        }
    }
    missing_.insert(name);
    return nullptr;
}

void QtScreen::Apply(const std::string& control, Property property, const PropertyValue& value) {
    std::string grid;
    int column = 0, row = 0;
    if (ParseCell(control, grid, column, row)) {
        auto g = grids_.find(grid);
        if (g != grids_.end() && property == Property::Text) g->second->ApplyCellText(column, row, AsString(value));
        return;
    }
    QObject* o = Find(Q(control));
    if (!o) {
        std::string base;
        int index = 0;
        if (property == Property::Text && ParseItem(control, base, index)) ApplyItemText(base, index, AsString(value));
        return;
    }
    if (auto* custom = dynamic_cast<ScreenControl*>(o))
        if (custom->ApplyProperty(property, value)) return;
    ApplyToWidget(o, property, value);
}

void QtScreen::ApplyToWidget(QObject* o, Property property, const PropertyValue& value) {
    const QSignalBlocker blocker(o);
    int tab = -1;
    if (auto* tabs = TabOf(o, tab)) {
        const QSignalBlocker tabs_blocker(tabs);
        switch (property) {
        case Property::Text: tabs->setTabText(tab, Q(AsString(value))); return;
        case Property::Visible: tabs->setTabVisible(tab, AsBool(value)); return;
        case Property::Enabled: tabs->setTabEnabled(tab, AsBool(value)); return;
        default: break;
        }
    }
    if (auto* a = qobject_cast<QAction*>(o)) {
        switch (property) {
        case Property::Text: a->setText(Q(AsString(value))); break;
        case Property::Visible: a->setVisible(AsBool(value)); break;
        case Property::Enabled: a->setEnabled(AsBool(value)); break;
        case Property::Checked: a->setChecked(AsBool(value)); break;
        default: break;
        }
        return;
    }
    if (auto* m = qobject_cast<QMenu*>(o)) {
        switch (property) {
        case Property::Text: m->setTitle(Q(AsString(value))); return;
        case Property::Visible: m->menuAction()->setVisible(AsBool(value)); return;
        case Property::Enabled: m->menuAction()->setEnabled(AsBool(value)); return;
        default: break;
        }
    }
    auto* w = qobject_cast<QWidget*>(o);
    if (!w) return;
    switch (property) {
    case Property::Text: {
        const QString text = Q(AsString(value));
        if (auto* l = qobject_cast<QLabel*>(w)) {
            l->setText(text);
            if (l->property(kAutoSizeProperty).toBool()) l->adjustSize();
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(text);
        else if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(text);
        else if (auto* s = qobject_cast<QSpinBox*>(w)) {
            if (auto n = AsInt(value)) s->setValue(*n);
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            if (c->isEditable()) c->setEditText(text);
            else c->setCurrentText(text);
        } else if (auto* pt = qobject_cast<QPlainTextEdit*>(w)) pt->setPlainText(text);
        else if (auto* te = qobject_cast<QTextEdit*>(w)) te->setPlainText(text);
        else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(text);
        else if (w->isWindow()) w->setWindowTitle(text);
        break;
    }
    case Property::Colour: {
        auto* rgb = std::get_if<Rgb>(&value);
        if (!rgb) break;
        QColor colour = *rgb == colours::ButtonFace ? QApplication::palette().color(QPalette::Button)
                                                    : QColor(rgb->r, rgb->g, rgb->b);
        QPalette p = w->palette();
        p.setColor(QPalette::Window, colour);
        p.setColor(QPalette::Button, colour);
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) p.setColor(QPalette::Base, colour);
        w->setPalette(p);
        // A label shows its colour only while it is opaque.
        auto opaque = Get(o->objectName().toStdString(), Property::Opaque);
        w->setAutoFillBackground(std::holds_alternative<bool>(opaque) ? std::get<bool>(opaque) : true);
        break;
    }
    case Property::Visible:
        // A dialog is shown modally by the code that runs it; hiding it
        // ends its modal run.
        if (AsBool(value) && w->isWindow() && qobject_cast<QDialog*>(w)) break;
        w->setVisible(AsBool(value));
        break;
    case Property::Enabled: w->setEnabled(AsBool(value)); break;
    case Property::Opaque: w->setAutoFillBackground(AsBool(value)); break;
    case Property::Position: {
        auto n = AsInt(value);
        if (!n) break;
        if (auto* c = qobject_cast<QComboBox*>(w)) {
            c->setCurrentIndex(*n < c->count() ? *n : -1);
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            const auto items = RadioItems(g);
            for (int i = 0; i < items.size(); ++i) {
                const QSignalBlocker item_blocker(items[i]);
                items[i]->setAutoExclusive(false);
                items[i]->setChecked(i == *n);
                items[i]->setAutoExclusive(true);
            }
        } else if (auto* p = qobject_cast<QProgressBar*>(w)) p->setValue(std::clamp(*n, p->minimum(), p->maximum()));
        else if (auto* s = qobject_cast<QSpinBox*>(w)) s->setValue(*n);
        else if (auto* sl = qobject_cast<QSlider*>(w)) sl->setValue(*n);
        break;
    }
    case Property::Minimum:
    case Property::Maximum: {
        auto n = AsInt(value);
        if (!n) break;
        const bool min = property == Property::Minimum;
        if (auto* p = qobject_cast<QProgressBar*>(w)) min ? p->setMinimum(*n) : p->setMaximum(*n);
        else if (auto* s = qobject_cast<QSpinBox*>(w)) min ? s->setMinimum(*n) : s->setMaximum(*n);
        else if (auto* sl = qobject_cast<QSlider*>(w)) min ? sl->setMinimum(*n) : sl->setMaximum(*n);
        break;
    }
    case Property::Checked:
        if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setChecked(AsBool(value));
        else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setChecked(AsBool(value));
        break;
    }
}

void QtScreen::ApplyItemText(const std::string& base, int index, const std::string& text) {
    QObject* o = Find(Q(base));
    if (auto* c = qobject_cast<QComboBox*>(o)) {
        const QSignalBlocker blocker(c);
        const QString edit = c->currentText();
        while (c->count() <= index) c->addItem(QString());
        c->setItemText(index, Q(text));
        if (c->isEditable()) c->setEditText(edit);
    } else if (o) {
        const auto items = RadioItems(o);
        if (index < items.size()) items[index]->setText(Q(text));
    }
}

void QtScreen::ApplyAppend(const std::string& control, const std::vector<std::string>& lines) {
    QObject* o = Find(Q(control));
    if (!o) return;
    QStringList list;
    for (const auto& l : lines) list << Q(l);
    const QSignalBlocker blocker(o);
    if (auto* pt = qobject_cast<QPlainTextEdit*>(o)) {
        pt->appendPlainText(list.join('\n'));
    } else if (auto* te = qobject_cast<QTextEdit*>(o)) {
        for (const auto& l : list) te->append(l);
    } else {
        Apply(control, Property::Text, Get(control, Property::Text));
    }
}

void QtScreen::ApplySeries(const std::string& series, PendingSeries& pending) {
    auto it = series_sinks_.find(series);
    if (it == series_sinks_.end() || !it->second) return;
    SeriesSink* sink = it->second;
    if (pending.points) sink->ApplySeries(series, *pending.points);
    for (const auto& [index, y] : pending.ys) sink->ApplyPointY(series, index, y);
    for (const auto& [index, colour] : pending.colours) sink->ApplyPointColour(series, index, colour);
}

void QtScreen::ApplyPage(int index) {
    if (!pages_) return;
    const QSignalBlocker blocker(pages_.data());
    pages_->setCurrentIndex(index);
}

// ------------------------------------------------------- dialogs and pump

void QtScreen::RunModal(const std::function<void()>& body) {
    if (OnGuiThread()) {
        Flush();
        body();
    } else {
        QMetaObject::invokeMethod(
            this, [this, &body] {
                Flush();
                body();
            },
            Qt::BlockingQueuedConnection);
    }
}

void QtScreen::ShowBox(const std::string& text, Box kind) {
    // Messages have their fixed caption; the error display and the simple
    // information dialog carry the program's title.
    const QString title = kind == Box::Message ? QString("Message") : QCoreApplication::applicationName();
    QMessageBox box(kind == Box::Error ? QMessageBox::Critical : QMessageBox::NoIcon, title, Q(text),
                    QMessageBox::Ok);
    box.setObjectName(kind == Box::Error ? "ErrorBox" : kind == Box::Info ? "InfoBox" : "MessageBox");
    box.exec();
}

void QtScreen::ShowMessage(std::string_view text) {
    std::string copy(text);
    {
        std::lock_guard lock(log_mutex_);
        messages_.push_back(copy);
    }
    if (dialogs_suppressed) return;
    RunModal([&] { ShowBox(copy, Box::Message); });
}

void QtScreen::ShowNotice(std::string_view text) {
    std::string copy(text);
    {
        std::lock_guard lock(log_mutex_);
        messages_.push_back(copy);
    }
    if (dialogs_suppressed) return;
    QMetaObject::invokeMethod(this, [this, copy] {
        const QString shown = Q(copy);
        std::erase_if(notices_, [](const QPointer<QMessageBox>& b) { return b.isNull(); });
        for (const auto& open : notices_)
            if (open->text() == shown) {
                open->raise();
                return;
            }
        auto* box = new QMessageBox(QMessageBox::NoIcon, QString("Message"), shown, QMessageBox::Ok);
        box->setObjectName("NoticeBox");
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        notices_.emplace_back(box);
        box->show();
    }, Qt::QueuedConnection);
}

void QtScreen::ShowInfo(std::string_view text) {
    std::string copy(text);
    {
        std::lock_guard lock(log_mutex_);
        messages_.push_back(copy);
    }
    if (dialogs_suppressed) return;
    RunModal([&] { ShowBox(copy, Box::Info); });
}

// A yes/no box; "Нет" is the default, so Enter or closing the box never
// says yes to a risky step.
bool QtScreen::Confirm(std::string_view question) {
    std::string copy(question);
    {
        std::lock_guard lock(log_mutex_);
        messages_.push_back(copy);
    }
    if (dialogs_suppressed) return false;
    bool yes = false;
    RunModal([&] {
        QMessageBox box(QMessageBox::Question, QString("Message"), Q(copy), QMessageBox::Yes | QMessageBox::No);
        box.setObjectName("ConfirmBox");
        box.button(QMessageBox::Yes)->setText(QString("Да"));
        box.button(QMessageBox::No)->setText(QString("Нет"));
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        yes = box.exec() == QMessageBox::Yes;
    });
    return yes;
}

void QtScreen::ShowError(std::string_view text) {
    std::string copy(text);
    {
        std::lock_guard lock(log_mutex_);
        errors_.push_back(copy);
    }
    if (dialogs_suppressed) return;
    RunModal([&] { ShowBox(copy, Box::Error); });
}

std::optional<std::string> QtScreen::RunFileDialog(const std::string& dialog, FileDialogMode mode,
                                                    const std::string& filter) {
    const bool save = mode == FileDialogMode::Save;
    FileDialog box;
    box.setObjectName(Q(dialog));
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    box.setNameFilters(NameFilters(filter));
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return std::nullopt;
    QString chosen = box.selectedFiles().first();
    if (save) chosen = WithFilterExtension(chosen, box.selectedNameFilter());
    return chosen.toStdString();
}

std::optional<std::string> QtScreen::ChooseFile(std::string_view dialog, FileDialogMode mode,
                                                std::string_view filter) {
    std::string d(dialog), f(filter);
    if (dialogs_suppressed) {
        if (file_answer) return file_answer(d);
        return std::nullopt;
    }
    std::optional<std::string> result;
    RunModal([&] { result = RunFileDialog(d, mode, f); });
    return result;
}

void QtScreen::Repaint(std::string_view control) {
    (void)control;
    if (OnGuiThread()) Flush();
}

void QtScreen::Pump() {
    if (on_device_thread_ && on_device_thread_()) {
        if (device_pump_) device_pump_();
    } else if (OnGuiThread()) {
        QCoreApplication::processEvents();
    }
    StoredScreen::Pump();
}

std::vector<std::string> QtScreen::Messages() const {
    std::lock_guard lock(log_mutex_);
    return messages_;
}

std::vector<std::string> QtScreen::Errors() const {
    std::lock_guard lock(log_mutex_);
    return errors_;
}

}  // namespace tovrel::ui
