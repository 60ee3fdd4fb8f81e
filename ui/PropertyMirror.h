#pragma once
// The control properties as the logic sees them, and the changes the widgets
// have yet to take, behind one lock.
//
// Two writers change a property: the logic (any thread, through Set) and the
// user (the GUI thread, through the widget itself). The later of the two
// wins, in the mirror and on the widget alike. A logic write goes into the
// mirror and into the frame's batch in one step, so the widget takes it when
// the batch is applied. A user's write goes into the mirror only (the widget
// already shows it) and drops what the batch still holds for the same
// property: that value was set before the user's edit, and applying it would
// overwrite the user's newer value on the widget while the mirror kept the
// user's. Because both writes are ordered by the one lock, "later" is simply
// the order in which they took it.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Screen.h"
#include "Sound.h"

namespace tovrel::ui {

// What waits for the next frame on the GUI thread.
struct FrameBatch {
    struct Control {
        std::map<Property, PropertyValue> props;
        std::vector<std::string> appended;  // memo lines after the props
    };
    struct Series {
        std::optional<std::vector<ChartPoint>> points;  // replaced whole
        std::map<int, double> ys;
        std::map<int, Rgb> colours;
    };
    std::vector<std::string> order;  // controls in the order first changed
    std::map<std::string, Control, std::less<>> controls;
    std::map<std::string, Series, std::less<>> series;
    std::optional<int> page;
    std::vector<Sound::Tone> beeps;

    bool empty() const { return controls.empty() && series.empty() && !page && beeps.empty(); }
};

class PropertyMirror {
public:
    // ---- the logic's writes (any thread) ----
    // Each returns true when the batch was idle until then: the caller asks
    // the GUI thread for a flush.
    bool Set(std::string_view control, Property property, PropertyValue value);
    // Appends a line to a memo's text. While a text set of the memo is
    // pending, the batch takes the whole text instead, so that the set and
    // the lines apply as one.
    bool Append(std::string_view control, std::string_view line);
    bool SelectPage(int index);
    bool SetSeries(std::string_view series, std::vector<ChartPoint> points);
    bool SetPointY(std::string_view series, int index, double y);
    bool SetPointColour(std::string_view series, int index, Rgb colour);
    bool Beep(Sound::Tone tone);

    // ---- the user's writes (GUI thread) ----
    // Mirror only; a pending logic value of the same property is dropped
    // (for a memo's Text, with its pending lines).
    void UserSet(std::string_view control, Property property, PropertyValue value);
    void UserSelectPage(int index);
    // What a widget holds when it is first watched. A value the logic set
    // that the widget has yet to take stays: the widget shows it next frame.
    void Seed(std::string_view control, Property property, PropertyValue value);
    void SeedPage(int index);

    // ---- a language switch (GUI thread) ----
    // Every Text property that holds a string, with its control.
    std::vector<std::pair<std::string, std::string>> Texts() const;
    // Set, unless the property no longer holds `expected`: a write made
    // since the caller read it is newer and stays.
    bool SetIfUnchanged(std::string_view control, Property property, const std::string& expected,
                        PropertyValue value);

    // ---- reads (any thread) ----
    PropertyValue Get(std::string_view control, Property property) const;
    int Page() const;

    // GUI thread: everything pending, leaving the batch empty and idle.
    FrameBatch Take();
    // Changes made between these (the logic's, nested) reach the widgets in
    // one batch: Take hands out nothing while a group is open. EndGroup says
    // whether a flush must be asked for.
    void BeginGroup();
    bool EndGroup();

private:
    bool SetLocked(std::string_view control, Property property, PropertyValue value);
    FrameBatch::Control& PendingLocked(std::string_view control);
    bool ScheduleLocked();
    PropertyValue& ValueLocked(std::string_view control, Property property);

    mutable std::mutex mutex_;
    std::map<std::string, std::map<Property, PropertyValue>, std::less<>> values_;
    int page_ = 0;
    FrameBatch batch_;
    bool scheduled_ = false;
    int group_depth_ = 0;
};

}  // namespace tovrel::ui
