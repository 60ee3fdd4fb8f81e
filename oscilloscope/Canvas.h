#pragma once
// A drawing surface without a window toolkit: what the oscillogram plot needs
// of a picture control's canvas. The desktop layer implements it on its
// painter; ImageCanvas draws into an image in memory.
#include "Screen.h"

namespace tovrel {

struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Widens (or narrows) the picture; the height stays. Content that was
    // drawn need not survive.
    virtual void SetWidth(int width) = 0;

    virtual void SetPenColour(Rgb colour) = 0;
    virtual void SetPenWidth(int width) = 0;
    virtual void SetBrushColour(Rgb colour) = 0;

    // Fills the rectangle from (x1, y1) up to, not including, (x2, y2) with
    // the brush and outlines it with the pen.
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void MoveTo(int x, int y) = 0;
    // A line from the pen position to (x, y) with the pen, which then rests
    // at (x, y).
    virtual void LineTo(int x, int y) = 0;
    virtual Point PenPosition() const = 0;
};

}  // namespace tovrel
