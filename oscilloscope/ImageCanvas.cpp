#include "ImageCanvas.h"

#include <algorithm>
#include <cstdlib>

namespace tovrel {

ImageCanvas::ImageCanvas(int width, int height)
    : width_(std::max(width, 1)), height_(std::max(height, 1)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3, 255) {}

void ImageCanvas::SetWidth(int width) {
    width = std::max(width, 1);
    if (width == width_) return;
    std::vector<std::uint8_t> wider(static_cast<std::size_t>(width) * static_cast<std::size_t>(height_) * 3, 255);
    const auto keep = static_cast<std::size_t>(std::min(width, width_)) * 3;
    for (int y = 0; y < height_; ++y) {
        std::copy_n(pixels_.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * width_ * 3),
                    keep, wider.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * width * 3));
    }
    pixels_ = std::move(wider);
    width_ = width;
}

void ImageCanvas::Plot(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    auto* p = &pixels_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 3];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

Rgb ImageCanvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    const auto* p = &pixels_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 3];
    return {p[0], p[1], p[2]};
}

void ImageCanvas::Stamp(int x, int y) {
    if (pen_width_ == 1) {
        Plot(x, y, pen_);
        return;
    }
    const int lo = -(pen_width_ / 2);
    for (int dy = lo; dy < lo + pen_width_; ++dy)
        for (int dx = lo; dx < lo + pen_width_; ++dx) Plot(x + dx, y + dy, pen_);
}

// Bresenham. A thin pen leaves out the end point, as window toolkits do; a
// wide pen covers it.
void ImageCanvas::Segment(Point from, Point to, bool lastPoint) {
    long x = from.x, y = from.y;
    const long dx = std::labs(static_cast<long>(to.x) - from.x), sx = from.x < to.x ? 1 : -1;
    const long dy = -std::labs(static_cast<long>(to.y) - from.y), sy = from.y < to.y ? 1 : -1;
    long err = dx + dy;
    for (;;) {
        const bool end = x == to.x && y == to.y;
        if (end && !lastPoint) break;
        // Points far outside the image cannot touch it.
        if (x > -pen_width_ && x < width_ + pen_width_ && y > -pen_width_ && y < height_ + pen_width_)
            Stamp(static_cast<int>(x), static_cast<int>(y));
        if (end) break;
        const long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void ImageCanvas::LineTo(int x, int y) {
    Segment(pos_, {x, y}, pen_width_ > 1);
    pos_ = {x, y};
}

void ImageCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    if (x2 == x1 || y2 == y1) return;
    for (int y = std::max(y1, 0); y < std::min(y2, height_); ++y)
        for (int x = std::max(x1, 0); x < std::min(x2, width_); ++x) Plot(x, y, brush_);
    const Point corners[] = {{x1, y1}, {x2 - 1, y1}, {x2 - 1, y2 - 1}, {x1, y2 - 1}, {x1, y1}};
    for (int i = 0; i < 4; ++i) Segment(corners[i], corners[i + 1], true);
}


}  // namespace tovrel
