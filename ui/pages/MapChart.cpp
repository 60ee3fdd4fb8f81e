#include "MapChart.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>

#include "MapEditor.h"

namespace tovrel::ui {

namespace {

// Marker sizes are radii.
constexpr double kMarkerSize = 3.5;
constexpr double kSelectedMarkerSize = 5;
constexpr double kAxisRoom = 0.015;  // of the vertical span, at each end
constexpr double kHitRadius = 6;  // pixels around a marker that count as a click on it
const QColor kLineColour(kPointColour.r, kPointColour.g, kPointColour.b);

QFont PixelFont(const QFont& base, int pixels, bool bold = false) {
    QFont f = base;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

int KeyCode(int qt_key) {
    switch (qt_key) {
        case Qt::Key_Left: return kKeyLeft;
        case Qt::Key_Up: return kKeyUp;
        case Qt::Key_Right: return kKeyRight;
        case Qt::Key_Down: return kKeyDown;
        default: return 0;
    }
}

}  // namespace

double NiceTickInterval(double span, int wanted) {
    if (!(span > 0) || wanted < 1) return 1;
    const double raw = span / wanted;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (raw <= m * power * 1.0000001) return m * power;
    return 10 * power;
}

QString KeepBlanks(const QString& caption) {
    QString out = caption;
    for (qsizetype i = 0; i + 1 < out.size(); ++i)
        if (out[i] == u' ' && out[i + 1] == u' ') out[i] = QChar(0x00A0);
    return out;
}

MapChart::MapChart(const Setup& setup, QWidget* parent)
    : QChartView(new QChart, parent), series_name_(setup.series.toStdString()), y_minimum_(setup.y_minimum),
      y_maximum_(setup.y_maximum) {
    setObjectName(setup.name);
    setFocusPolicy(Qt::StrongFocus);
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::NoRubberBand);
    setMouseTracking(true);

    // The view owns the chart it was made with; a chart given later by
    // setChart would leave the first one to the caller.
    QChart* c = chart();
    c->legend()->hide();
    c->setTitle(setup.title);
    c->setTitleFont(PixelFont(font(), 14, true));
    c->setMargins(QMargins(4, 4, 4, 4));
    c->setBackgroundRoundness(0);

    series_ = new QLineSeries(c);
    series_->setObjectName(setup.series);
    series_->setColor(kLineColour);
    QPen pen(kLineColour);
    pen.setWidthF(1.5);
    series_->setPen(pen);
    series_->setPointsVisible(true);
    series_->setMarkerSize(kMarkerSize);
    c->addSeries(series_);

    axis_x_ = new QValueAxis(c);
    // The same room for the first and last points as on the vertical axis.
    axis_x_->setRange(-setup.x_maximum * kAxisRoom, setup.x_maximum * (1 + kAxisRoom));
    axis_x_->setTickType(QValueAxis::TicksDynamic);
    axis_x_->setTickAnchor(0);
    axis_x_->setTickInterval(NiceTickInterval(setup.x_maximum, 16));
    axis_x_->setLabelFormat("%g");
    axis_x_->setTitleText(KeepBlanks(setup.x_caption));
    axis_y_ = new QValueAxis(c);
    axis_y_->setTickType(QValueAxis::TicksDynamic);
    axis_y_->setTickAnchor(0);
    axis_y_->setLabelFormat("%g");
    axis_y_->setTitleText(KeepBlanks(setup.y_caption));
    for (auto* axis : {axis_x_, axis_y_}) {
        axis->setLabelsFont(PixelFont(font(), 11));
        axis->setTitleFont(PixelFont(font(), 12));
    }
    connect(axis_y_, &QValueAxis::rangeChanged, this,
            [this](qreal lo, qreal hi) {
                axis_y_->setTickInterval(NiceTickInterval((hi - lo) / (1 + 2 * kAxisRoom), 10));
            });
    c->addAxis(axis_x_, Qt::AlignBottom);
    c->addAxis(axis_y_, Qt::AlignLeft);
    series_->attachAxis(axis_x_);
    series_->attachAxis(axis_y_);
    SetVerticalRange(y_minimum_, y_maximum_);
}

void MapChart::SetVerticalRange(double minimum, double maximum) {
    if (!(maximum > minimum)) return;
    // A little room beyond both bounds, so the markers of points that sit on
    // a bound (a throttle map at 100 %) are not cut in half by the plot's
    // edge; the ticks and labels still end at the bounds.
    const double room = (maximum - minimum) * kAxisRoom;
    axis_y_->setRange(minimum - room, maximum + room);
}

void MapChart::ApplySeries(const std::string& series, const std::vector<ChartPoint>& points) {
    if (!IsOwnSeries(series)) return;
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(points.size()));
    for (const auto& p : points) list.append(QPointF(p.x, p.y));
    series_->clearPointsConfiguration();
    series_->replace(list);
}

void MapChart::ApplyPointY(const std::string& series, int index, double y) {
    if (!IsOwnSeries(series) || index < 0 || index >= series_->count()) return;
    series_->replace(index, series_->at(index).x(), y);
}

void MapChart::ApplyPointColour(const std::string& series, int index, std::optional<Rgb> colour) {
    if (!IsOwnSeries(series) || index < 0 || index >= series_->count()) return;
    const QColor c = colour ? QColor(colour->r, colour->g, colour->b) : kLineColour;
    if (c == kLineColour) {
        series_->clearPointConfiguration(index);
        return;
    }
    series_->setPointConfiguration(index, {{QXYSeries::PointConfiguration::Color, c},
                                           {QXYSeries::PointConfiguration::Size, kSelectedMarkerSize}});
}

bool MapChart::ApplyProperty(Property property, const PropertyValue& value) {
    switch (property) {
        case Property::Text:
            if (auto* s = std::get_if<std::string>(&value)) chart()->setTitle(QString::fromStdString(*s));
            return true;
        case Property::Minimum:
            if (auto* v = std::get_if<int>(&value)) y_minimum_ = *v;
            SetVerticalRange(y_minimum_, y_maximum_);
            return true;
        case Property::Maximum:
            if (auto* v = std::get_if<int>(&value)) y_maximum_ = *v;
            SetVerticalRange(y_minimum_, y_maximum_);
            return true;
        default:
            return false;
    }
}

QPointF MapChart::PointPosition(int index) const {
    if (index < 0 || index >= series_->count()) return {};
    const QPointF scene = chart()->mapToPosition(series_->at(index), series_);
    return mapFromScene(scene);
}

int MapChart::PointAt(QPointF pos) const {
    int best = -1;
    double best_distance = kHitRadius;
    for (int i = 0; i < series_->count(); ++i) {
        const QPointF d = PointPosition(i) - pos;
        const double distance = std::hypot(d.x(), d.y());
        if (distance <= best_distance) {
            best_distance = distance;
            best = i;
        }
    }
    return best;
}

QColor MapChart::PointColour(int index) const {
    const auto config = series_->pointConfiguration(index);
    const auto it = config.find(QXYSeries::PointConfiguration::Color);
    return it != config.end() ? it->value<QColor>() : series_->color();
}

void MapChart::enterEvent(QEnterEvent* event) {
    // The arrow keys act on the chart under the pointer: it takes the focus,
    // unless the user is typing into a text field (a click still gives it).
    QWidget* typing = QApplication::focusWidget();
    if (!typing || !(qobject_cast<QLineEdit*>(typing) || qobject_cast<QAbstractSpinBox*>(typing) ||
                     qobject_cast<QPlainTextEdit*>(typing)))
        setFocus(Qt::MouseFocusReason);
    if (on_pointer) on_pointer(true);
    QChartView::enterEvent(event);
}

void MapChart::leaveEvent(QEvent* event) {
    if (on_pointer) on_pointer(false);
    pan_from_.reset();
    QChartView::leaveEvent(event);
}

void MapChart::keyPressEvent(QKeyEvent* event) {
    const int key = KeyCode(event->key());
    if (key == 0) {
        QChartView::keyPressEvent(event);
        return;
    }
    if (on_key) on_key(key);
    event->accept();
}

void MapChart::mousePressEvent(QMouseEvent* event) {
    const int hit = PointAt(event->position());
    if (hit >= 0 && on_point_click) on_point_click(hit);
    if (event->button() == Qt::RightButton) pan_from_ = event->position();
    event->accept();
}

void MapChart::mouseMoveEvent(QMouseEvent* event) {
    if (pan_from_ && (event->buttons() & Qt::RightButton)) {
        const double height = chart()->plotArea().height();
        if (height > 0) {
            const double shift = (event->position().y() - pan_from_->y()) * (axis_y_->max() - axis_y_->min()) / height;
            axis_y_->setRange(axis_y_->min() + shift, axis_y_->max() + shift);
        }
        pan_from_ = event->position();
    }
    event->accept();
}

void MapChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) pan_from_.reset();
    event->accept();
}

void MapChart::wheelEvent(QWheelEvent* event) {
    if (!(event->buttons() & Qt::RightButton) || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    const QRectF plot = chart()->plotArea();
    const double lo = axis_y_->min(), hi = axis_y_->max();
    double at = (plot.bottom() - mapToScene(event->position().toPoint()).y()) / plot.height();
    at = std::clamp(at, 0.0, 1.0);
    const double centre = lo + at * (hi - lo);
    const double factor = event->angleDelta().y() > 0 ? 0.8 : 1.25;  // wheel away from the user zooms in
    axis_y_->setRange(centre - (centre - lo) * factor, centre + (hi - centre) * factor);
    event->accept();
}

void MapChart::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

}  // namespace tovrel::ui
