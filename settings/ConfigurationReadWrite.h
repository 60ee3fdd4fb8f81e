#pragma once
// Reading and writing the whole configuration (four maps, start timeout, the
// two throttle sensor calibration points) with the EEPROM commit, and reading
// the device options after a connection.
#include <filesystem>
#include <string>

#include "Commit.h"
#include "DeviceOptions.h"
#include "MapTransfer.h"

namespace tovrel {

// The directory that holds the program file; the working directory when
// that cannot be told.
std::filesystem::path ProgramDirectory();
// Where log files go: "LOGs" inside the program's directory, or, when that
// cannot be written (an installed program in /usr/bin), "LOGs" in the user's
// data folder ($XDG_DATA_HOME/tovrel-terminal, by default
// ~/.local/share/tovrel-terminal).
std::filesystem::path LogDirectory(const std::filesystem::path& program_dir);
// The choice itself: `writable` tells whether a directory may be written.
std::filesystem::path ChooseLogDirectory(const std::filesystem::path& program_dir,
                                         const std::filesystem::path& user_data_dir,
                                         bool (*writable)(const std::filesystem::path&));
// The user's data folder of the program.
std::filesystem::path UserDataDirectory();

// The subsystem's program-wide state besides the maps.
struct SettingsState {
    DeviceOptions options;
    // Tests and tools point this elsewhere.
    std::filesystem::path program_dir = ProgramDirectory();
    // The user has been told once that the logs go to the user's data folder.
    bool log_directory_announced = false;
};

// Addresses of the single parameters and the device options.
namespace config_address {
inline constexpr std::uint8_t Commit = 0;
inline constexpr std::uint8_t TpsMinimum = 5;
inline constexpr std::uint8_t TpsMaximum = 6;
inline constexpr std::uint8_t StartTimeout = 7;
inline constexpr std::uint8_t TimerDivision = 145;
inline constexpr std::uint8_t Capabilities = 146;
inline constexpr std::uint8_t SwitchWord = 147;
}  // namespace config_address

// Captions and start texts of the settings tab's controls.
void InitConfigurationControls(Screen& screen);

// Every operation below sends nothing and shows nothing when the state is
// not "connected". The three procedures a user or the program start begins
// refuse with kLineBusyMessage while another device procedure holds the line;
// StoreStartTimeout is a step of such procedures and only holds the line.

// The switch and speed word, the timer division and the capability word, with
// their messages; shows or hides the log controls and makes the log directory
// ready when the firmware keeps logs.
TransferTally ReadDeviceOptions(DeviceLink& link, SettingsState& settings);
// Puts the not-yet-read markers into the maps (also when not connected), then
// reads the four maps, the start timeout and the calibration points.
TransferTally ReadAllData(DeviceLink& link, MapsState& state);
// Writes the four maps, the start timeout from its edit and commits twice.
// Passes the write guard first. A start timeout that is not an integer ends it
// after the maps, before anything is committed.
TransferTally WriteAllData(DeviceLink& link, MapsState& state);
inline TransferTally ReadDataClick(DeviceLink& link, MapsState& state) { return ReadAllData(link, state); }
inline TransferTally WriteDataClick(DeviceLink& link, MapsState& state) { return WriteAllData(link, state); }
// Writes the low 16 bits of the timeout to address 7, asks
// state.before_commit (false: no commit, false returned), then commits
// (CommitToEEPROM, Commit.h). True when both were confirmed.
bool StoreStartTimeout(DeviceLink& link, MapsState& state, int seconds);

}  // namespace tovrel
