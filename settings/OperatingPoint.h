#pragma once
// Where the engine runs on each map, from one monitor pass: the live engine
// speed on the two advance maps, the throttle position index on the two
// throttle maps, the map's own value there and what the variator reports
// applying. The views draw it as a cursor, markers and a fading trail.
#include <array>
#include <deque>
#include <vector>

#include "Calculations.h"
#include "LiveState.h"

namespace tovrel {

struct MapOperatingPoint {
    MapKind kind = MapKind::LPG;
    double x = 0;          // engine speed (rpm) or throttle position index
    double map_value = 0;  // the map at x: linear between points, the end value beyond an end
    int nearest = 0;       // the point nearest to x (grids mark it)
    // What the variator reports applying: the advance in degrees (address
    // 132) on the advance maps, the throttle correction in percent (address
    // 131, of the fuel in use) on the throttle maps.
    double applied = 0;
    bool in_use = false;        // the map belongs to the fuel in use (bit 8 of address 130)
    bool synchronised = false;  // the variator has synchronised (low byte of address 134 is 1)
};

// The map's value at x. Its x values rise from point to point; between two
// points the value lies on the line joining them, before the first and
// after the last it is that end's value.
double MapValueAt(const TimingMap& map, double x);
// The index of the point whose x is nearest to `x` (the lower one on a tie).
int NearestMapPoint(const TimingMap& map, double x);

// The operating point on each map, in the order of kMapKinds.
std::array<MapOperatingPoint, 4> OperatingPoints(const RealtimeSnapshot& s, const TimingMaps& maps);

// The last few seconds of one map's operating point. Newer points are
// stronger; a point older than the trail's length is gone. A length of 0
// keeps no trail.
class OperatingTrail {
public:
    struct Point {
        double x = 0, y = 0;
        double strength = 0;  // 1 for a point of this instant, falling to 0 at the trail's length
    };

    explicit OperatingTrail(double seconds = 3.0) : seconds_(seconds) {}
    void SetLength(double seconds);
    double Length() const { return seconds_; }
    // `t` in seconds from any fixed start; samples come in time order.
    void Add(double t, double x, double y);
    void Clear() { samples_.clear(); }
    // The points still on the trail at time `now`, oldest first.
    std::vector<Point> Points(double now) const;

private:
    struct Sample {
        double t, x, y;
    };
    void Drop(double now);

    double seconds_;
    std::deque<Sample> samples_;
};

}  // namespace tovrel
