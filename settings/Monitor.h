#pragma once
// The real-time monitor: polls the variator's live values and shows them on
// the settings tab. One button starts a run and, pressed again, stops it.
#include <string>

#include "LiveState.h"
#include "SettingsPage.h"
#include "SettingsTexts.h"

namespace tovrel {

namespace monitor {
inline constexpr SettingsText kIdleCaption = SettingsText::MonitorIdleCaption;
inline constexpr SettingsText kRunningCaption = SettingsText::RunningCaption;
inline constexpr SettingsText kDisconnectedMessage = SettingsText::Disconnected;
// A start refused because the other polling loop runs.
inline constexpr SettingsText kTrackingRunsMessage = SettingsText::TrackingRuns;
}  // namespace monitor

// The button's handler: starts a run when none is active, otherwise asks the
// active run to stop (the run takes the request up at the end of its pass).
void GetRealtimeParametersButtonClick(LiveContext& ctx);

// The processor temperature shown for a raw sensor value: degrees Celsius
// cut to tenths.
double CpuTemperature(std::int16_t raw);

// Writes the numbers with a fraction of the pass shown (temperature,
// advance, time to gas) anew in the screen's number form, as after a change
// of the decimal separator while a run shows them. Labels that show no value
// ("n/a" before a run and after its reset) are left as they are.
void ShowMonitorNumbers(Screen& screen, const RealtimeSnapshot& s);

}  // namespace tovrel
