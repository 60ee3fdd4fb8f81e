#pragma once
// The logic's only way to the screen. Every device procedure talks to the
// window through this interface: modal messages, properties of controls
// addressed by their component names, page selection and the message pump.
//
// The desktop layer implements it with Qt widgets, the command line with a
// terminal, the tests with a recording fake. None of the calls assumes the
// caller runs on the GUI thread: an implementation may forward them (for
// instance with a blocking queued call) when device work runs on a worker
// thread; Pump() is then the place where that worker lets stop requests in.
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

// Whether a file dialog picks an existing file to read or names one to write.
enum class FileDialogMode { Open, Save };

class Screen {
public:
    virtual ~Screen() = default;

    // Modal message box with the caption "Message" and one OK button; returns
    // when the user has closed it.
    virtual void ShowMessage(std::string_view text) = 0;
    // The same message box, but the caller does not wait for it to be
    // closed: a refusal made while a device procedure runs must not hold
    // that procedure up. A screen that has only modal boxes shows a modal one.
    virtual void ShowNotice(std::string_view text) { ShowMessage(text); }
    // The toolkit's standard error display (conversion errors, file errors).
    virtual void ShowError(std::string_view text) { ShowMessage(text); }
    // A yes/no question that decides whether a risky step goes ahead (a
    // commit to EEPROM with values the variator did not confirm). True only
    // when the user said yes; a screen that cannot ask refuses.
    virtual bool Confirm(std::string_view question) {
        (void)question;
        return false;
    }
    // The toolkit's simple information dialog (one OK button, the program's
    // title as caption).
    virtual void ShowInfo(std::string_view text) { ShowMessage(text); }

    virtual void Set(std::string_view control, Property property, PropertyValue value) = 0;
    virtual PropertyValue Get(std::string_view control, Property property) const = 0;

    // Pages of the main page control, by index.
    virtual void SelectPage(int index) = 0;
    virtual int SelectedPage() const = 0;

    virtual void Repaint(std::string_view control) { (void)control; }
    // Processes pending window messages: button presses made while a device
    // procedure runs are handled from here.
    virtual void Pump() = 0;

    // Appends a line to a multi-line memo.
    virtual void AppendLine(std::string_view control, std::string_view line);
    // A file dialog; returns the chosen path, or nothing when cancelled.
    // A save dialog gives a typed name without an extension the filter's
    // extension (or, in a dialog without one, leaves it as typed).
    virtual std::optional<std::string> ChooseFile(std::string_view dialog, FileDialogMode mode,
                                                  std::string_view filter) {
        (void)dialog; (void)mode; (void)filter;
        return std::nullopt;
    }
    // A tone of the given pitch and length. May return before the tone ends;
    // tones asked for one after another sound one after another.
    virtual void Beep(int frequencyHz, int durationMs) { (void)frequencyHz; (void)durationMs; }

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
        explicit Update(Screen& screen) : screen_(screen) { screen_.BeginUpdate(); }
        ~Update() { screen_.EndUpdate(); }
        Update(const Update&) = delete;
        Update& operator=(const Update&) = delete;

    private:
        Screen& screen_;
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

}  // namespace tovrel
