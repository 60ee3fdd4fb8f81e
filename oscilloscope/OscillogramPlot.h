#pragma once
// The picture of the first records of a capture: a square wave, one
// horizontal segment per record at the row of its level, as long as the
// record's length divided by the scale.
#include <cstdint>

#include "Canvas.h"
#include "OscillogramFile.h"
#include "OscilloscopePage.h"
#include "Screen.h"

namespace tovrel {

// Size of the picture control Oscill_Image in the window.
inline constexpr int kOscillImageWidth = 1090;
inline constexpr int kOscillImageHeight = 521;
// The capture widens the picture to at least this many pixels.
inline constexpr std::uint32_t kOscillPlotMinWidth = 10000;

namespace plot_colours {
inline constexpr Rgb Background{230, 230, 230};
inline constexpr Rgb Grey{128, 128, 128};
inline constexpr Rgb Signal{0, 0, 0};
}  // namespace plot_colours

inline constexpr int kLevelOneRow = 10;
inline constexpr int kLevelZeroRow = 300;
// Length units per pixel.
inline constexpr std::uint32_t kPlotDivisor16 = 1200;
inline constexpr std::uint32_t kPlotDivisor32 = 12000;

class OscillogramPlot {
public:
    // `screen` (optional) gets the scroll box position and the repaints.
    explicit OscillogramPlot(Canvas& canvas, Screen* screen = nullptr) : canvas_(canvas), screen_(screen) {}

    // Resets the picture: background, border and mid line, at least
    // `minimumWidth` pixels wide.
    void ClearOscillogramPlot(std::uint32_t minimumWidth);
    // Draws one record; false when it no longer fits (nothing is drawn).
    bool PlotOscillogramRecord(const OscillogramRecord& record, bool mode32);

    // The x position the drawn records have reached; 0 after a clear.
    std::uint64_t OscillogramPlotX = 0;
    Canvas& canvas() { return canvas_; }

private:
    Canvas& canvas_;
    Screen* screen_;
};

}  // namespace tovrel
