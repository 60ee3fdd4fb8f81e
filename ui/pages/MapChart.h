#pragma once
// The chart of one timing map: a blue line with a marker at every point, the
// selected point drawn red, fixed axis ranges the logic sets, vertical pan
// (drag) and zoom (wheel) with the right mouse button held. The widget only
// draws and reports: clicks on a point, arrow keys and the pointer entering
// or leaving go to the callbacks, which forward them to the logic.
//
// Drawn with QCustomPlot. Every change only queues a replot: a burst of
// changes within one event-loop pass (a held arrow key, a whole-map
// transfer, both batched by the screen once per frame) is drawn once.
#include <qcustomplot.h>

#include <QColor>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "Language.h"
#include "UiContext.h"

namespace tovrel::ui {

class MapChart : public QCustomPlot, public SeriesSink, public ScreenControl, public Retranslatable {
    Q_OBJECT
public:
    struct Setup {
        QString name;    // component name of the chart (objectName)
        QString series;  // component name of its line series
        QString title;
        QString x_caption, y_caption;
        double x_maximum = 0;
        double y_minimum = 0, y_maximum = 0;
        // The series of the other side of a compare, drawn dashed with the
        // difference to the own line shaded; empty: none.
        QString compare_series;
    };
    MapChart(const Setup& setup, QWidget* parent = nullptr);

    std::function<void(int key)> on_key;           // key codes 37..40
    std::function<void(int index)> on_point_click;  // any mouse button
    std::function<void(bool over)> on_pointer;      // entered (true) or left

    // Selections. A left click on a point (Shift: extend to it) and a
    // rubber band drawn with the left button (Shift: add to it) report the
    // points; the owner of the selection draws it back with SetSelection.
    std::function<void(int index, bool extend)> on_select_point;
    std::function<void(const std::vector<int>& points, bool extend)> on_band;
    // A key other than the four arrows; true when it was taken.
    std::function<bool(QKeyEvent* event)> on_edit_key;
    // A right click that did not pan, at this global position.
    std::function<void(QPoint global)> on_context_menu;
    // The compare's other side changed: its y values by point (none when
    // the compare ended).
    std::function<void(const std::vector<double>& theirs)> on_compare;
    // Drawn over the curve: the selected points ringed, the points an
    // operation held to the map's range crossed.
    void SetSelection(const std::vector<int>& points);
    void SetLimited(const std::vector<int>& points);
    const std::vector<int>& Selection() const { return selection_; }
    const std::vector<int>& Limited() const { return limited_; }

    // SeriesSink
    void ApplySeries(const std::string& series, const std::vector<ChartPoint>& points) override;
    void ApplyPointY(const std::string& series, int index, double y) override;
    void ApplyPointColour(const std::string& series, int index, std::optional<Rgb> colour) override;
    // ScreenControl: Text is the title, Minimum and Maximum the vertical axis.
    bool ApplyProperty(Property property, const PropertyValue& value) override;
    // The axis captions (the title is mirrored as Text).
    void Retranslate(const TextMapper& mapper) override;

    // What the chart shows, for tests and benchmarks.
    struct Range {
        double minimum = 0, maximum = 0;
    };
    QString SeriesName() const { return QString::fromStdString(series_name_); }
    QString Title() const;
    int PointCount() const;
    double PointY(int index) const;  // 0 for an index out of range
    Range HorizontalRange() const;
    Range VerticalRange() const;
    // Where the curve is drawn, in widget coordinates (as of the last replot).
    QRect PlotArea() const;
    // The compare's other side: its points (none while no compare runs).
    int ComparePointCount() const;
    double ComparePointY(int index) const;
    // Replots actually done; a burst of changes costs one.
    int ReplotCount() const { return replots_; }
    // The map's own line (views drawn over the chart must not touch its data).
    const QCPCurve* Line() const { return line_; }
    // Something drawn over the chart changed: one replot on the next pass
    // (when the chart is shown).
    void RequestRedraw() { RequestReplot(); }

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
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SetVerticalRange(double minimum, double maximum);
    void SetVerticalTicks();
    bool IsOwnSeries(const std::string& series) const { return series == series_name_; }
    // Queues one replot for the next event-loop pass; a hidden chart is
    // drawn when it is shown.
    void RequestReplot();
    // Puts the points with a colour of their own into the overlay curves.
    void UpdateMarks();
    // The tick labels' locale follows DecimalSeparator().
    void FollowDecimalSeparator();
    char separator_ = 0;

    // The compare: the other side's graph, dashed, and an invisible copy of
    // the own line that the other side's fill reaches to.
    void BuildCompareGraphs();
    void ApplyCompareSeries(const std::vector<ChartPoint>& points);
    void SyncCompareBase();
    std::string compare_name_;
    QCPGraph* compare_ = nullptr;
    QCPGraph* compare_base_ = nullptr;

    std::string series_name_;
    QCPCurve* line_ = nullptr;
    // One curve of markers per colour in use, drawn over the line.
    std::vector<QCPCurve*> marks_;
    // Per point; invalid: the line's colour.
    std::vector<QColor> colours_;
    bool marks_stale_ = false;
    bool replot_while_hidden_ = false;
    QCPTextElement* title_ = nullptr;
    // The range the logic set; panning and zooming move away from it until
    // the logic sets a bound again.
    double y_minimum_ = 0, y_maximum_ = 0;
    std::optional<QPointF> pan_from_;
    bool panned_ = false;
    void UpdateSelectionMarks();
    std::vector<int> selection_, limited_;
    QCPCurve* selection_curve_ = nullptr;
    QCPCurve* limited_curve_ = nullptr;
    std::optional<QPoint> band_from_;
    class QRubberBand* band_ = nullptr;
    int replots_ = 0;
};

// Tick spacing that gives about `wanted` ticks over `span`: 1, 2 or 5 times
// a power of ten.
double NiceTickInterval(double span, int wanted);
// Runs of blanks in a caption become non-breaking, so the caption keeps its
// spacing as written wherever it is laid out as rich text.
QString KeepBlanks(const QString& caption);

}  // namespace tovrel::ui
