#include "OscillogramPlot.h"

namespace tovrel {

void OscillogramPlot::ClearOscillogramPlot(std::uint32_t minimumWidth) {
    if (screen_) OscilloscopePage(*screen_).ScrollBox().SetPosition(0);
    canvas_.MoveTo(0, 0);
    OscillogramPlotX = 0;
    if (static_cast<std::int64_t>(canvas_.Width()) < static_cast<std::int64_t>(minimumWidth))
        canvas_.SetWidth(static_cast<int>(minimumWidth));
    if (screen_) OscilloscopePage(*screen_).Picture().Repaint();
    const int width = canvas_.Width();
    const int height = canvas_.Height();
    canvas_.SetPenColour(plot_colours::Grey);
    canvas_.SetBrushColour(plot_colours::Background);
    canvas_.Rectangle(0, 0, width, height);
    canvas_.SetPenColour(plot_colours::Grey);
    canvas_.SetPenWidth(1);
    canvas_.MoveTo(0, height / 2);
    canvas_.LineTo(width, height / 2);
    canvas_.MoveTo(0, 0);
}

bool OscillogramPlot::PlotOscillogramRecord(const OscillogramRecord& record, bool mode32) {
    const std::uint32_t step = record.Length(mode32) / (mode32 ? kPlotDivisor32 : kPlotDivisor16);
    OscillogramPlotX += step;
    if (OscillogramPlotX >= static_cast<std::uint64_t>(canvas_.Width())) return false;
    canvas_.SetPenColour(plot_colours::Signal);
    canvas_.SetPenWidth(3);
    const int x = canvas_.PenPosition().x;
    const int y = record.Level() == 1 ? kLevelOneRow : kLevelZeroRow;
    canvas_.LineTo(x, y);
    canvas_.LineTo(x + static_cast<int>(step), y);
    return true;
}

}  // namespace tovrel
