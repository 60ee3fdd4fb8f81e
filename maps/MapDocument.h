#pragma once
// The one place the four maps live. Every change of a map value goes through
// Apply: an edit of a run of points of one map, with the cause of the change.
// After an edit that changed something the listeners hear which map, which
// points and why; readers get the maps read-only.
//
// The document belongs to the thread that runs the logic (the device thread
// of the desktop program) and is neither locked nor shared; see the README,
// "Where the maps live".
#include <functional>
#include <span>
#include <vector>

#include "Calculations.h"

namespace tovrel {

// Why a map changed: the views redraw differently for each.
enum class MapEditCause {
    Key,         // a chart's arrow key moved a point or the whole curve
    GridCommit,  // a typed grid cell was taken
    Template,    // the data template
    DeviceRead,  // a point read from the variator
    FileLoad,    // a configuration file
    Replace,     // a whole set put in by the program (start values, not-yet-read markers)
    EditOperation,  // an operation on a selection, a paste
    Undo,        // an undo or redo puts back recorded values
};

// Points first .. first + count - 1 of one map.
struct PointRange {
    int first = 0;
    int count = 0;
    static constexpr PointRange All() { return {0, MapPointCount}; }
    static constexpr PointRange One(int point) { return {point, 1}; }
    friend bool operator==(const PointRange&, const PointRange&) = default;
};

// What the listeners hear: the points whose values changed (the narrowest
// run that holds them all), of which map, and why.
struct MapChange {
    MapKind kind;
    PointRange range;
    MapEditCause cause;
    friend bool operator==(const MapChange&, const MapChange&) = default;
};

enum class ApplyResult {
    Changed,    // some value changed; the listeners were told
    Unchanged,  // the edit left every value as it was; nobody was told
    Refused,    // the range lies (partly) outside the map; nothing ran
};

class MapDocument {
public:
    using Listener = std::function<void(const MapChange&)>;
    // The edit gets the y values of the range, in point order, to change in place.
    using Edit = std::function<void(std::span<double> y)>;

    // Every map with the x values of its axis and y = 0 (InitTimingMaps).
    MapDocument();
    MapDocument(const MapDocument&) = delete;
    MapDocument& operator=(const MapDocument&) = delete;

    const TimingMaps& Maps() const { return maps_; }
    const TimingMap& Map(MapKind kind) const { return maps_[kind]; }
    double Y(MapKind kind, int point) const { return maps_[kind].y[static_cast<std::size_t>(point)]; }

    // Runs `edit` over the range's y values. The x values are the axes and
    // never change. A listener must not change the document itself.
    ApplyResult Apply(MapKind kind, PointRange range, MapEditCause cause, const Edit& edit);

    // Conveniences over Apply.
    ApplyResult SetPoint(MapKind kind, int point, double y, MapEditCause cause);
    ApplyResult SetMap(MapKind kind, const std::array<double, MapPointCount>& y, MapEditCause cause);
    ApplyResult FillMap(MapKind kind, double y, MapEditCause cause);
    // Every map's y values from `maps`, in the order of kMapKinds, one Apply
    // per map (the x values of `maps` are not looked at).
    void ReplaceAll(const TimingMaps& maps, MapEditCause cause);

    // Listeners hear every change in the order they were added. The id
    // serves RemoveListener.
    int AddListener(Listener listener);
    void RemoveListener(int id);

private:
    TimingMaps maps_;
    std::vector<std::pair<int, Listener>> listeners_;
    int next_id_ = 1;
};

// The fixed fillings of Calculations.h, through the document.
void InitTimingMaps(MapDocument& document);       // y = 0, cause Replace
void FillMapTemplate(MapDocument& document);      // cause Template
void ResetMapsToUnread(MapDocument& document);    // cause Replace

}  // namespace tovrel
