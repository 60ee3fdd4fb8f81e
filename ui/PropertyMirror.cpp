#include "PropertyMirror.h"

#include <algorithm>

namespace tovrel::ui {

PropertyValue& PropertyMirror::ValueLocked(std::string_view control, Property property) {
    auto it = values_.find(control);
    if (it == values_.end()) it = values_.emplace(std::string(control), std::map<Property, PropertyValue>{}).first;
    return it->second[property];
}

FrameBatch::Control& PropertyMirror::PendingLocked(std::string_view control) {
    auto it = batch_.controls.find(control);
    if (it == batch_.controls.end()) {
        it = batch_.controls.emplace(std::string(control), FrameBatch::Control{}).first;
        batch_.order.push_back(it->first);
    }
    return it->second;
}

bool PropertyMirror::ScheduleLocked() {
    if (scheduled_) return false;
    scheduled_ = true;
    return true;
}

bool PropertyMirror::Set(std::string_view control, Property property, PropertyValue value) {
    std::lock_guard lock(mutex_);
    return SetLocked(control, property, std::move(value));
}

bool PropertyMirror::SetLocked(std::string_view control, Property property, PropertyValue value) {
    ValueLocked(control, property) = value;
    auto& pending = PendingLocked(control);
    // A new text replaces lines appended before it.
    if (property == Property::Text) pending.appended.clear();
    pending.props[property] = std::move(value);
    return ScheduleLocked();
}

bool PropertyMirror::Append(std::string_view control, std::string_view line) {
    std::lock_guard lock(mutex_);
    auto& value = ValueLocked(control, Property::Text);
    if (!std::holds_alternative<std::string>(value)) value = std::string();
    auto& text = std::get<std::string>(value);
    if (!text.empty()) text += '\n';
    text += line;
    auto& pending = PendingLocked(control);
    auto set = pending.props.find(Property::Text);
    if (set != pending.props.end()) set->second = text;
    else pending.appended.emplace_back(line);
    return ScheduleLocked();
}

bool PropertyMirror::SelectPage(int index) {
    std::lock_guard lock(mutex_);
    page_ = index;
    batch_.page = index;
    return ScheduleLocked();
}

bool PropertyMirror::SetSeries(std::string_view series, std::vector<ChartPoint> points) {
    std::lock_guard lock(mutex_);
    auto& p = batch_.series[std::string(series)];
    p.points = std::move(points);
    p.ys.clear();
    p.colours.clear();
    return ScheduleLocked();
}

bool PropertyMirror::SetPointY(std::string_view series, int index, double y) {
    std::lock_guard lock(mutex_);
    auto& p = batch_.series[std::string(series)];
    if (p.points && index >= 0 && static_cast<std::size_t>(index) < p.points->size())
        (*p.points)[static_cast<std::size_t>(index)].y = y;
    else
        p.ys[index] = y;
    return ScheduleLocked();
}

bool PropertyMirror::SetPointColour(std::string_view series, int index, Rgb colour) {
    std::lock_guard lock(mutex_);
    batch_.series[std::string(series)].colours[index] = colour;
    return ScheduleLocked();
}

bool PropertyMirror::Beep(Sound::Tone tone) {
    std::lock_guard lock(mutex_);
    batch_.beeps.push_back(tone);
    return ScheduleLocked();
}

void PropertyMirror::UserSet(std::string_view control, Property property, PropertyValue value) {
    std::lock_guard lock(mutex_);
    ValueLocked(control, property) = std::move(value);
    auto it = batch_.controls.find(control);
    if (it == batch_.controls.end()) return;
    it->second.props.erase(property);
    if (property == Property::Text) it->second.appended.clear();
    if (!it->second.props.empty() || !it->second.appended.empty()) return;
    batch_.controls.erase(it);
    std::erase(batch_.order, control);
}

void PropertyMirror::UserSelectPage(int index) {
    std::lock_guard lock(mutex_);
    page_ = index;
    batch_.page.reset();
}

void PropertyMirror::SeedPage(int index) {
    std::lock_guard lock(mutex_);
    if (!batch_.page) page_ = index;
}

void PropertyMirror::Seed(std::string_view control, Property property, PropertyValue value) {
    std::lock_guard lock(mutex_);
    auto it = batch_.controls.find(control);
    if (it != batch_.controls.end()) {
        const auto& pending = it->second;
        if (pending.props.count(property)) return;
        if (property == Property::Text && !pending.appended.empty()) return;
    }
    ValueLocked(control, property) = std::move(value);
}

std::vector<std::pair<std::string, std::string>> PropertyMirror::Texts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& [control, props] : values_) {
        auto it = props.find(Property::Text);
        if (it == props.end()) continue;
        if (auto* s = std::get_if<std::string>(&it->second)) out.emplace_back(control, *s);
    }
    return out;
}

bool PropertyMirror::SetIfUnchanged(std::string_view control, Property property, const std::string& expected,
                                    PropertyValue value) {
    std::lock_guard lock(mutex_);
    auto it = values_.find(control);
    if (it == values_.end()) return false;
    auto p = it->second.find(property);
    if (p == it->second.end()) return false;
    auto* s = std::get_if<std::string>(&p->second);
    if (!s || *s != expected) return false;
    return SetLocked(control, property, std::move(value));
}

PropertyValue PropertyMirror::Get(std::string_view control, Property property) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(control);
    if (it == values_.end()) return {};
    auto p = it->second.find(property);
    if (p == it->second.end()) return {};
    return p->second;
}

int PropertyMirror::Page() const {
    std::lock_guard lock(mutex_);
    return page_;
}

FrameBatch PropertyMirror::Take() {
    std::lock_guard lock(mutex_);
    if (group_depth_ > 0) {
        scheduled_ = false;
        return {};
    }
    FrameBatch out = std::move(batch_);
    batch_ = FrameBatch{};
    scheduled_ = false;
    return out;
}

void PropertyMirror::BeginGroup() {
    std::lock_guard lock(mutex_);
    ++group_depth_;
}

bool PropertyMirror::EndGroup() {
    std::lock_guard lock(mutex_);
    if (group_depth_ > 0) --group_depth_;
    if (group_depth_ > 0 || batch_.empty()) return false;
    scheduled_ = true;
    return true;
}

}  // namespace tovrel::ui
