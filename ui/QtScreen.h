#pragma once
// The window as the logic sees it: a mirror of control properties in front of
// the Qt widgets.
//
// The logic runs on the device thread. Its Set updates the mirror at once and
// queues the widget change to the GUI thread, where pending changes are
// applied together at most once per frame (a burst of chart point changes
// costs one batch). Its Get reads the mirror only, so it never waits for the
// GUI thread. The user's edits reach the mirror on the GUI thread as they
// happen, before the event they belong to is forwarded to the device thread.
// Message boxes and file dialogs block the calling thread on a modal dialog
// of the GUI thread. Pump() on the device thread runs the calls the GUI
// thread queued meanwhile (see DeviceThread).
//
// When the user edits a control and the logic sets it within one frame, the
// later of the two is what the widget shows and what Get returns
// (PropertyMirror).
//
// Widgets are found by objectName under the roots given to AddRoot
// (ControlRegistry). Standard widgets are handled by their kind's adapter
// (WidgetAdapters); custom widgets implement ScreenControl, grids
// GridControl and charts SeriesSink (UiContext.h). Dialogs run through the
// DialogBridge.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ControlRegistry.h"
#include "DialogBridge.h"
#include "PropertyMirror.h"
#include "Sound.h"
#include "StoredScreen.h"
#include "UiContext.h"

class QTabWidget;

namespace tovrel::ui {

// Control properties and the page live in the PropertyMirror, not in the
// StoredScreen base, whose series store and pump hook are used as they are.
class QtScreen : public QObject, public StoredScreen {
    Q_OBJECT
public:
    // Made on the GUI thread, which it then serves.
    QtScreen();
    ~QtScreen() override;

    // ---- set-up, GUI thread ----
    // Controls are looked up by objectName under these objects. Every named
    // standard widget found under `root` gets its present properties copied
    // into the mirror and its user edits watched.
    void AddRoot(QObject* root);
    // The page control that SelectPage drives.
    void SetPageControl(QTabWidget* pages);
    // Watches one more widget made after AddRoot (and seeds the mirror).
    void Watch(QObject* object);
    void RegisterSeries(const std::string& series, SeriesSink* sink);
    void RegisterGrid(const std::string& name, GridControl* grid);
    // Runs Pump() on the device thread: the device thread's queue drain.
    void SetDevicePump(std::function<void()> pump, std::function<bool()> on_device_thread);

    // ---- a language switch, GUI thread ----
    // Replaces every mirrored text that `map` knows by its translation (the
    // widgets take them at once); a text the logic set meanwhile stays.
    void Retranslate(const std::function<std::optional<std::string>(const std::string&)>& map);

    // ---- user edits, GUI thread ----
    // Copies the user-editable value of `widget` into the mirror.
    void CaptureUserEdit(QObject* widget);
    // Puts a value into the mirror without touching the widget.
    void UserEdit(std::string_view control, Property property, PropertyValue value);

    // ---- the Screen interface, any thread ----
    void Set(std::string_view control, Property property, PropertyValue value) override;
    PropertyValue Get(std::string_view control, Property property) const override;
    void AppendLine(std::string_view control, std::string_view line) override;
    void SelectPage(int index) override;
    int SelectedPage() const override;
    void ShowMessage(std::string_view text) override;
    void ShowError(std::string_view text) override;
    void ShowInfo(std::string_view text) override;
    // A message box that stays open beside the window while the caller goes
    // on; one box per text at a time (a second press adds no second box).
    void ShowNotice(std::string_view text) override;
    bool Confirm(std::string_view question) override;
    void Repaint(std::string_view control) override;
    void Pump() override;
    void BeginUpdate() override;
    void EndUpdate() override;
    std::optional<std::string> ChooseFile(std::string_view dialog, FileDialogMode mode,
                                          std::string_view filter) override;
    void Beep(int frequencyHz, int durationMs) override;
    void SetSeries(std::string_view series, std::vector<ChartPoint> points) override;
    void SetPointY(std::string_view series, int index, double y) override;
    void SetPointColour(std::string_view series, int index, Rgb colour) override;

    // ---- for the window and the tests ----
    // Every message and error shown, in order (any thread).
    std::vector<std::string> Messages() const;
    std::vector<std::string> Errors() const;
    // When set, message boxes are recorded but not shown, and file dialogs
    // are answered by `file_answer` (nothing: cancelled). Set while the
    // window closes, and by tests that do not click dialogs.
    std::atomic<bool> dialogs_suppressed{false};
    std::function<std::optional<std::string>(const std::string& dialog)> file_answer;
    // GUI thread: applies every pending change now.
    void Flush();
    // Number of batches applied so far (GUI thread); the tests check the
    // coalescing with it.
    int BatchCount() const { return batches_; }
    int BeepCount() const { return beeps_; }

    static constexpr int kFrameMs = 16;

private:
    bool OnGuiThread() const;
    // Asks the GUI thread for a flush when `schedule` (the batch was idle),
    // and flushes at once on the GUI thread.
    void Changed(bool schedule);
    // GUI thread: flushes now, or when the frame is over.
    void FlushSoon();
    void Seed(QObject* object);
    void Connect(QObject* object);
    // Records a message, error or question; false when dialogs are
    // suppressed.
    bool Log(std::vector<std::string>& log, std::string_view text);

    void Apply(const std::string& control, Property property, const PropertyValue& value);
    void ApplyAppend(const std::string& control, const std::vector<std::string>& lines);
    void ApplySeries(const std::string& series, const FrameBatch::Series& pending);
    void ApplyPage(int index);

    PropertyMirror mirror_;
    ControlRegistry registry_;
    DialogBridge dialogs_;
    std::function<void()> device_pump_;
    std::function<bool()> on_device_thread_;

    mutable std::mutex log_mutex_;
    std::vector<std::string> messages_;
    std::vector<std::string> errors_;

    QTimer frame_timer_;
    QElapsedTimer since_flush_;
    int batches_ = 0;
    int beeps_ = 0;
    Sound sound_;
};

}  // namespace tovrel::ui
