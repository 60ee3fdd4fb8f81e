#pragma once
// A perspective chart of line series, each at its own depth: the first series
// in front, the last at the back, each drawn as a ribbon over a back wall
// with the vertical axis' grid. Painted with QPainter only, so it draws the
// same on screen, offscreen and into an image. The vertical range is what the
// logic sets; the right mouse button drags it up and down.
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "Language.h"
#include "UiContext.h"

namespace tovrel::ui {

class View3DWidget : public QWidget, public SeriesSink, public ScreenControl, public Retranslatable {
    Q_OBJECT
public:
    struct Setup {
        QString name;                     // component name (objectName)
        std::vector<std::string> series;  // front to back
        std::vector<QString> depth_labels;  // one per series, drawn along the depth axis
        QString title, x_caption, y_caption;
        double x_maximum = 0;
        double y_minimum = 0, y_maximum = 0;
    };
    View3DWidget(const Setup& setup, QWidget* parent = nullptr);

    void ApplySeries(const std::string& series, const std::vector<ChartPoint>& points) override;
    void ApplyPointY(const std::string& series, int index, double y) override;
    void ApplyPointColour(const std::string& series, int index, std::optional<Rgb> colour) override;
    // Text is the title, Minimum and Maximum the vertical axis.
    bool ApplyProperty(Property property, const PropertyValue& value) override;
    // The axis captions (the title is mirrored as Text).
    void Retranslate(const TextMapper& mapper) override;
    QString xCaption() const { return x_caption_; }
    QString yCaption() const { return y_caption_; }

    QString title() const { return title_; }
    double axisMinimum() const { return view_minimum_; }
    double axisMaximum() const { return view_maximum_; }
    // The points of series `slot` (0 front) as drawn.
    const std::vector<ChartPoint>& points(int slot) const { return slots_[static_cast<std::size_t>(slot)].points; }
    QColor seriesColour(int slot) const;
    // Where the front edge of series `slot` draws the value (x, y).
    QPointF Project(int slot, double x, double y) const;

    QSize sizeHint() const override { return {900, 460}; }

    // The engine's operating point on the curve of series `slot`.
    struct LiveMarker {
        int slot = 0;
        double x = 0, y = 0;
        bool strong = true;        // the view of the fuel in use
        bool synchronised = true;  // otherwise grey and hollow
        bool operator==(const LiveMarker&) const = default;
    };
    void SetLiveMarker(std::optional<LiveMarker> marker);
    const std::optional<LiveMarker>& LiveMarkerShown() const { return live_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Slot {
        std::string name;
        std::vector<ChartPoint> points;
    };
    struct Frame {  // the front plane and the vanishing point
        QRectF front;
        QPointF vanish;
    };
    Frame Geometry() const;
    QPointF ProjectDepth(const Frame& f, double depth, double x, double y) const;
    Slot* Find(const std::string& series);

    std::vector<Slot> slots_;
    std::vector<QString> depth_labels_;
    QString title_, x_caption_, y_caption_;
    double x_maximum_;
    double y_minimum_, y_maximum_;        // as the logic set them
    double view_minimum_, view_maximum_;  // after panning
    std::optional<double> pan_from_y_;
    std::optional<LiveMarker> live_;
};

}  // namespace tovrel::ui
