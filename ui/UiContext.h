#pragma once
// What the pages of the window share: the screen mirror, the device thread
// and the interfaces through which custom widgets take what the logic sets.
//
// Threads. The logic (every handler, every device procedure) runs on the one
// device thread and touches the Program only there. The GUI thread draws and
// forwards user events. A page connects a widget's signal to Forward(), which
// first copies the user's edit of that widget into the mirror (so the
// handler's Get sees it) and then queues the call to the device thread. What
// the logic Sets reaches the widgets queued on the GUI thread: standard
// widgets (QLabel, QPushButton, QCheckBox, QLineEdit, QSpinBox, QComboBox,
// QProgressBar, QPlainTextEdit, QGroupBox, QTabWidget pages, QAction) are
// handled by the screen itself; custom widgets implement ScreenControl,
// GridControl or SeriesSink below.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Canvas.h"
#include "DeviceSession.h"
#include "Screen.h"

namespace tovrel {
class Program;
}

namespace tovrel::ui {

class QtScreen;
class DeviceThread;
class EditingDeviceSide;

// A label with this dynamic property set to true fits its size to each new
// caption, keeping its left and top, as an auto-sized label does:
// label->setProperty(kAutoSizeProperty, true).
inline constexpr const char* kAutoSizeProperty = "autoSize";

// A custom widget that applies some properties itself (GUI thread). Return
// false to leave a property to the generic code.
class ScreenControl {
public:
    virtual ~ScreenControl() = default;
    virtual bool ApplyProperty(Property property, const PropertyValue& value) = 0;
};

// A string grid: the logic addresses its cells as "<grid>[c,r]" controls.
class GridControl {
public:
    virtual ~GridControl() = default;
    virtual void ApplyCellText(int column, int row, const std::string& text) = 0;
};

// The charts' line series. Calls come on the GUI thread, already coalesced by
// the screen (at most one batch per frame); `colour` nothing means the
// series' own colour.
class SeriesSink {
public:
    virtual ~SeriesSink() = default;
    virtual void ApplySeries(const std::string& series, const std::vector<ChartPoint>& points) = 0;
    virtual void ApplyPointY(const std::string& series, int index, double y) = 0;
    virtual void ApplyPointColour(const std::string& series, int index, std::optional<Rgb> colour) = 0;
};

class UiContext {
public:
    UiContext(QtScreen& screen, DeviceThread& device) : screen_(screen), device_(device) {}

    QtScreen& screen() { return screen_; }
    DeviceThread& device() { return device_; }

    // GUI thread: copies the current user-editable value of `edited` (the
    // text of an edit, spin box or combo box, the checked state of a check
    // box, the item of a radio group) into the mirror, then queues `call` to
    // the device thread.
    void Forward(std::function<void(Program&)> call, QWidget* edited = nullptr);
    // GUI thread: a user's edit that is not one widget's value (a grid cell's
    // text, say) goes into the mirror before its event is forwarded.
    void UserEdit(std::string_view control, Property property, PropertyValue value);

    // The widget that takes the named series (GUI thread, while building).
    void RegisterSeries(const std::string& series, SeriesSink* sink);
    // A grid whose cells are "<name>[c,r]".
    void RegisterGrid(const std::string& name, GridControl* grid);

    // The device session the Program's link reports to: the window reads
    // from it whether a procedure runs and asks it to stop.
    std::shared_ptr<DeviceSession> session = std::make_shared<DeviceSession>();

    // The map editing tools' part on the device thread (MapEditing.h).
    std::shared_ptr<EditingDeviceSide> editing;

    // The oscillogram picture's canvas; set by the oscilloscope page, handed
    // to the Program when it is made. It is drawn on by the device thread.
    Canvas* oscillogram_canvas = nullptr;

private:
    QtScreen& screen_;
    DeviceThread& device_;
};

}  // namespace tovrel::ui
