#include "View3DWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "MapChart.h"
#include "NumberText.h"

namespace tovrel::ui {

namespace {

// Perspective: a plane `depth` slots behind the front one is drawn scaled by
// 1 / (1 + kShrink * depth) toward the vanishing point.
constexpr double kShrink = 0.007;
constexpr double kRibbonFront = 0.15, kRibbonBack = 0.85;  // of a slot's depth
constexpr int kTitleHeight = 30, kLeftMargin = 78, kBottomMargin = 50, kRightMargin = 40;

QFont PixelFont(const QFont& base, int pixels, bool bold = false) {
    QFont f = base;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The smallest convex polygon around `points` (monotone chain).
QPolygonF ConvexHull(std::vector<QPointF> points) {
    std::sort(points.begin(), points.end(),
              [](const QPointF& a, const QPointF& b) { return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y()); });
    auto cross = [](const QPointF& o, const QPointF& a, const QPointF& b) {
        return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
    };
    std::vector<QPointF> hull(2 * points.size());
    std::size_t k = 0;
    for (const auto& p : points) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p) <= 0) --k;
        hull[k++] = p;
    }
    for (std::size_t i = points.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
        hull[k++] = points[i];
    }
    hull.resize(k > 0 ? k - 1 : 0);
    return QPolygonF(QList<QPointF>(hull.begin(), hull.end()));
}

}  // namespace

View3DWidget::View3DWidget(const Setup& setup, QWidget* parent)
    : QWidget(parent), depth_labels_(setup.depth_labels), title_(setup.title), x_caption_(setup.x_caption),
      y_caption_(setup.y_caption), x_maximum_(setup.x_maximum), y_minimum_(setup.y_minimum),
      y_maximum_(setup.y_maximum), view_minimum_(setup.y_minimum), view_maximum_(setup.y_maximum) {
    setObjectName(setup.name);
    for (const auto& s : setup.series) slots_.push_back({s, {}});
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

View3DWidget::Slot* View3DWidget::Find(const std::string& series) {
    for (auto& s : slots_)
        if (s.name == series) return &s;
    return nullptr;
}

void View3DWidget::ApplySeries(const std::string& series, const std::vector<ChartPoint>& points) {
    if (auto* s = Find(series)) {
        s->points = points;
        update();
    }
}

void View3DWidget::ApplyPointY(const std::string& series, int index, double y) {
    auto* s = Find(series);
    if (!s || index < 0 || static_cast<std::size_t>(index) >= s->points.size()) return;
    s->points[static_cast<std::size_t>(index)].y = y;
    update();
}

void View3DWidget::ApplyPointColour(const std::string&, int, std::optional<Rgb>) {
    // The curves carry one colour each; nothing selects a point here.
}

void View3DWidget::Retranslate(const TextMapper& mapper) {
    x_caption_ = mapper.Map(x_caption_);
    y_caption_ = mapper.Map(y_caption_);
    update();
}

bool View3DWidget::ApplyProperty(Property property, const PropertyValue& value) {
    switch (property) {
        case Property::Text:
            if (auto* s = std::get_if<std::string>(&value)) title_ = QString::fromStdString(*s);
            break;
        case Property::Minimum:
            if (auto* v = std::get_if<int>(&value)) y_minimum_ = *v;
            break;
        case Property::Maximum:
            if (auto* v = std::get_if<int>(&value)) y_maximum_ = *v;
            break;
        default:
            return false;
    }
    if (y_maximum_ > y_minimum_) {
        view_minimum_ = y_minimum_;
        view_maximum_ = y_maximum_;
    }
    update();
    return true;
}

QColor View3DWidget::seriesColour(int slot) const {
    const int n = static_cast<int>(slots_.size());
    const int hue = n > 1 ? slot * 240 / (n - 1) : 0;  // front red .. back blue
    return QColor::fromHsv(hue, 230, 210);
}

View3DWidget::Frame View3DWidget::Geometry() const {
    const QRectF area(kLeftMargin, kTitleHeight, std::max(10, width() - kLeftMargin - kRightMargin),
                      std::max(10, height() - kTitleHeight - kBottomMargin));
    // The back planes recede up and to the right toward a far vanishing
    // point; the front plane takes the lower left of the area, the depth the
    // rest (the back plane ends about 0.1 widths right and 0.12 heights above).
    const double fw = area.width() * 0.90, fh = area.height() * 0.88;
    const QRectF front(area.left(), area.bottom() - fh, fw, fh);
    const QPointF vanish(front.left() + 2.5 * fw, front.bottom() - 3.0 * fh);
    return {front, vanish};
}

QPointF View3DWidget::ProjectDepth(const Frame& f, double depth, double x, double y) const {
    const double span = view_maximum_ - view_minimum_;
    const double fx = f.front.left() + (x_maximum_ > 0 ? x / x_maximum_ : 0) * f.front.width();
    const double fy = f.front.bottom() - (span > 0 ? (y - view_minimum_) / span : 0) * f.front.height();
    const double s = 1.0 / (1.0 + kShrink * depth);
    return f.vanish + (QPointF(fx, fy) - f.vanish) * s;
}

QPointF View3DWidget::Project(int slot, double x, double y) const {
    return ProjectDepth(Geometry(), slot + kRibbonFront, x, y);
}

void View3DWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const Frame f = Geometry();
    const double depth = static_cast<double>(slots_.size());
    const double lo = view_minimum_, hi = view_maximum_;
    auto at = [&](double d, double x, double y) { return ProjectDepth(f, d, x, y); };

    // Title.
    p.setFont(PixelFont(font(), 14, true));
    p.setPen(Qt::black);
    p.drawText(QRectF(0, 4, width(), kTitleHeight - 6), Qt::AlignCenter, title_);

    // Walls: floor, left wall, back wall.
    const QColor wall(236, 240, 246), wall_edge(150, 150, 160), grid(205, 210, 220);
    p.setPen(QPen(wall_edge, 1));
    p.setBrush(QColor(244, 246, 250));
    p.drawPolygon(QPolygonF({at(0, 0, lo), at(0, x_maximum_, lo), at(depth, x_maximum_, lo), at(depth, 0, lo)}));
    p.drawPolygon(QPolygonF({at(0, 0, lo), at(depth, 0, lo), at(depth, 0, hi), at(0, 0, hi)}));
    p.setBrush(wall);
    p.drawPolygon(
        QPolygonF({at(depth, 0, lo), at(depth, x_maximum_, lo), at(depth, x_maximum_, hi), at(depth, 0, hi)}));

    // Grid: value lines on the left and back walls, speed lines on the floor.
    const double y_step = NiceTickInterval(hi - lo, 10);
    const double x_step = NiceTickInterval(x_maximum_, 8);
    p.setFont(PixelFont(font(), 11));
    const QFontMetricsF fm(p.font());
    for (double v = std::ceil(lo / y_step) * y_step; v <= hi + y_step * 1e-6; v += y_step) {
        p.setPen(QPen(grid, 1));
        p.drawLine(at(0, 0, v), at(depth, 0, v));
        p.drawLine(at(depth, 0, v), at(depth, x_maximum_, v));
        p.setPen(Qt::black);
        const QPointF q = at(0, 0, v);
        const QString label = QString::number(std::abs(v) < y_step * 1e-6 ? 0.0 : v, 'g', 6)
                                  .replace(QLatin1Char('.'), QLatin1Char(DecimalSeparator()));
        p.drawText(QRectF(q.x() - 44, q.y() - 8, 38, 16), Qt::AlignRight | Qt::AlignVCenter, label);
    }
    for (double x = 0; x <= x_maximum_ + 1e-9; x += x_step) {
        p.setPen(QPen(grid, 1));
        p.drawLine(at(0, x, lo), at(depth, x, lo));
        p.drawLine(at(depth, x, lo), at(depth, x, hi));
        p.setPen(Qt::black);
        const QPointF q = at(0, x, lo);
        p.drawText(QRectF(q.x() - 30, q.y() + 3, 60, 16), Qt::AlignHCenter | Qt::AlignTop,
                   QString::number(x, 'g', 6).replace(QLatin1Char('.'), QLatin1Char(DecimalSeparator())));
    }

    // Captions.
    p.setFont(PixelFont(font(), 12));
    const QPointF bottom_mid = at(0, x_maximum_ / 2, lo);
    p.drawText(QRectF(bottom_mid.x() - 300, bottom_mid.y() + 20, 600, 18), Qt::AlignCenter, x_caption_);
    p.save();
    const QPointF left_mid = at(0, 0, (lo + hi) / 2);
    p.translate(left_mid.x() - 58, left_mid.y());
    p.rotate(-90);
    p.drawText(QRectF(-200, -10, 400, 20), Qt::AlignCenter, y_caption_);
    p.restore();

    // Ribbons from the back to the front, each clipped to its own slab.
    for (int slot = static_cast<int>(slots_.size()) - 1; slot >= 0; --slot) {
        const auto& pts = slots_[static_cast<std::size_t>(slot)].points;
        const double d0 = slot + kRibbonFront, d1 = slot + kRibbonBack;
        QPainterPath clip;
        clip.addPolygon(ConvexHull({at(d0, 0, lo), at(d0, x_maximum_, lo), at(d0, x_maximum_, hi), at(d0, 0, hi),
                                    at(d1, 0, lo), at(d1, x_maximum_, lo), at(d1, x_maximum_, hi), at(d1, 0, hi)}));
        p.save();
        p.setClipPath(clip);
        const QColor colour = seriesColour(slot);
        const QColor face = colour.lighter(150);
        p.setPen(QPen(face, 1));  // covers the seams between the quads
        p.setBrush(face);
        for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
            const auto& a = pts[i];
            const auto& b = pts[i + 1];
            p.drawPolygon(QPolygonF({at(d0, a.x, a.y), at(d0, b.x, b.y), at(d1, b.x, b.y), at(d1, a.x, a.y)}));
        }
        QPolygonF edge;
        for (const auto& pt : pts) edge << at(d0, pt.x, pt.y);
        QPolygonF back;
        for (const auto& pt : pts) back << at(d1, pt.x, pt.y);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(colour, 1));
        p.drawPolyline(back);
        p.setPen(QPen(colour.darker(120), 2));
        p.drawPolyline(edge);
        p.restore();
    }

    // The pedal bands along the right edge of the floor, from the front
    // band back, each where it does not run into the one drawn before it.
    double last_label_y = 1e9;
    p.setFont(PixelFont(font(), 10));
    for (std::size_t slot = 0; slot < slots_.size() && slot < depth_labels_.size(); ++slot) {
        const QPointF q = at(static_cast<double>(slot) + 0.5, x_maximum_, lo);
        if (last_label_y - q.y() < 12) continue;
        last_label_y = q.y();
        p.setPen(seriesColour(static_cast<int>(slot)).darker(150));
        p.drawText(QRectF(q.x() + 18, q.y() - 8, 50, 16), Qt::AlignLeft | Qt::AlignVCenter, depth_labels_[slot]);
    }

    // The front frame of the plot.
    p.setPen(QPen(wall_edge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(at(0, 0, lo), at(0, x_maximum_, lo));
    p.drawLine(at(0, 0, lo), at(0, 0, hi));

    // The operating point on its curve, over everything.
    if (live_ && live_->slot >= 0 && live_->slot < static_cast<int>(slots_.size())) {
        const QPointF c = ProjectDepth(f, live_->slot + kRibbonFront, live_->x, live_->y);
        QColor ink = live_->synchronised ? QColor(0xe0, 0x40, 0x00) : QColor(0x90, 0x90, 0x90);
        if (!live_->strong) ink.setAlpha(90);
        p.setPen(QPen(ink, 2));
        p.setBrush(live_->synchronised ? QBrush(ink) : QBrush(Qt::NoBrush));
        p.drawEllipse(c, 6, 6);
    }
}

void View3DWidget::SetLiveMarker(std::optional<LiveMarker> marker) {
    if (marker == live_) return;
    live_ = marker;
    update();
}

void View3DWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) pan_from_y_ = event->position().y();
    event->accept();
}

void View3DWidget::mouseMoveEvent(QMouseEvent* event) {
    if (pan_from_y_ && (event->buttons() & Qt::RightButton)) {
        const double h = Geometry().front.height();
        if (h > 0) {
            const double shift = (event->position().y() - *pan_from_y_) * (view_maximum_ - view_minimum_) / h;
            view_minimum_ += shift;
            view_maximum_ += shift;
            update();
        }
        pan_from_y_ = event->position().y();
    }
    event->accept();
}

void View3DWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) pan_from_y_.reset();
    event->accept();
}

}  // namespace tovrel::ui
