#pragma once
// Configuration files: the four maps and the start timeout as an XML
// document (root "variator60_2"). Saving writes the whole file beside the
// target and then replaces it; loading reads and checks the whole document
// before any map changes.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "Calculations.h"
#include "MapEditor.h"
#include "Screen.h"
#include "SettingsPage.h"
#include "MapsTexts.h"

namespace tovrel {

inline constexpr std::string_view kConfigFileFilter = "Text Files|*.xml";
inline constexpr std::string_view kSaveDialog = "SaveDialog1";
inline constexpr std::string_view kOpenDialog = "OpenDialog1";
// No configuration comes near this; anything larger is not one.
inline constexpr std::size_t kMaxConfigFileBytes = 4u << 20;

// The y values of a checked document, in the order of kMapKinds, and the
// "Timeout" attribute of its "Settings" element when it has one.
struct ConfigurationContent {
    std::array<std::array<double, MapPointCount>, 4> y{};
    std::optional<std::string> timeout;
};

// The document text for the four maps and the start timeout text.
std::string ConfigurationXml(const TimingMap& lpg, const TimingMap& petrol, const TimingMap& lpg_load,
                             const TimingMap& petrol_load, std::string_view timeout);
// Parses and checks a whole document; on failure returns nothing and says why
// in `error` (`name` is the file name the message speaks of).
std::optional<ConfigurationContent> ParseConfiguration(std::string_view bytes, std::string_view name,
                                                       std::string* error);
// Reads and checks a file; on failure returns nothing and says why.
std::optional<ConfigurationContent> ReadConfigurationFile(const std::string& file_name, std::string* error);

// Writes the file from the maps and the text of the start timeout field.
// False after showing the error through the screen's error display; an
// earlier file of that name is then left as it was.
bool SaveConfigurationFile(Screen& screen, const std::string& file_name, const TimingMap& lpg,
                           const TimingMap& petrol, const TimingMap& lpg_load, const TimingMap& petrol_load);
// Fills the y values of the four maps from the file, one document change
// per map in the order of kMapKinds. A file that cannot be read, is not XML,
// breaks the structure or has a point text that is not one decimal number
// changes nothing: false after showing the error. Does not touch the start
// timeout field.
bool LoadConfigurationFile(Screen& screen, const std::string& file_name, MapDocument& document);
// Puts a checked document's y values into the maps (cause FileLoad).
void ApplyConfiguration(MapDocument& document, const ConfigurationContent& content);

// Asked before "Сохранить" writes a file while some map point was never
// read from the variator.
// A pattern: %1 names the point.
inline constexpr MapsText kUnreadPointsQuestion = MapsText::UnreadPointsQuestion;
// File menu: "Сохранить" (N3) and "Открыть" (N2). Each runs its dialog, acts
// on a confirmed name and refreshes every map view, also after a cancel; a
// file error ends the handler before the refresh.
void N3Click(Screen& screen, MapsState& state);
void N2Click(Screen& screen, MapsState& state);

}  // namespace tovrel
