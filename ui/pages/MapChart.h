#pragma once
// The chart of one timing map: a blue line with a marker at every point, the
// selected point drawn red through the point's own configuration, fixed axis
// ranges the logic sets, vertical pan (drag) and zoom (wheel) with the right
// mouse button held. The widget only draws and reports: clicks on a point,
// arrow keys and the pointer entering or leaving go to the callbacks, which
// forward them to the logic.
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <functional>
#include <optional>

#include "UiContext.h"

namespace tovrel::ui {

class MapChart : public QChartView, public SeriesSink, public ScreenControl {
    Q_OBJECT
public:
    struct Setup {
        QString name;    // component name of the chart (objectName)
        QString series;  // component name of its line series
        QString title;
        QString x_caption, y_caption;
        double x_maximum = 0;
        double y_minimum = 0, y_maximum = 0;
    };
    MapChart(const Setup& setup, QWidget* parent = nullptr);

    std::function<void(int key)> on_key;           // key codes 37..40
    std::function<void(int index)> on_point_click;  // any mouse button
    std::function<void(bool over)> on_pointer;      // entered (true) or left

    // SeriesSink
    void ApplySeries(const std::string& series, const std::vector<ChartPoint>& points) override;
    void ApplyPointY(const std::string& series, int index, double y) override;
    void ApplyPointColour(const std::string& series, int index, std::optional<Rgb> colour) override;
    // ScreenControl: Text is the title, Minimum and Maximum the vertical axis.
    bool ApplyProperty(Property property, const PropertyValue& value) override;

    QLineSeries* series() const { return series_; }
    QValueAxis* axisX() const { return axis_x_; }
    QValueAxis* axisY() const { return axis_y_; }
    // The vertical range the logic set (the axis shows it with a little room).
    double verticalMinimum() const { return y_minimum_; }
    double verticalMaximum() const { return y_maximum_; }
    // The point drawn within a few pixels of `pos` (widget coordinates),
    // the nearest one when several are; -1 when none is.
    int PointAt(QPointF pos) const;
    // Where point `index` is drawn, in widget coordinates.
    QPointF PointPosition(int index) const;
    // The colour point `index` is drawn in.
    QColor PointColour(int index) const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void SetVerticalRange(double minimum, double maximum);
    bool IsOwnSeries(const std::string& series) const { return series == series_name_; }

    std::string series_name_;
    QLineSeries* series_ = nullptr;
    QValueAxis* axis_x_ = nullptr;
    QValueAxis* axis_y_ = nullptr;
    // The range the logic set; panning and zooming move away from it until
    // the logic sets a bound again.
    double y_minimum_ = 0, y_maximum_ = 0;
    std::optional<QPointF> pan_from_;
};

// Tick spacing that gives about `wanted` ticks over `span`: 1, 2 or 5 times
// a power of ten.
double NiceTickInterval(double span, int wanted);
// Qt's rich-text titles fold runs of blanks; non-breaking ones keep a
// caption's spacing as written.
QString KeepBlanks(const QString& caption);

}  // namespace tovrel::ui
