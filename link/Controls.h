#pragma once
// The window's controls, addressed by their component names. Only the page
// presenters use this interface: each presenter holds the names of its own
// page's controls and hands the logic `Control` handles, so that no device
// procedure spells a component name. The `Screen` (Screen.h) is the rest of
// what the logic may ask of the window: messages, questions, file dialogs,
// progress and page selection.
//
// None of the calls assumes the caller runs on the GUI thread; see Screen.h.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tovrel {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace colours {
inline constexpr Rgb Green{0, 128, 0};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Yellow{255, 255, 0};
inline constexpr Rgb SkyBlue{166, 202, 240};
inline constexpr Rgb Purple{128, 0, 128};
inline constexpr Rgb Fuchsia{255, 0, 255};
inline constexpr Rgb Blue{0, 0, 255};
// The system "button face" colour; the desktop layer maps this value to
// the palette's button colour.
inline constexpr Rgb ButtonFace{240, 240, 240};
}  // namespace colours

enum class Property {
    Text,      // caption of a label, button, check box; text of an edit or memo
    Colour,    // background colour (Rgb)
    Visible,   // bool
    Enabled,   // bool
    Opaque,    // bool: a label shows its background colour only when opaque
    Position,  // int: progress bar and gauge position
    Minimum,   // int: progress bar range; of a chart, its vertical axis minimum
    Maximum,   // int: likewise the maximum
    Checked,   // bool: check boxes
};

// monostate means "never set".
using PropertyValue = std::variant<std::monostate, std::string, bool, int, Rgb>;

// One point of a chart's line series.
struct ChartPoint {
    double x = 0, y = 0;
    friend bool operator==(const ChartPoint&, const ChartPoint&) = default;
};

// String grid cells are controls of their own: the cell in column c and row
// r (both from 0, the fixed header row and column included) of the grid
// "StringGridLPG" is the control "StringGridLPG[c,r]", and its Text property
// is the cell's text. GridCell builds that name.
std::string GridCell(std::string_view grid, int column, int row);

class Controls {
public:
    virtual ~Controls() = default;

    virtual void Set(std::string_view control, Property property, PropertyValue value) = 0;
    virtual PropertyValue Get(std::string_view control, Property property) const = 0;
    virtual void Repaint(std::string_view control) { (void)control; }
    // Appends a line to a multi-line memo.
    virtual void AppendLine(std::string_view control, std::string_view line);

    // Line series of the charts, addressed by their component names
    // ("LineSeries1", "Series9"); the series belongs to the chart the window
    // puts it in. Points are kept in index order.
    // Replaces every point; per-point colours go back to the series colour.
    virtual void SetSeries(std::string_view series, std::vector<ChartPoint> points) {
        (void)series; (void)points;
    }
    // Changes the y value of an existing point and keeps its colour; an index
    // outside the series does nothing.
    virtual void SetPointY(std::string_view series, int index, double y) {
        (void)series; (void)index; (void)y;
    }
    // Colours one existing point; an index outside the series does nothing.
    virtual void SetPointColour(std::string_view series, int index, Rgb colour) {
        (void)series; (void)index; (void)colour;
    }
    virtual std::vector<ChartPoint> Series(std::string_view series) const {
        (void)series;
        return {};
    }
    // Nothing when the point shows the series' own colour.
    virtual std::optional<Rgb> PointColour(std::string_view series, int index) const {
        (void)series; (void)index;
        return std::nullopt;
    }

    // The changes made between these reach the window together (a map's
    // points moved by one key press are never drawn half-moved). Nested
    // pairs count as one; keep a group short.
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
    class Update {
    public:
        explicit Update(Controls& controls) : controls_(controls) { controls_.BeginUpdate(); }
        ~Update() { controls_.EndUpdate(); }
        Update(const Update&) = delete;
        Update& operator=(const Update&) = delete;

    private:
        Controls& controls_;
    };

    // Conveniences over Set and Get.
    void SetText(std::string_view control, std::string_view text) {
        Set(control, Property::Text, std::string(text));
    }
    void SetColour(std::string_view control, Rgb colour) { Set(control, Property::Colour, colour); }
    void SetVisible(std::string_view control, bool on) { Set(control, Property::Visible, on); }
    void SetEnabled(std::string_view control, bool on) { Set(control, Property::Enabled, on); }
    void SetOpaque(std::string_view control, bool on) { Set(control, Property::Opaque, on); }
    void SetPosition(std::string_view control, int position) { Set(control, Property::Position, position); }
    void SetChecked(std::string_view control, bool on) { Set(control, Property::Checked, on); }

    std::string Text(std::string_view control) const;
    bool IsVisible(std::string_view control) const { return Flag(control, Property::Visible); }
    bool IsChecked(std::string_view control) const { return Flag(control, Property::Checked); }
    bool IsEnabled(std::string_view control) const;
    int Number(std::string_view control, Property property) const;
    std::optional<Rgb> Colour(std::string_view control) const;
    bool Flag(std::string_view control, Property property) const;
};

// One control of a page, as its presenter hands it to the logic: the name
// stays with the presenter.
class Control {
public:
    Control(Controls& controls, std::string_view name) : controls_(&controls), name_(name) {}

    void Set(Property property, PropertyValue value) const { controls_->Set(name_, property, std::move(value)); }
    PropertyValue Get(Property property) const { return controls_->Get(name_, property); }
    void SetText(std::string_view text) const { controls_->SetText(name_, text); }
    void SetColour(Rgb colour) const { controls_->SetColour(name_, colour); }
    void SetVisible(bool on) const { controls_->SetVisible(name_, on); }
    void SetEnabled(bool on) const { controls_->SetEnabled(name_, on); }
    void SetOpaque(bool on) const { controls_->SetOpaque(name_, on); }
    void SetPosition(int position) const { controls_->SetPosition(name_, position); }
    void SetChecked(bool on) const { controls_->SetChecked(name_, on); }
    void Repaint() const { controls_->Repaint(name_); }
    void AppendLine(std::string_view line) const { controls_->AppendLine(name_, line); }

    std::string Text() const { return controls_->Text(name_); }
    bool IsVisible() const { return controls_->IsVisible(name_); }
    bool IsChecked() const { return controls_->IsChecked(name_); }
    bool IsEnabled() const { return controls_->IsEnabled(name_); }
    int Number(Property property) const { return controls_->Number(name_, property); }
    std::optional<Rgb> Colour() const { return controls_->Colour(name_); }

private:
    Controls* controls_;
    std::string name_;
};

// A chart's line series, as its presenter hands it to the logic.
class SeriesControl {
public:
    SeriesControl(Controls& controls, std::string_view name) : controls_(&controls), name_(name) {}

    void SetPoints(std::vector<ChartPoint> points) const { controls_->SetSeries(name_, std::move(points)); }
    void SetPointY(int index, double y) const { controls_->SetPointY(name_, index, y); }
    void SetPointColour(int index, Rgb colour) const { controls_->SetPointColour(name_, index, colour); }
    std::vector<ChartPoint> Points() const { return controls_->Series(name_); }
    std::optional<Rgb> PointColour(int index) const { return controls_->PointColour(name_, index); }

private:
    Controls* controls_;
    std::string name_;
};

}  // namespace tovrel
