#include "LiveOverlay.h"

#include <qcustomplot.h>

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <algorithm>
#include <cmath>

#include "LiveTexts.h"
#include "MapChart.h"
#include "MapControls.h"
#include "MapGrid.h"
#include "QtTexts.h"
#include "View3DPage.h"
#include "View3DWidget.h"

namespace tovrel::ui {

namespace {

constexpr int kFrameMs = 16;        // at most one drawing per frame
constexpr int kFadeTickMs = 50;     // the trail's fading after a run
constexpr double kDimmed = 0.35;    // the other fuel's map, of full strength
constexpr double kMarkerSize = 12;  // pixels
constexpr double kTrailDotSize = 6;
constexpr double kLongestTrail = 60;  // seconds
constexpr int kTrailChoices[] = {0, 1, 3, 5, 10};

const QColor kCursorColour(0x00, 0x80, 0x30);
const QColor kMapMarkerColour(0xe0, 0x40, 0x00);  // on the curve
const QColor kAppliedColour(0x00, 0x90, 0x30);    // what the variator applies
const QColor kUnsynchronised(0x90, 0x90, 0x90);

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QColor Faded(QColor c, double strength) {
    c.setAlphaF(static_cast<float>(std::clamp(strength, 0.0, 1.0)));
    return c;
}

QCPCurve* SmallCurve(MapChart* chart) {
    auto* curve = new QCPCurve(chart->xAxis, chart->yAxis);
    curve->setLineStyle(QCPCurve::lsNone);
    curve->setSelectable(QCP::stNone);
    curve->setVisible(false);
    return curve;
}

}  // namespace

double CurveValueAt(const std::vector<ChartPoint>& points, double x) {
    if (points.empty()) return 0;
    if (x <= points.front().x) return points.front().y;
    if (x >= points.back().x) return points.back().y;
    const auto after = std::upper_bound(points.begin(), points.end(), x,
                                        [](double v, const ChartPoint& p) { return v < p.x; });
    const auto before = after - 1;
    const double span = after->x - before->x;
    if (!(span > 0)) return before->y;
    return before->y + (after->y - before->y) * (x - before->x) / span;
}

LiveOverlay::LiveOverlay(QMainWindow& window, LiveFeed& feed, QSettings* settings)
    : QObject(&window), feed_(feed), settings_(settings) {
    for (int i = 0; i < 4; ++i) {
        const MapControls& c = MapControlsAt(i);
        auto& marks = charts_[static_cast<std::size_t>(i)];
        marks.chart = window.findChild<MapChart*>(Q(c.chart));
        grids_[static_cast<std::size_t>(i)] = window.findChild<MapGrid*>(Q(c.grid));
        if (!marks.chart) continue;
        // Over the line and its own marks: the trail, the cursor, the markers.
        for (auto*& shade : marks.trail) shade = SmallCurve(marks.chart);
        marks.cursor = new QCPItemStraightLine(marks.chart);
        marks.cursor->setSelectable(false);
        marks.cursor->setVisible(false);
        marks.applied_marker = SmallCurve(marks.chart);
        marks.map_marker = SmallCurve(marks.chart);
    }
    views_[0] = window.findChild<View3DWidget*>(Q(kGas3DChart));
    views_[1] = window.findChild<View3DWidget*>(Q(kPetrol3DChart));

    if (settings_) {
        bool ok = false;
        const double kept = settings_->value(kTrailKey).toDouble(&ok);
        if (ok) trail_seconds_ = std::clamp(kept, 0.0, kLongestTrail);
    }
    for (auto& t : trails_) t.SetLength(trail_seconds_);
    for (auto& t : visits_) t.SetLength(trail_seconds_);

    frame_.setSingleShot(true);
    connect(&frame_, &QTimer::timeout, this, [this] { Draw(); });
    since_draw_.start();
    since_sample_.start();
    connect(&feed_, &LiveFeed::sample, this, &LiveOverlay::OnSample);
    connect(&feed_, &LiveFeed::monitorRunningChanged, this, &LiveOverlay::OnMonitorRunning);
    BuildMenu(window);
}

void LiveOverlay::BuildMenu(QMainWindow& window) {
    // Unnamed: a language switch translates the captions as they stand.
    menu_ = new QMenu(QTr(LiveText::Menu), &window);
    follow_ = menu_->addAction(QTr(LiveText::Follow));
    follow_->setCheckable(true);
    follow_->setChecked(following_);
    follow_->setShortcut(QKeySequence(Qt::Key_F));
    connect(follow_, &QAction::toggled, this, [this](bool on) { SetFollowing(on); });
    trail_menu_ = menu_->addMenu(QTr(LiveText::Trail));
    auto* group = new QActionGroup(trail_menu_);
    for (int seconds : kTrailChoices) {
        auto* item = trail_menu_->addAction(seconds == 0 ? QTr(LiveText::TrailOff)
                                                         : QTr(LiveText::TrailSeconds).arg(seconds));
        item->setCheckable(true);
        item->setData(seconds);
        item->setChecked(std::abs(trail_seconds_ - seconds) < 1e-9);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, seconds] { SetTrailLength(seconds); });
    }
    QMenuBar* bar = window.menuBar();
    // After the editing menu, before the firmware update's.
    if (auto* update = bar->findChild<QMenu*>("N5"))
        bar->insertMenu(update->menuAction(), menu_);
    else
        bar->addMenu(menu_);
}

void LiveOverlay::SetFollowing(bool on) {
    if (on == following_) return;
    following_ = on;
    if (follow_ && follow_->isChecked() != on) follow_->setChecked(on);
    Schedule();
}

void LiveOverlay::SetTrailLength(double seconds) {
    seconds = std::clamp(std::isfinite(seconds) ? seconds : 0.0, 0.0, kLongestTrail);
    trail_seconds_ = seconds;
    for (auto& t : trails_) t.SetLength(seconds);
    for (auto& t : visits_) t.SetLength(seconds);
    if (settings_) settings_->setValue(kTrailKey, seconds);
    if (trail_menu_)
        for (QAction* item : trail_menu_->actions())
            item->setChecked(std::abs(item->data().toDouble() - seconds) < 1e-9);
    Schedule();
}

void LiveOverlay::OnSample(const LiveSample& sample) {
    const double t = static_cast<double>(sample.ms) / 1000.0;
    // A new run, a playback after live passes or a step back in a
    // recording: the old trail belongs to another time.
    if (last_ && (t < last_t_ || sample.playback != last_->playback)) {
        for (auto& trail : trails_) trail.Clear();
        for (auto& visits : visits_) visits.Clear();
    }
    for (std::size_t i = 0; i < 4; ++i) {
        const MapOperatingPoint& p = sample.points[i];
        trails_[i].Add(t, p.x, p.applied);
        visits_[i].Add(t, p.nearest, 0);
    }
    last_ = sample;
    last_t_ = t;
    since_sample_.restart();
    Schedule();
}

void LiveOverlay::OnMonitorRunning(bool running) {
    // The end of a run starts the trail's fading.
    if (!running) Schedule();
}

bool LiveOverlay::Fading() const { return last_ && !last_->playback && !feed_.MonitorRunning(); }

double LiveOverlay::Now() const {
    return last_t_ + (Fading() ? static_cast<double>(since_sample_.elapsed()) / 1000.0 : 0.0);
}

void LiveOverlay::Schedule() {
    if (frame_.isActive()) return;
    frame_.start(static_cast<int>(std::max<qint64>(0, kFrameMs - since_draw_.elapsed())));
}

void LiveOverlay::DrawNow() {
    frame_.stop();
    Draw();
}

void LiveOverlay::Draw() {
    since_draw_.restart();
    ++draws_;
    if (!last_) return;
    const double now = Now();
    for (int i = 0; i < 4; ++i) {
        const auto& point = last_->points[static_cast<std::size_t>(i)];
        DrawChart(charts_[static_cast<std::size_t>(i)], point, i, now);
        DrawGrid(grids_[static_cast<std::size_t>(i)], point, i, now);
    }
    Draw3D(false);
    Draw3D(true);
    // Keep fading until the trails are gone.
    if (Fading() && following_) {
        const bool left = std::any_of(trails_.begin(), trails_.end(), [now](const OperatingTrail& t) {
            return !t.Points(now).empty();
        });
        if (left) frame_.start(kFadeTickMs);
    }
}

void LiveOverlay::DrawChart(ChartMarks& marks, const MapOperatingPoint& point, int index, double now) {
    if (!marks.chart) return;
    const bool show = following_;
    const double weight = point.in_use ? 1.0 : kDimmed;
    const bool sync = point.synchronised;
    const QColor grey = Faded(kUnsynchronised, weight);

    marks.cursor->setVisible(show);
    marks.map_marker->setVisible(show);
    marks.applied_marker->setVisible(show);
    if (show) {
        QPen cursor(sync ? Faded(kCursorColour, 0.8 * weight) : grey, 1.5);
        if (!sync) cursor.setStyle(Qt::DashLine);
        marks.cursor->setPen(cursor);
        marks.cursor->point1->setCoords(point.x, 0);
        marks.cursor->point2->setCoords(point.x, 1);

        const auto style = [&](QCPScatterStyle::ScatterShape solid, QCPScatterStyle::ScatterShape hollow,
                               const QColor& colour) {
            const QColor ink = sync ? Faded(colour, weight) : grey;
            return sync ? QCPScatterStyle(solid, QPen(ink.darker(130), 1.5), QBrush(ink), kMarkerSize)
                        : QCPScatterStyle(hollow, QPen(ink, 2), Qt::NoBrush, kMarkerSize);
        };
        marks.map_marker->setScatterStyle(style(QCPScatterStyle::ssDisc, QCPScatterStyle::ssCircle, kMapMarkerColour));
        marks.map_marker->setData(QVector<double>{point.x}, QVector<double>{point.map_value});
        marks.applied_marker->setScatterStyle(
            style(QCPScatterStyle::ssDiamond, QCPScatterStyle::ssDiamond, kAppliedColour));
        marks.applied_marker->setData(QVector<double>{point.x}, QVector<double>{point.applied});
    }

    // The trail in a few shades, newest strongest.
    std::array<QVector<double>, kTrailShades> xs, ys;
    if (show)
        for (const auto& p : trails_[static_cast<std::size_t>(index)].Points(now)) {
            const int shade = std::clamp(static_cast<int>(p.strength * kTrailShades), 0, kTrailShades - 1);
            xs[static_cast<std::size_t>(shade)] << p.x;
            ys[static_cast<std::size_t>(shade)] << p.y;
        }
    for (int s = 0; s < kTrailShades; ++s) {
        auto* curve = marks.trail[static_cast<std::size_t>(s)];
        const auto k = static_cast<std::size_t>(s);
        curve->setVisible(!xs[k].isEmpty());
        const double strength = weight * (s + 1) / kTrailShades * 0.7;
        const QColor ink = sync ? Faded(kAppliedColour, strength) : Faded(kUnsynchronised, strength);
        curve->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, ink, kTrailDotSize));
        curve->setData(xs[k], ys[k]);
    }
    marks.chart->RequestRedraw();
}

void LiveOverlay::DrawGrid(MapGrid* grid, const MapOperatingPoint& point, int index, double now) {
    if (!grid) return;
    MapGrid::LiveMarks marks;
    if (following_) {
        marks.nearest = point.nearest;
        marks.strong = point.in_use;
        marks.synchronised = point.synchronised;
        // The strongest visit of each point.
        std::array<double, MapPointCount> strength{};
        for (const auto& p : visits_[static_cast<std::size_t>(index)].Points(now)) {
            const int cell = static_cast<int>(std::lround(p.x));
            if (cell >= 0 && cell < MapPointCount)
                strength[static_cast<std::size_t>(cell)] = std::max(strength[static_cast<std::size_t>(cell)], p.strength);
        }
        for (int cell = 0; cell < MapPointCount; ++cell)
            if (strength[static_cast<std::size_t>(cell)] > 0)
                marks.visited.emplace_back(cell, strength[static_cast<std::size_t>(cell)]);
    }
    grid->SetLiveMarks(std::move(marks));
}

void LiveOverlay::Draw3D(bool petrol) {
    View3DWidget* view = views_[petrol ? 1 : 0];
    if (!view) return;
    if (!following_) {
        view->SetLiveMarker(std::nullopt);
        return;
    }
    // The speed map's point gives the engine speed and the fuel; the
    // throttle index picks the band, the front series being the last band.
    const auto& speed = last_->points[static_cast<std::size_t>(MapKindIndex(petrol ? MapKind::Petrol : MapKind::LPG))];
    const int band = std::clamp(last_->snapshot.ThrottleIndex() / (MapPointCount / k3DBandCount), 0, k3DBandCount - 1);
    View3DWidget::LiveMarker marker;
    marker.slot = k3DBandCount - 1 - band;
    marker.x = speed.x;
    marker.y = CurveValueAt(view->points(marker.slot), speed.x);
    marker.strong = speed.in_use;
    marker.synchronised = speed.synchronised;
    view->SetLiveMarker(marker);
}

}  // namespace tovrel::ui
