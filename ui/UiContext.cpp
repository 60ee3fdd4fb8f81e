#include "UiContext.h"

#include "DeviceThread.h"
#include "QtScreen.h"

namespace tovrel::ui {

void UiContext::Forward(std::function<void(Program&)> call, QWidget* edited) {
    if (edited) screen_.CaptureUserEdit(edited);
    device_.Post(std::move(call));
}

void UiContext::UserEdit(std::string_view control, Property property, PropertyValue value) {
    screen_.UserEdit(control, property, std::move(value));
}

void UiContext::RegisterSeries(const std::string& series, SeriesSink* sink) { screen_.RegisterSeries(series, sink); }

void UiContext::RegisterGrid(const std::string& name, GridControl* grid) { screen_.RegisterGrid(name, grid); }

}  // namespace tovrel::ui
