#pragma once
// Throttle sensor (TPS) calibration: the two calibration points at addresses
// 5 (pedal released, minimum load) and 6 (pedal pressed, maximum load), taken
// from the present reading, from a tracking run or typed by hand, each
// written and committed to EEPROM.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "LiveState.h"
#include "ThrottleCalibrationPage.h"
#include "SettingsTexts.h"

namespace tovrel {

namespace tps {
inline constexpr std::uint8_t kMinAddress = 5;
inline constexpr std::uint8_t kMaxAddress = 6;
inline constexpr std::uint8_t kReadingAddress = 129;

inline constexpr SettingsText kTrackIdleCaption = SettingsText::TrackIdleCaption;
inline constexpr SettingsText kTrackRunningCaption = SettingsText::RunningCaption;
inline constexpr SettingsText kSavingCaption = SettingsText::SavingCaption;
inline constexpr SettingsText kSavedMaxCaption = SettingsText::SavedMaxCaption;
inline constexpr SettingsText kSavedMinCaption = SettingsText::SavedMinCaption;
// A tracking start refused because the monitor polls.
inline constexpr SettingsText kMonitorRunsMessage = SettingsText::MonitorRuns;
// What a tracked end that no reading reached shows.
inline constexpr const char* kNotTracked = "n/a";
}  // namespace tps

// Writes v (its low 16 bits) to address 5 or 6 and commits it when the
// variator returned it (after LiveState::before_commit, which may stop the
// commit); otherwise shows `errorMessage`. True when the value
// was confirmed and the commit too; `write_confirmed` (when given) tells
// whether the variator confirmed the write itself (so its working copy holds
// the value), whatever became of the comparison and the commit.
bool SaveCalibrationValue(LiveContext& ctx, std::uint8_t address, long v, std::string_view errorMessage,
                          bool* write_confirmed = nullptr);

// The store handlers. Each returns true when its value reached the EEPROM.
bool SaveADCMaxButtonClick(LiveContext& ctx);
bool SaveADCMinButtonClick(LiveContext& ctx);
bool Fix_Auto_Detected_MAX_TPSButtonClick(LiveContext& ctx);
bool Fix_Auto_Detected_MIN_TPSButtonClick(LiveContext& ctx);
bool Fix_Manually_Set_MAX_TPS_Value_ButtonClick(LiveContext& ctx);
bool Fix_Manually_Set_MIN_TPS_Value_ButtonClick(LiveContext& ctx);

// Tracking: the first press runs the loop that follows the reading while the
// fitter works the pedal; a press while it runs asks it to stop.
void StartFix_MAX_MIN_TPSButtonClick(LiveContext& ctx);

// Swaps the tracked maximum and minimum (sensors whose reading falls as the
// pedal is pressed). Sends nothing.
void Change_Min_to_Max_TPSButtonClick(Screen& screen, LiveState& state);
// A tracked end as its label shows it: the number, or "n/a".
std::string TrackedText(std::optional<std::int16_t> end);

}  // namespace tovrel
