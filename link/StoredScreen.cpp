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

void StoredScreen::Pump() {
    if (on_pump) on_pump();
}

}  // namespace tovrel
