#include "ControlRegistry.h"

#include <QTabWidget>

namespace tovrel::ui {

ControlRegistry::ControlRegistry() { missing_age_.start(); }

void ControlRegistry::AddRoot(QObject* root) {
    roots_.emplace_back(root);
    found_.clear();
    missing_.clear();
}

void ControlRegistry::Known(QObject* object) {
    if (object && !object->objectName().isEmpty()) missing_.remove(object->objectName());
}

QObject* ControlRegistry::Find(const QString& name) {
    auto it = found_.find(name);
    if (it != found_.end()) {
        if (it.value()) return it.value();
        found_.erase(it);  // destroyed: look for a successor
    }
    if (missing_age_.elapsed() > 1000) {
        missing_.clear();
        missing_age_.restart();
    }
    if (missing_.contains(name)) return nullptr;
    for (const auto& root : roots_) {
        if (!root) continue;
        QObject* hit = root->objectName() == name ? root.data() : root->findChild<QObject*>(name);
        if (hit) {
            found_[name] = hit;
            return hit;
        }
    }
    missing_.insert(name);
    return nullptr;
}

void ControlRegistry::SetPageControl(QTabWidget* pages) { pages_ = pages; }

QTabWidget* ControlRegistry::PageControl() const { return pages_.data(); }

template <class T>
void ControlRegistry::Add(std::map<std::string, Target<T>, std::less<>>& map, const std::string& name, T* target) {
    Target<T> entry;
    entry.target = target;
    if (auto* object = dynamic_cast<QObject*>(target)) {
        entry.object = object;
        entry.tracked = true;
    }
    map[name] = entry;
}

template <class T>
T* ControlRegistry::Lookup(std::map<std::string, Target<T>, std::less<>>& map, std::string_view name) {
    auto it = map.find(name);
    if (it == map.end()) return nullptr;
    if (it->second.tracked && !it->second.object) {
        map.erase(it);
        return nullptr;
    }
    return it->second.target;
}

void ControlRegistry::AddSeries(const std::string& series, SeriesSink* sink) { Add(series_, series, sink); }
SeriesSink* ControlRegistry::Series(std::string_view series) { return Lookup(series_, series); }
void ControlRegistry::AddGrid(const std::string& name, GridControl* grid) { Add(grids_, name, grid); }
GridControl* ControlRegistry::Grid(std::string_view name) { return Lookup(grids_, name); }

}  // namespace tovrel::ui
