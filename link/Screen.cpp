#include "Controls.h"

namespace tovrel {

std::string GridCell(std::string_view grid, int column, int row) {
    std::string name(grid);
    name += '[';
    name += std::to_string(column);
    name += ',';
    name += std::to_string(row);
    name += ']';
    return name;
}

void Controls::AppendLine(std::string_view control, std::string_view line) {
    std::string text = Text(control);
    if (!text.empty()) text += '\n';
    text += line;
    SetText(control, text);
}

std::string Controls::Text(std::string_view control) const {
    auto v = Get(control, Property::Text);
    if (auto* s = std::get_if<std::string>(&v)) return *s;
    return {};
}

bool Controls::Flag(std::string_view control, Property property) const {
    auto v = Get(control, property);
    if (auto* b = std::get_if<bool>(&v)) return *b;
    return false;
}

bool Controls::IsEnabled(std::string_view control) const {
    auto v = Get(control, Property::Enabled);
    if (auto* b = std::get_if<bool>(&v)) return *b;
    return true;  // controls are enabled unless something disabled them
}

int Controls::Number(std::string_view control, Property property) const {
    auto v = Get(control, property);
    if (auto* i = std::get_if<int>(&v)) return *i;
    return 0;
}

std::optional<Rgb> Controls::Colour(std::string_view control) const {
    auto v = Get(control, Property::Colour);
    if (auto* c = std::get_if<Rgb>(&v)) return *c;
    return std::nullopt;
}

}  // namespace tovrel
