#include "StoredScreen.h"

namespace tovrel {

void StoredScreen::ShowMessage(std::string_view text) { OnMessage(text); }

void StoredScreen::Set(std::string_view control, Property property, PropertyValue value) {
    {
        std::lock_guard lock(mutex_);
        auto it = controls_.find(control);
        if (it == controls_.end()) it = controls_.emplace(std::string(control), std::map<Property, PropertyValue>{}).first;
        it->second[property] = value;
    }
    OnSet(control, property, value);
}

PropertyValue StoredScreen::Get(std::string_view control, Property property) const {
    std::lock_guard lock(mutex_);
    auto it = controls_.find(control);
    if (it == controls_.end()) return {};
    auto p = it->second.find(property);
    if (p == it->second.end()) return {};
    return p->second;
}

void StoredScreen::AppendLine(std::string_view control, std::string_view line) {
    PropertyValue copy;
    {
        std::lock_guard lock(mutex_);
        auto it = controls_.find(control);
        if (it == controls_.end()) it = controls_.emplace(std::string(control), std::map<Property, PropertyValue>{}).first;
        auto& value = it->second[Property::Text];
        if (!std::holds_alternative<std::string>(value)) value = std::string();
        auto& text = std::get<std::string>(value);
        if (!text.empty()) text += '\n';
        text += line;
        // Subclasses that record changes get the line itself, not the whole memo.
        copy = std::string(line);
    }
    OnAppend(control, std::get<std::string>(copy));
}

void StoredScreen::SelectPage(int index) {
    {
        std::lock_guard lock(mutex_);
        page_ = index;
    }
    OnPage(index);
}

int StoredScreen::SelectedPage() const {
    std::lock_guard lock(mutex_);
    return page_;
}

void StoredScreen::SetSeries(std::string_view series, std::vector<ChartPoint> points) {
    std::lock_guard lock(mutex_);
    auto it = series_.find(series);
    if (it == series_.end()) it = series_.emplace(std::string(series), SeriesData{}).first;
    it->second.points = std::move(points);
    it->second.colours.clear();
}

void StoredScreen::SetPointY(std::string_view series, int index, double y) {
    std::lock_guard lock(mutex_);
    auto it = series_.find(series);
    if (it == series_.end() || index < 0 || static_cast<std::size_t>(index) >= it->second.points.size()) return;
    it->second.points[static_cast<std::size_t>(index)].y = y;
}

void StoredScreen::SetPointColour(std::string_view series, int index, Rgb colour) {
    std::lock_guard lock(mutex_);
    auto it = series_.find(series);
    if (it == series_.end() || index < 0 || static_cast<std::size_t>(index) >= it->second.points.size()) return;
    it->second.colours[index] = colour;
}

std::vector<ChartPoint> StoredScreen::Series(std::string_view series) const {
    std::lock_guard lock(mutex_);
    auto it = series_.find(series);
    if (it == series_.end()) return {};
    return it->second.points;
}

std::optional<Rgb> StoredScreen::PointColour(std::string_view series, int index) const {
    std::lock_guard lock(mutex_);
    auto it = series_.find(series);
    if (it == series_.end()) return std::nullopt;
    auto c = it->second.colours.find(index);
    if (c == it->second.colours.end()) return std::nullopt;
    return c->second;
}

void StoredScreen::Pump() {
    if (on_pump) on_pump();
}

}  // namespace tovrel
