#pragma once
// Device log files: the log step of a monitor pass, the "Start LOG" request
// and the numbered LOG_n.txt files in the LOGs directory.
#include <cstdint>
#include <string>

#include "LiveState.h"
#include "SettingsPage.h"

namespace tovrel {

// Captures copied from the variator in one program run; from the tenth on
// LogCounter still counts, but the buffer is not copied.
inline constexpr int kLogCopyLimit = 9;


// The log step of a monitor pass, right after the status word (address 130)
// was read. Copies a finished log (status bits 11 and 12 clear) into the next
// LOG_n.txt and sends the start request while no log has been captured.
void LogStep(LiveContext& ctx, std::uint16_t status);

// "Start LOG": a later log step sends the request.
void StartLOGButtonClick(LiveState& state);

// The bytes of a log file: Windows-1251, CR LF line ends.
std::string FormatLogFile(std::uint16_t timerDivision, std::uint16_t lowestMotorRpm, const LogBuffer& entries);

// "LOGs" in the directory that holds the program file.
std::string DefaultLogsDirectory();
// The number of the next log file in `dir`: one more than the highest
// LOG_n.txt there (1 when there is none), so no earlier file is overwritten.
std::uint64_t NextLogFileNumber(const std::string& dir);

// Writes the file of one capture into the LOGs directory (made when missing).
// Says why on the screen when it cannot.
LogCaptureReport WriteLogFile(LiveContext& ctx, const LogBuffer& entries);

}  // namespace tovrel
