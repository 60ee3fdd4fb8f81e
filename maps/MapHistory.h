#pragma once
// Records what changed in the maps as undoable steps: the before and after
// values of the points each change touched. A step gathers every change made
// between two Takes (one user action: a key, a committed cell, an edit
// operation, a whole read, a file), so a read over the user's edits can be
// taken back like any edit. Changes made by undoing and redoing
// (MapEditCause::Undo) are not recorded.
#include <array>
#include <optional>
#include <vector>

#include "Calculations.h"
#include "MapDocument.h"

namespace tovrel {

// The points first .. first + before.size() - 1 of one map, before and after.
struct MapStepPart {
    MapKind kind = MapKind::LPG;
    int first = 0;
    std::vector<double> before, after;
};

struct MapStep {
    // The cause that names the step: the last change's, a read or a file
    // outweighing the program's own fillings (Replace) that come with them.
    MapEditCause cause = MapEditCause::Replace;
    std::vector<MapStepPart> parts;  // in the order of kMapKinds, only maps that differ
};

class MapHistory {
public:
    explicit MapHistory(MapDocument& document);
    ~MapHistory();
    MapHistory(const MapHistory&) = delete;
    MapHistory& operator=(const MapHistory&) = delete;

    // The step since the last Take; nothing when no value differs from then.
    std::optional<MapStep> Take();

private:
    void Changed(const MapChange& change);
    struct Pending {
        bool touched = false;
        int low = 0, high = 0;  // the run that holds every touched point
        std::array<double, MapPointCount> before{};
    };
    MapDocument& document_;
    int id_;
    std::array<std::array<double, MapPointCount>, 4> shadow_{};  // the maps as of the last change seen
    std::array<Pending, 4> pending_{};
    std::optional<MapEditCause> cause_;
};

// Puts the before (undo) or after (redo) values of every part of `step`
// into the document with the cause Undo.
void ApplyStep(MapDocument& document, const MapStep& step, bool undo);

}  // namespace tovrel
