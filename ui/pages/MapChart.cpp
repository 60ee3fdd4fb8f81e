#include "MapChart.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPainter>
#include <QRubberBand>
#include <QShowEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "MapEditor.h"
#include "NumberText.h"

namespace tovrel::ui {

namespace {

// Marker sizes are diameters in pixels.
constexpr double kMarkerSize = 7;
constexpr double kSelectedMarkerSize = 10;
constexpr double kAxisRoom = 0.015;  // of the span, at each end
constexpr double kHitRadius = 6;     // pixels around a marker that count as a click on it
constexpr int kFrame = 9;            // window-coloured band around the white chart
const QColor kLineColour(kPointColour.r, kPointColour.g, kPointColour.b);
const QColor kTextColour(0x40, 0x40, 0x44);
const QColor kGridColour(0xe4, 0xe4, 0xe4);
const QColor kAxisColour(0xcc, 0xcc, 0xcc);
const QColor kSelectionColour(0xff, 0x8c, 0x00);  // orange rings
const QColor kLimitedColour(0xc0, 0x00, 0xc0);    // purple crosses
constexpr double kSelectionRingSize = 15;

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

// Ticks every `step` from 0, labelled like printf's %g.
void StyleAxis(QCPAxis* axis, const QFont& base, const QString& caption) {
    auto ticker = QSharedPointer<QCPAxisTickerFixed>::create();
    ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    ticker->setTickOrigin(0);
    axis->setTicker(ticker);
    axis->setNumberFormat("g");
    axis->setNumberPrecision(6);
    axis->setSubTicks(false);
    axis->setTickLength(0, 4);
    axis->setBasePen(QPen(kAxisColour, 1));
    axis->setTickPen(QPen(kAxisColour, 1));
    axis->setTickLabelFont(PixelFont(base, 11));
    axis->setTickLabelColor(kTextColour);
    axis->setLabel(KeepBlanks(caption));
    axis->setLabelFont(PixelFont(base, 12));
    axis->setLabelColor(kTextColour);
    axis->setLabelPadding(6);
    axis->grid()->setPen(QPen(kGridColour, 1));
    axis->grid()->setZeroLinePen(QPen(kGridColour, 1));
    axis->grid()->setSubGridVisible(false);
}

void SetTickStep(QCPAxis* axis, double step) {
    if (auto fixed = axis->ticker().dynamicCast<QCPAxisTickerFixed>()) fixed->setTickStep(step);
}

QCPCurve* MarkerCurve(QCPAxis* x, QCPAxis* y, const QColor& colour, double size) {
    auto* curve = new QCPCurve(x, y);
    curve->setLineStyle(QCPCurve::lsNone);
    curve->setPen(QPen(colour, 1.5));
    curve->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour, size));
    curve->setSelectable(QCP::stNone);
    return curve;
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

namespace {
QLocale TickLocale(char separator) {
    // Tick labels as printf's %g writes them, with the separator the grids
    // show; no group separators.
    QLocale locale = separator == ',' ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}
}  // namespace

void MapChart::FollowDecimalSeparator() {
    const char separator = DecimalSeparator();
    if (separator == separator_) return;
    separator_ = separator;
    setLocale(TickLocale(separator));
}

MapChart::MapChart(const Setup& setup, QWidget* parent)
    : QCustomPlot(parent), series_name_(setup.series.toStdString()), y_minimum_(setup.y_minimum),
      y_maximum_(setup.y_maximum) {
    setObjectName(setup.name);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    FollowDecimalSeparator();
    setBackground(Qt::white);
    setAntialiasedElements(QCP::aePlottables | QCP::aeScatters | QCP::aeItems);
    connect(this, &QCustomPlot::beforeReplot, this, [this] {
        FollowDecimalSeparator();
        UpdateMarks();
        UpdateSelectionMarks();
    });
    connect(this, &QCustomPlot::afterReplot, this, [this] { ++replots_; });

    plotLayout()->setMargins(QMargins(kFrame + 4, kFrame + 2, kFrame + 4, kFrame + 4));
    // Room for half a tick label beyond the plot's top and right ends.
    axisRect()->setMinimumMargins(QMargins(0, 8, 12, 0));
    plotLayout()->insertRow(0);
    title_ = new QCPTextElement(this, setup.title, PixelFont(font(), 14, true));
    title_->setTextColor(kTextColour);
    title_->setMargins(QMargins(0, 2, 0, 4));
    plotLayout()->addElement(0, 0, title_);

    StyleAxis(xAxis, font(), setup.x_caption);
    StyleAxis(yAxis, font(), setup.y_caption);
    // The same room for the first and last points as on the vertical axis.
    xAxis->setRange(-setup.x_maximum * kAxisRoom, setup.x_maximum * (1 + kAxisRoom));
    SetTickStep(xAxis, NiceTickInterval(setup.x_maximum, 16));
    connect(yAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] { SetVerticalTicks(); });

    // Beneath the own line.
    compare_name_ = setup.compare_series.toStdString();
    if (!compare_name_.empty()) BuildCompareGraphs();
    line_ = new QCPCurve(xAxis, yAxis);
    QPen pen(kLineColour);
    pen.setWidthF(1.5);
    line_->setPen(pen);
    line_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, kLineColour, kMarkerSize));
    line_->setSelectable(QCP::stNone);
    SetVerticalRange(y_minimum_, y_maximum_);
    SetVerticalTicks();

    // The selection rings and the limit crosses, over the line and its marks.
    selection_curve_ = new QCPCurve(xAxis, yAxis);
    selection_curve_->setLineStyle(QCPCurve::lsNone);
    selection_curve_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(kSelectionColour, 2),
                                                      Qt::NoBrush, kSelectionRingSize));
    selection_curve_->setSelectable(QCP::stNone);
    limited_curve_ = new QCPCurve(xAxis, yAxis);
    limited_curve_->setLineStyle(QCPCurve::lsNone);
    limited_curve_->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssCross, QPen(kLimitedColour, 2), Qt::NoBrush, kSelectionRingSize));
    limited_curve_->setSelectable(QCP::stNone);
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
}

void MapChart::SetSelection(const std::vector<int>& points) {
    if (points == selection_) return;
    selection_ = points;
    RequestReplot();
}

void MapChart::SetLimited(const std::vector<int>& points) {
    if (points == limited_) return;
    limited_ = points;
    RequestReplot();
}

void MapChart::UpdateSelectionMarks() {
    const auto data = line_->data();
    const auto fill = [&data](QCPCurve* curve, const std::vector<int>& points) {
        QVector<double> keys, values;
        for (int i : points) {
            if (i < 0 || i >= data->size()) continue;
            const auto& p = *(data->constBegin() + i);
            keys << p.key;
            values << p.value;
        }
        curve->setData(keys, values);
    };
    fill(selection_curve_, selection_);
    fill(limited_curve_, limited_);
}

void MapChart::SetVerticalRange(double minimum, double maximum) {
    if (!(maximum > minimum)) return;
    // A little room beyond both bounds, so the markers of points that sit on
    // a bound (a throttle map at 100 %) are not cut in half by the plot's
    // edge; the ticks and labels still end at the bounds.
    const double room = (maximum - minimum) * kAxisRoom;
    yAxis->setRange(minimum - room, maximum + room);
    RequestReplot();
}

void MapChart::SetVerticalTicks() {
    SetTickStep(yAxis, NiceTickInterval(yAxis->range().size() / (1 + 2 * kAxisRoom), 10));
}

void MapChart::RequestReplot() {
    if (!isVisible()) {
        replot_while_hidden_ = true;
        return;
    }
    replot(QCustomPlot::rpQueuedReplot);
}

void MapChart::showEvent(QShowEvent* event) {
    QCustomPlot::showEvent(event);
    if (replot_while_hidden_) {
        replot_while_hidden_ = false;
        replot(QCustomPlot::rpQueuedRefresh);
    }
}

void MapChart::paintEvent(QPaintEvent* event) {
    QCustomPlot::paintEvent(event);
    // The white chart stands in a band of the window's colour, as the other
    // pages' panels do; the layout's margins keep everything drawn off it.
    QPainter painter(this);
    const QColor band = palette().color(QPalette::Window);
    const QRect r = rect();
    painter.fillRect(QRect(r.left(), r.top(), r.width(), kFrame), band);
    painter.fillRect(QRect(r.left(), r.bottom() - kFrame + 1, r.width(), kFrame), band);
    painter.fillRect(QRect(r.left(), r.top(), kFrame, r.height()), band);
    painter.fillRect(QRect(r.right() - kFrame + 1, r.top(), kFrame, r.height()), band);
}

void MapChart::BuildCompareGraphs() {
    compare_base_ = new QCPGraph(xAxis, yAxis);
    compare_base_->setPen(Qt::NoPen);
    compare_base_->setSelectable(QCP::stNone);
    compare_ = new QCPGraph(xAxis, yAxis);
    QPen dashed(QColor(200, 90, 0));
    dashed.setWidthF(1.5);
    dashed.setStyle(Qt::DashLine);
    compare_->setPen(dashed);
    compare_->setBrush(QColor(255, 140, 0, 70));
    compare_->setChannelFillGraph(compare_base_);
    compare_->setSelectable(QCP::stNone);
}

void MapChart::SyncCompareBase() {
    if (!compare_ || compare_->dataCount() == 0) return;
    QVector<double> x, y;
    for (auto it = line_->data()->constBegin(); it != line_->data()->constEnd(); ++it) {
        x.append(it->key);
        y.append(it->value);
    }
    compare_base_->setData(x, y);
}

void MapChart::ApplyCompareSeries(const std::vector<ChartPoint>& points) {
    QVector<double> x, y;
    for (const auto& p : points) {
        x.append(p.x);
        y.append(p.y);
    }
    compare_->setData(x, y);
    if (points.empty())
        compare_base_->data()->clear();
    else
        SyncCompareBase();
    RequestReplot();
    if (on_compare) on_compare(std::vector<double>(y.begin(), y.end()));
}

int MapChart::ComparePointCount() const { return compare_ ? compare_->dataCount() : 0; }

double MapChart::ComparePointY(int index) const {
    if (index < 0 || index >= ComparePointCount()) return 0;
    return (compare_->data()->constBegin() + index)->value;
}

void MapChart::ApplySeries(const std::string& series, const std::vector<ChartPoint>& points) {
    if (compare_ && series == compare_name_) {
        ApplyCompareSeries(points);
        return;
    }
    if (!IsOwnSeries(series)) return;
    QVector<double> t, x, y;
    t.reserve(static_cast<qsizetype>(points.size()));
    x.reserve(t.capacity());
    y.reserve(t.capacity());
    for (const auto& p : points) {
        // Drawn in the order given, whatever the x values.
        t.append(static_cast<double>(t.size()));
        x.append(p.x);
        y.append(p.y);
    }
    line_->setData(t, x, y, true);
    SyncCompareBase();
    // A new series starts in the line's colour throughout.
    colours_.assign(points.size(), QColor());
    marks_stale_ = true;
    RequestReplot();
}

void MapChart::ApplyPointY(const std::string& series, int index, double y) {
    if (!IsOwnSeries(series) || index < 0 || index >= line_->dataCount()) return;
    (line_->data()->begin() + index)->value = y;
    SyncCompareBase();
    if (colours_[static_cast<std::size_t>(index)].isValid()) marks_stale_ = true;
    RequestReplot();
}

void MapChart::ApplyPointColour(const std::string& series, int index, std::optional<Rgb> colour) {
    if (!IsOwnSeries(series) || index < 0 || index >= line_->dataCount()) return;
    QColor c = colour ? QColor(colour->r, colour->g, colour->b) : QColor();
    if (c == kLineColour) c = QColor();
    auto& held = colours_[static_cast<std::size_t>(index)];
    if (held == c) return;
    held = c;
    marks_stale_ = true;
    RequestReplot();
}

void MapChart::UpdateMarks() {
    if (!marks_stale_) return;
    marks_stale_ = false;
    std::vector<QColor> in_use;
    for (const auto& c : colours_)
        if (c.isValid() && std::find(in_use.begin(), in_use.end(), c) == in_use.end()) in_use.push_back(c);
    while (marks_.size() < in_use.size()) marks_.push_back(MarkerCurve(xAxis, yAxis, Qt::red, kSelectedMarkerSize));
    const auto data = line_->data();
    for (std::size_t m = 0; m < marks_.size(); ++m) {
        QVector<double> t, x, y;
        if (m < in_use.size()) {
            for (std::size_t i = 0; i < colours_.size(); ++i) {
                if (colours_[i] != in_use[m]) continue;
                const auto& p = *(data->constBegin() + static_cast<qsizetype>(i));
                t.append(p.t);
                x.append(p.key);
                y.append(p.value);
            }
            marks_[m]->setPen(QPen(in_use[m], 1.5));
            marks_[m]->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, in_use[m], kSelectedMarkerSize));
        }
        marks_[m]->setData(t, x, y, true);
    }
}

bool MapChart::ApplyProperty(Property property, const PropertyValue& value) {
    switch (property) {
        case Property::Text:
            if (auto* s = std::get_if<std::string>(&value)) {
                title_->setText(QString::fromStdString(*s));
                RequestReplot();
            }
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

void MapChart::Retranslate(const TextMapper& mapper) {
    // The caption as the catalogue has it: KeepBlanks made its doubled
    // blanks no-break ones.
    for (QCPAxis* axis : {xAxis, yAxis}) {
        QString caption = axis->label();
        caption.replace(QChar(0x00A0), u' ');
        axis->setLabel(KeepBlanks(mapper.Map(caption)));
    }
    RequestReplot();
}

QString MapChart::Title() const { return title_->text(); }

int MapChart::PointCount() const { return line_->dataCount(); }

double MapChart::PointY(int index) const {
    if (index < 0 || index >= line_->dataCount()) return 0;
    return (line_->data()->constBegin() + index)->value;
}

MapChart::Range MapChart::HorizontalRange() const { return {xAxis->range().lower, xAxis->range().upper}; }

MapChart::Range MapChart::VerticalRange() const { return {yAxis->range().lower, yAxis->range().upper}; }

QRect MapChart::PlotArea() const { return axisRect()->rect(); }

QPointF MapChart::PointPosition(int index) const {
    if (index < 0 || index >= line_->dataCount()) return {};
    const auto& p = *(line_->data()->constBegin() + index);
    return {xAxis->coordToPixel(p.key), yAxis->coordToPixel(p.value)};
}

int MapChart::PointAt(QPointF pos) const {
    int best = -1;
    double best_distance = kHitRadius;
    for (int i = 0; i < line_->dataCount(); ++i) {
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
    if (index < 0 || index >= static_cast<int>(colours_.size())) return kLineColour;
    const QColor& c = colours_[static_cast<std::size_t>(index)];
    return c.isValid() ? c : kLineColour;
}

void MapChart::enterEvent(QEnterEvent* event) {
    // The arrow keys act on the chart under the pointer: it takes the focus,
    // unless the user is typing into a text field (a click still gives it).
    QWidget* typing = QApplication::focusWidget();
    if (!typing || !(qobject_cast<QLineEdit*>(typing) || qobject_cast<QAbstractSpinBox*>(typing) ||
                     qobject_cast<QPlainTextEdit*>(typing)))
        setFocus(Qt::MouseFocusReason);
    if (on_pointer) on_pointer(true);
    QCustomPlot::enterEvent(event);
}

void MapChart::leaveEvent(QEvent* event) {
    if (on_pointer) on_pointer(false);
    pan_from_.reset();
    QCustomPlot::leaveEvent(event);
}

void MapChart::keyPressEvent(QKeyEvent* event) {
    const int key = KeyCode(event->key());
    if (key == 0) {
        if (on_edit_key && on_edit_key(event)) {
            event->accept();
            return;
        }
        QCustomPlot::keyPressEvent(event);
        return;
    }
    if (on_key) on_key(key);
    event->accept();
}

void MapChart::mousePressEvent(QMouseEvent* event) {
    const int hit = PointAt(event->position());
    if (hit >= 0 && on_point_click) on_point_click(hit);
    if (event->button() == Qt::RightButton) {
        pan_from_ = event->position();
        panned_ = false;
    }
    if (event->button() == Qt::LeftButton) {
        const bool extend = event->modifiers() & Qt::ShiftModifier;
        if (hit >= 0) {
            if (on_select_point) on_select_point(hit, extend);
        } else {
            band_from_ = event->position().toPoint();
            band_->setGeometry(QRect(*band_from_, QSize()));
            band_->show();
        }
    }
    event->accept();
}

// The second press of a double click selects nothing: the first one did.
void MapChart::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void MapChart::mouseMoveEvent(QMouseEvent* event) {
    if (pan_from_ && (event->buttons() & Qt::RightButton)) {
        const double height = axisRect()->height();
        if (height > 0) {
            const QCPRange range = yAxis->range();
            const double shift = (event->position().y() - pan_from_->y()) * range.size() / height;
            yAxis->setRange(range.lower + shift, range.upper + shift);
            RequestReplot();
        }
        if ((event->position() - *pan_from_).manhattanLength() > 0) panned_ = true;
        pan_from_ = event->position();
    }
    if (band_from_ && (event->buttons() & Qt::LeftButton))
        band_->setGeometry(QRect(*band_from_, event->position().toPoint()).normalized());
    event->accept();
}

void MapChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        const bool clicked = pan_from_ && !panned_;
        pan_from_.reset();
        if (clicked && on_context_menu) on_context_menu(event->globalPosition().toPoint());
    }
    if (event->button() == Qt::LeftButton && band_from_) {
        const QRect rect = QRect(*band_from_, event->position().toPoint()).normalized();
        band_from_.reset();
        band_->hide();
        // A click beside the curve is a band of nothing: it clears the selection.
        std::vector<int> points;
        for (int i = 0; i < PointCount(); ++i)
            if (rect.adjusted(-2, -2, 2, 2).contains(PointPosition(i).toPoint())) points.push_back(i);
        if (on_band) on_band(points, event->modifiers() & Qt::ShiftModifier);
    }
    event->accept();
}

void MapChart::wheelEvent(QWheelEvent* event) {
    if (!(event->buttons() & Qt::RightButton) || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    const QCPRange range = yAxis->range();
    const double centre = std::clamp(yAxis->pixelToCoord(event->position().y()), range.lower, range.upper);
    const double factor = event->angleDelta().y() > 0 ? 0.8 : 1.25;  // wheel away from the user zooms in
    yAxis->setRange(centre - (centre - range.lower) * factor, centre + (range.upper - centre) * factor);
    RequestReplot();
    event->accept();
}

void MapChart::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

}  // namespace tovrel::ui
