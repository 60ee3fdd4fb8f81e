#pragma once
// Operations over a selection of points of one map: set, step, scale,
// interpolate, smooth and revert to the values last read from the variator.
// The arithmetic only; the caller applies the result through the document
// (ApplyPointValues) and tells the user which points were limited.
//
// Every result is held to the range a grid cell takes (MapControls'
// grid_limit, inclusive): that is the widest range an editor of this
// program produces and the one a write accepts (UnsendableValueMessage).
// The strict key limit belongs to one arrow-key step and would make a value
// the grid accepts (32 degrees, 101 percent) unreachable here. Results are
// rounded to what the variator keeps of a value (a hundredth of a degree, a
// whole percent), so that what the editor shows is what a write sends and
// a read brings back.
#include <optional>
#include <span>
#include <vector>

#include "Calculations.h"
#include "MapDocument.h"

namespace tovrel {

enum class MapOperation {
    Set,          // every point to `argument`
    Step,         // every point plus `argument` (negative: down)
    Scale,        // every point times `argument` percent
    Interpolate,  // linear between the first and the last selected point
    Smooth,       // [1 2 1]/4 over the map's neighbours; the selection's ends kept
    Revert,       // the values last read from the variator
};

struct OperationResult {
    std::vector<int> points;     // the selection, in point order, without repeats
    std::vector<double> values;  // the new value of each
    std::vector<int> limited;    // the points whose result was held to the range
    bool refused = false;        // nothing to do it with (no read values to revert to)
};

// The lowest and highest value an editor may give a point of `kind`.
double MapMinimum(MapKind kind);
double MapMaximum(MapKind kind);
// `y` rounded to the variator's resolution for `kind`.
double RoundToDevice(MapKind kind, double y);

// The new values of `points` (any order, repeats and indices outside 0..79
// dropped) of `map`. `last_read` serves Revert only; without it Revert is
// refused.
OperationResult ComputeOperation(MapKind kind, const TimingMap& map, std::span<const int> points,
                                 MapOperation operation, double argument = 0,
                                 const std::array<double, MapPointCount>* last_read = nullptr);

// Puts values[i] into point points[i] of `kind` with one Apply over the run
// that holds them all (the points between keep their values).
ApplyResult ApplyPointValues(MapDocument& document, MapKind kind, std::span<const int> points,
                             std::span<const double> values, MapEditCause cause);

}  // namespace tovrel
