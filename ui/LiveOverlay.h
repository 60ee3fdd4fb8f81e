#pragma once
// The engine's operating point drawn over every map view while live samples
// come (a monitor run or a playback): on each chart a vertical cursor at the
// engine speed or throttle index, a marker on the curve at the map's value
// there, a second marker at what the variator applies and a fading trail;
// on each grid a border on the nearest point and a tint on the points
// visited lately; on each 3D view a marker on the curve of the throttle band
// in use. The map of the fuel in use is drawn strong, the other dimmed; a
// variator without synchronisation turns the markers grey and hollow.
//
// Samples only update small items of their own over the charts (the map's
// line is never touched) and are drawn at most once per frame: a burst of
// samples within a frame costs one replot of the visible chart.
//
// Following (F, or the menu) switches the drawing off and on: while it is
// off the views show the bare maps; the samples are still taken in, so
// switching it on again shows the current point and trail at once. When a
// monitor run ends the markers stay at the last point and the trail fades
// out over its length.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <optional>

#include "LiveFeed.h"
#include "OperatingPoint.h"

class QAction;
class QCPCurve;
class QCPItemStraightLine;
class QMainWindow;
class QMenu;
class QSettings;

namespace tovrel::ui {

class MapChart;
class MapGrid;
class View3DWidget;

class LiveOverlay : public QObject {
    Q_OBJECT
public:
    static constexpr int kTrailShades = 5;  // the trail's strength in steps
    static constexpr const char* kTrailKey = "live/trail_seconds";

    // Finds the map views among `window`'s children and puts its menu into
    // the window's menu bar. `settings` (may be null) keeps the trail's length.
    LiveOverlay(QMainWindow& window, LiveFeed& feed, QSettings* settings);

    // What is drawn over one chart (null members: the chart is missing).
    struct ChartMarks {
        MapChart* chart = nullptr;
        QCPItemStraightLine* cursor = nullptr;
        QCPCurve* map_marker = nullptr;
        QCPCurve* applied_marker = nullptr;
        std::array<QCPCurve*, kTrailShades> trail{};  // faintest first
    };
    const ChartMarks& Chart(MapKind kind) const { return charts_[static_cast<std::size_t>(MapKindIndex(kind))]; }
    MapGrid* Grid(MapKind kind) const { return grids_[static_cast<std::size_t>(MapKindIndex(kind))]; }
    View3DWidget* View3D(bool petrol) const { return views_[petrol ? 1 : 0]; }

    bool Following() const { return following_; }
    void SetFollowing(bool on);
    double TrailLength() const { return trail_seconds_; }
    void SetTrailLength(double seconds);

    QMenu* Menu() const { return menu_; }
    QAction* FollowAction() const { return follow_; }

    // Draws what the samples so far left pending, now (tests).
    void DrawNow();
    // Frames drawn so far.
    int Draws() const { return draws_; }

private:
    void OnSample(const LiveSample& sample);
    void OnMonitorRunning(bool running);
    void Schedule();
    void Draw();
    // The trail's clock: the last sample's time, running on with the wall
    // clock once a live run has ended (so its trail fades out).
    double Now() const;
    bool Fading() const;
    void DrawChart(ChartMarks& marks, const MapOperatingPoint& point, int index, double now);
    void DrawGrid(MapGrid* grid, const MapOperatingPoint& point, int index, double now);
    void Draw3D(bool petrol);
    void BuildMenu(QMainWindow& window);

    LiveFeed& feed_;
    QSettings* settings_;
    std::array<ChartMarks, 4> charts_{};
    std::array<MapGrid*, 4> grids_{};
    std::array<View3DWidget*, 2> views_{};  // gas, petrol

    std::optional<LiveSample> last_;
    double last_t_ = 0;              // seconds, the last sample's time
    QElapsedTimer since_sample_;
    std::array<OperatingTrail, 4> trails_;  // x and applied value, per map
    std::array<OperatingTrail, 4> visits_;  // nearest point (as x), per map
    double trail_seconds_ = 3.0;
    bool following_ = true;

    QTimer frame_;
    QElapsedTimer since_draw_;
    int draws_ = 0;
    QMenu* menu_ = nullptr;
    QAction* follow_ = nullptr;
    QMenu* trail_menu_ = nullptr;
};

// The value of the curve through `points` (x rising) at `x`: linear between
// points, the end value beyond an end; 0 for no points.
double CurveValueAt(const std::vector<ChartPoint>& points, double x);

}  // namespace tovrel::ui
