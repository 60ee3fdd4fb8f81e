#pragma once
// A Canvas that draws into an RGB image in memory and saves it as PNG: the
// oscillogram picture of the command line, and what the tests look at.
#include <cstdint>
#include <string>
#include <vector>

#include "Canvas.h"

namespace tovrel {

class ImageCanvas final : public Canvas {
public:
    // A new image is white.
    ImageCanvas(int width, int height);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int width) override;
    void SetPenColour(Rgb colour) override { pen_ = colour; }
    void SetPenWidth(int width) override { pen_width_ = width < 1 ? 1 : width; }
    void SetBrushColour(Rgb colour) override { brush_ = colour; }
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override { pos_ = {x, y}; }
    void LineTo(int x, int y) override;
    Point PenPosition() const override { return pos_; }

    Rgb Pixel(int x, int y) const;
    // Rows of width * 3 bytes, top row first.
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }

    // The image as PNG bytes; empty when the encoder failed.
    std::string EncodePng() const;
    // Writes the PNG whole or not at all; false with the reason in `error`.
    bool SavePng(const std::string& path, std::string* error = nullptr) const;

private:
    void Plot(int x, int y, Rgb colour);
    void Stamp(int x, int y);  // one point of the pen, as wide as the pen
    void Segment(Point from, Point to, bool lastPoint);

    int width_, height_;
    std::vector<std::uint8_t> pixels_;
    Rgb pen_{0, 0, 0};
    int pen_width_ = 1;
    Rgb brush_{255, 255, 255};
    Point pos_{};
};

}  // namespace tovrel
