#pragma once
// A Screen that keeps every control property in memory. The command line and
// the tests' recording fake build on it; it is also the model a GUI layer can
// mirror into real widgets.
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "Screen.h"

namespace tovrel {

class StoredScreen : public Screen, public Controls {
public:
    Controls& controls() override { return *this; }
    void ShowMessage(std::string_view text) override;
    void Set(std::string_view control, Property property, PropertyValue value) override;
    PropertyValue Get(std::string_view control, Property property) const override;
    void SelectPage(int index) override;
    int SelectedPage() const override;
    void Pump() override;
    // Appends in place: a memo that gets many thousands of lines stays cheap.
    void AppendLine(std::string_view control, std::string_view line) override;
    void SetSeries(std::string_view series, std::vector<ChartPoint> points) override;
    void SetPointY(std::string_view series, int index, double y) override;
    void SetPointColour(std::string_view series, int index, Rgb colour) override;
    std::vector<ChartPoint> Series(std::string_view series) const override;
    std::optional<Rgb> PointColour(std::string_view series, int index) const override;

    // Called from Pump(): the place where tests and front ends inject the
    // "button presses" a user makes while a procedure runs.
    std::function<void()> on_pump;

protected:
    // Hooks for subclasses; called after the stored value changed.
    virtual void OnMessage(std::string_view text) { (void)text; }
    virtual void OnSet(std::string_view control, Property property, const PropertyValue& value) {
        (void)control; (void)property; (void)value;
    }
    virtual void OnPage(int index) { (void)index; }
    virtual void OnAppend(std::string_view control, std::string_view line) { (void)control; (void)line; }

private:
    struct SeriesData {
        std::vector<ChartPoint> points;
        std::map<int, Rgb> colours;
    };
    mutable std::mutex mutex_;
    std::map<std::string, SeriesData, std::less<>> series_;
    std::map<std::string, std::map<Property, PropertyValue>, std::less<>> controls_;
    int page_ = 0;
};

}  // namespace tovrel
