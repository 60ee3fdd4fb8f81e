#pragma once
// The canvas the Program is made with, before the window that holds the real
// picture exists: it draws into a small image of its own until the
// oscilloscope page hands over its picture's canvas.
#include <atomic>

#include "Canvas.h"
#include "ImageCanvas.h"

namespace tovrel::ui {

class ForwardingCanvas final : public Canvas {
public:
    // GUI thread, before the device thread draws.
    void SetTarget(Canvas* target) { target_.store(target); }

    int Width() const override { return Target().Width(); }
    int Height() const override { return Target().Height(); }
    void SetWidth(int width) override { Target().SetWidth(width); }
    void SetPenColour(Rgb colour) override { Target().SetPenColour(colour); }
    void SetPenWidth(int width) override { Target().SetPenWidth(width); }
    void SetBrushColour(Rgb colour) override { Target().SetBrushColour(colour); }
    void Rectangle(int x1, int y1, int x2, int y2) override { Target().Rectangle(x1, y1, x2, y2); }
    void MoveTo(int x, int y) override { Target().MoveTo(x, y); }
    void LineTo(int x, int y) override { Target().LineTo(x, y); }
    Point PenPosition() const override { return Target().PenPosition(); }

private:
    Canvas& Target() const {
        Canvas* t = target_.load();
        return t ? *t : fallback_;
    }
    std::atomic<Canvas*> target_{nullptr};
    mutable ImageCanvas fallback_{200, 100};
};

}  // namespace tovrel::ui
