#include "QtScreen.h"

#include <QCoreApplication>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QThread>
#include <charconv>

#include "WidgetAdapters.h"

namespace tovrel::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

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

}  // namespace

QtScreen::QtScreen() : dialogs_(this, [this] { Flush(); }) {
    frame_timer_.setSingleShot(true);
    connect(&frame_timer_, &QTimer::timeout, this, &QtScreen::Flush);
    since_flush_.start();
}

QtScreen::~QtScreen() = default;

bool QtScreen::OnGuiThread() const { return QThread::currentThread() == thread(); }

// ------------------------------------------------------------------ set-up

void QtScreen::AddRoot(QObject* root) {
    registry_.AddRoot(root);
    Watch(root);
    for (auto* child : root->findChildren<QObject*>()) Watch(child);
}

void QtScreen::SetPageControl(QTabWidget* pages) {
    registry_.SetPageControl(pages);
    mirror_.SeedPage(pages->currentIndex());
    connect(pages, &QTabWidget::currentChanged, this, [this](int index) { mirror_.UserSelectPage(index); });
}

void QtScreen::Watch(QObject* object) {
    if (!object || object->objectName().isEmpty()) return;
    registry_.Known(object);
    Seed(object);
    Connect(object);
}

void QtScreen::RegisterSeries(const std::string& series, SeriesSink* sink) { registry_.AddSeries(series, sink); }
void QtScreen::RegisterGrid(const std::string& name, GridControl* grid) { registry_.AddGrid(name, grid); }

void QtScreen::SetDevicePump(std::function<void()> pump, std::function<bool()> on_device_thread) {
    device_pump_ = std::move(pump);
    on_device_thread_ = std::move(on_device_thread);
}

void QtScreen::Seed(QObject* object) {
    SeedMirror(object, [this](const std::string& control, Property property, PropertyValue value) {
        mirror_.Seed(control, property, std::move(value));
    });
}

void QtScreen::Connect(QObject* object) {
    ConnectUserEdits(object, this, [this, object] { CaptureUserEdit(object); });
}

void QtScreen::Retranslate(const std::function<std::optional<std::string>(const std::string&)>& map) {
    Flush();
    mirror_.BeginGroup();
    for (const auto& [control, text] : mirror_.Texts())
        if (auto mapped = map(text)) mirror_.SetIfUnchanged(control, Property::Text, text, std::move(*mapped));
    mirror_.EndGroup();
    Flush();
}

// -------------------------------------------------------------- user edits

void QtScreen::CaptureUserEdit(QObject* object) {
    if (!object || object->objectName().isEmpty()) return;
    ReadUserValue(object, [this](const std::string& control, Property property, PropertyValue value) {
        mirror_.UserSet(control, property, std::move(value));
    });
}

void QtScreen::UserEdit(std::string_view control, Property property, PropertyValue value) {
    mirror_.UserSet(control, property, std::move(value));
}

// ------------------------------------------------------- changes from logic

void QtScreen::Set(std::string_view control, Property property, PropertyValue value) {
    Changed(mirror_.Set(control, property, std::move(value)));
}

PropertyValue QtScreen::Get(std::string_view control, Property property) const {
    return mirror_.Get(control, property);
}

void QtScreen::AppendLine(std::string_view control, std::string_view line) {
    Changed(mirror_.Append(control, line));
}

void QtScreen::SelectPage(int index) { Changed(mirror_.SelectPage(index)); }

int QtScreen::SelectedPage() const { return mirror_.Page(); }

void QtScreen::SetSeries(std::string_view series, std::vector<ChartPoint> points) {
    auto copy = points;
    StoredScreen::SetSeries(series, std::move(points));
    Changed(mirror_.SetSeries(series, std::move(copy)));
}

void QtScreen::SetPointY(std::string_view series, int index, double y) {
    StoredScreen::SetPointY(series, index, y);
    const auto size = StoredScreen::Series(series).size();
    if (index < 0 || static_cast<std::size_t>(index) >= size) return;
    Changed(mirror_.SetPointY(series, index, y));
}

void QtScreen::SetPointColour(std::string_view series, int index, Rgb colour) {
    StoredScreen::SetPointColour(series, index, colour);
    const auto size = StoredScreen::Series(series).size();
    if (index < 0 || static_cast<std::size_t>(index) >= size) return;
    Changed(mirror_.SetPointColour(series, index, colour));
}

void QtScreen::Beep(int frequencyHz, int durationMs) { Changed(mirror_.Beep({frequencyHz, durationMs})); }

void QtScreen::BeginUpdate() { mirror_.BeginGroup(); }

void QtScreen::EndUpdate() { Changed(mirror_.EndGroup()); }

void QtScreen::Changed(bool schedule) {
    if (schedule) QMetaObject::invokeMethod(this, [this] { FlushSoon(); }, Qt::QueuedConnection);
    if (OnGuiThread()) Flush();
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
    FrameBatch batch = mirror_.Take();
    frame_timer_.stop();
    since_flush_.restart();
    if (batch.empty()) return;
    ++batches_;
    for (const auto& name : batch.order) {
        auto it = batch.controls.find(name);
        if (it == batch.controls.end()) continue;
        const auto& c = it->second;
        for (const auto& [property, value] : c.props) Apply(name, property, value);
        if (!c.appended.empty()) ApplyAppend(name, c.appended);
    }
    for (const auto& [name, pending] : batch.series) ApplySeries(name, pending);
    if (batch.page) ApplyPage(*batch.page);
    for (const auto& tone : batch.beeps) {
        ++beeps_;
        sound_.Beep(tone.hz, tone.ms);
    }
}

// ------------------------------------------------------------- applying

void QtScreen::Apply(const std::string& control, Property property, const PropertyValue& value) {
    std::string grid;
    int column = 0, row = 0;
    if (ParseCell(control, grid, column, row)) {
        if (auto* g = registry_.Grid(grid); g && property == Property::Text)
            g->ApplyCellText(column, row, AsString(value));
        return;
    }
    QObject* o = registry_.Find(Q(control));
    if (!o) {
        std::string base;
        int index = 0;
        if (property == Property::Text && ParseItem(control, base, index))
            ApplyItemText(registry_.Find(Q(base)), index, Q(AsString(value)));
        return;
    }
    if (auto* custom = dynamic_cast<ScreenControl*>(o))
        if (custom->ApplyProperty(property, value)) return;
    const PropertyValue opaque = property == Property::Colour ? Get(control, Property::Opaque) : PropertyValue{};
    ApplyToWidget(o, property, value, opaque);
}

void QtScreen::ApplyAppend(const std::string& control, const std::vector<std::string>& lines) {
    QObject* o = registry_.Find(Q(control));
    if (!o) return;
    QStringList list;
    for (const auto& l : lines) list << Q(l);
    if (!AppendLines(o, list)) Apply(control, Property::Text, Get(control, Property::Text));
}

void QtScreen::ApplySeries(const std::string& series, const FrameBatch::Series& pending) {
    SeriesSink* sink = registry_.Series(series);
    if (!sink) return;
    if (pending.points) sink->ApplySeries(series, *pending.points);
    for (const auto& [index, y] : pending.ys) sink->ApplyPointY(series, index, y);
    for (const auto& [index, colour] : pending.colours) sink->ApplyPointColour(series, index, colour);
}

void QtScreen::ApplyPage(int index) {
    QTabWidget* pages = registry_.PageControl();
    if (!pages) return;
    const QSignalBlocker blocker(pages);
    pages->setCurrentIndex(index);
}

// ------------------------------------------------------- dialogs and pump

bool QtScreen::Log(std::vector<std::string>& log, std::string_view text) {
    {
        std::lock_guard lock(log_mutex_);
        log.emplace_back(text);
    }
    return !dialogs_suppressed;
}

void QtScreen::ShowMessage(std::string_view text) {
    if (Log(messages_, text)) dialogs_.Show(std::string(text), DialogBridge::Box::Message);
}

void QtScreen::ShowNotice(std::string_view text) {
    if (Log(messages_, text)) dialogs_.Notify(std::string(text));
}

void QtScreen::ShowInfo(std::string_view text) {
    if (Log(messages_, text)) dialogs_.Show(std::string(text), DialogBridge::Box::Info);
}

bool QtScreen::Confirm(std::string_view question) {
    if (!Log(messages_, question)) return false;
    return dialogs_.Confirm(std::string(question));
}

void QtScreen::ShowError(std::string_view text) {
    if (Log(errors_, text)) dialogs_.Show(std::string(text), DialogBridge::Box::Error);
}

std::optional<std::string> QtScreen::ChooseFile(std::string_view dialog, FileDialogMode mode,
                                                std::string_view filter) {
    std::string d(dialog);
    if (dialogs_suppressed) {
        if (file_answer) return file_answer(d);
        return std::nullopt;
    }
    return dialogs_.ChooseFile(d, mode, std::string(filter));
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
