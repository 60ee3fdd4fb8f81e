#pragma once
// The oscillogram picture (Oscill_Image) and its horizontally scrolling box
// (OscillScrollBox). The logic draws on the picture through Canvas from the
// device thread; the drawing goes into an image guarded by a mutex and the
// widget repaints from it on the GUI thread, at most once per batch of
// drawing calls.
#include <QImage>
#include <QScrollArea>
#include <QWidget>
#include <atomic>
#include <mutex>

#include "Canvas.h"
#include "UiContext.h"

namespace tovrel::ui {

class OscillogramPicture : public QWidget, public Canvas {
    Q_OBJECT
public:
    OscillogramPicture(int width, int height, QWidget* parent = nullptr);

    // Canvas: any thread.
    int Width() const override;
    int Height() const override;
    void SetWidth(int width) override;
    void SetPenColour(Rgb colour) override;
    void SetPenWidth(int width) override;
    void SetBrushColour(Rgb colour) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    Point PenPosition() const override;

    // A copy of the picture as drawn so far (tests, screenshots).
    QImage Snapshot() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Asks the GUI thread to repaint, once for all the calls made until it
    // does; a new width goes with it.
    void ScheduleUpdate();

    mutable std::mutex mutex_;
    QImage image_;
    QColor pen_{Qt::black};
    int pen_width_ = 1;
    QColor brush_{Qt::white};
    Point pos_{};
    std::atomic<bool> update_pending_{false};
};

// The scroll box: horizontal scrolling only. Its Position property is the
// horizontal scroll position.
class OscillScrollBox : public QScrollArea, public ScreenControl {
    Q_OBJECT
public:
    explicit OscillScrollBox(QWidget* parent = nullptr);
    bool ApplyProperty(Property property, const PropertyValue& value) override;
};

}  // namespace tovrel::ui
