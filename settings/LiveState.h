#pragma once
// State of the live-data procedures: the real-time monitor, the throttle
// sensor tracking and the device log capture. One LiveState lives for the
// whole program run; the procedures get it, with the device link, the write
// guard and the device options, through a LiveContext.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "Dataextractor.h"
#include "DeviceOptions.h"
#include "WriteGuard.h"

namespace tovrel {

// Passes of one monitor run and readings of one tracking run, as the buttons
// make them.
inline constexpr int kRealtimePassCount = 1000;
inline constexpr int kTrackingPassCount = 1000;

// The live values of the current monitor pass. A value that is not read in
// a pass keeps the value of its last read in the same run.
struct RealtimeSnapshot {
    int pass = 0;
    // Reads of this pass that got no good reply (or were not made because
    // the run was stopping): the pass's values are then not all its own.
    int failed_reads = 0;
    std::uint16_t engine_speed = 0;      // 128, rpm
    std::int16_t tps_adc = 0;            // 129
    std::uint16_t status = 0;            // 130
    std::uint16_t tps_correction = 0;    // 131: low byte on gas, high byte on petrol
    std::int16_t advance = 0;            // 132, hundredths of a degree
    std::optional<std::int16_t> adaptation_coefficient;  // 133, once read in this run
    std::optional<std::uint16_t> adaptations_counter;    // 142, once read in this run
    std::uint16_t gas_time_sync = 0;     // 134: high byte tenths of a second, low byte synchronisation
    std::uint16_t cmp_edges = 0;         // 135: high byte CMP1, low byte CMP2
    std::int16_t temperature_raw = 0;    // 140

    bool Gas() const { return (status >> 8) & 1u; }
    bool DirectSend() const { return (status >> 9) & 1u; }
    bool NeedGoodTahoe() const { return (status >> 10) & 1u; }
    int ThrottleIndex() const { return status & 0xFF; }
    // The throttle opening in percent as the gauge gets it (index 79 is 100).
    int ThrottlePercent() const { return ThrottleIndex() * 100 / 79; }
    // The correction that applies to the fuel in use, in percent.
    int Correction() const {
        return static_cast<std::int8_t>(Gas() ? (tps_correction & 0xFF) : (tps_correction >> 8));
    }
    double AdvanceDegrees() const { return advance / 100.0; }
    int TimeToGasTenths() const { return gas_time_sync >> 8; }
    int Synchronisation() const { return static_cast<std::int8_t>(gas_time_sync & 0xFF); }
    int Cmp1Edges() const { return cmp_edges >> 8; }
    int Cmp2Edges() const { return cmp_edges & 0xFF; }
};

// One entry of the device log buffer: the T word (address 143) and the flags
// word (address 144) of the same index.
struct LogEntry {
    std::uint16_t T = 0;
    std::uint16_t flags = 0;

    int RTC() const { return flags >> 8; }
    int L() const { return (flags >> 7) & 1; }
    int SYN_2b() const { return ((flags >> 5) & 3) - 1; }  // the code less one: -1..2
    int NGT_ERR() const { return flags & 31; }
};
inline constexpr int kLogEntryCount = 256;
using LogBuffer = std::array<LogEntry, kLogEntryCount>;

// What became of one log capture, for front ends that report it.
struct LogCaptureReport {
    std::uint16_t capture = 0;  // LogCounter after the capture
    bool copied = false;        // the buffer was read from the variator
    bool written = false;       // the file was written
    std::string path;           // the file (or the one that could not be written)
    std::string error;          // why it was not written
};

struct LiveState {
    // ---- real-time monitor ----
    bool RealtimeStopRequested = false;
    // A device log is being copied: a stop of the monitor waits for the copy
    // and its file, so that the log the variator handed over is not lost.
    bool LogCopyRunning = false;
    RealtimeSnapshot snapshot;
    int monitor_passes = kRealtimePassCount;  // passes of one run
    // Exchanges of the monitor and the log capture that failed, over the
    // program run; front ends that report success read it.
    long failed_exchanges = 0;

    // The service values (the service hot key uncovers them): the monitor
    // reads the adaptation coefficient and, on firmware that counts
    // adaptations, their counter only while they are shown.
    bool ServiceValuesShown = false;
    bool AdaptationValuesShown = false;

    // ---- throttle sensor tracking ----
    bool TPSFixingStopRequested = false;
    int tracking_passes = kTrackingPassCount;
    // The ends the last tracking run found (what its two labels show);
    // nothing where no reading reached that end ("n/a").
    std::optional<std::int16_t> TrackedMinimum, TrackedMaximum;
    // Asked after a calibration point was written and confirmed, before it is
    // committed to EEPROM: false stops the commit, the hook having said why.
    // Unset: nothing is asked.
    std::function<bool()> before_commit;

    // ---- device logs ----
    std::uint16_t LogCounter = 0;  // captures since the program started
    bool StartLogRequested = false;
    // Where LOG_n.txt files go: "LOGs" beside the program file unless set.
    std::string logs_dir;
    // Captures that were not copied because the run's limit was reached; the
    // user is told at the first of them.
    int logs_not_copied = 0;

    // ---- observers (front ends) ----
    // After each monitor pass has been shown.
    std::function<void(const RealtimeSnapshot&)> on_pass;
    // After each log capture, whatever became of it.
    std::function<void(const LogCaptureReport&)> on_log;
    // After each reading of a tracking run has been shown.
    std::function<void(int pass, std::int16_t reading)> on_reading;
};

struct LiveContext {
    DeviceLink& link;
    WriteGuard& guard;
    DeviceOptions& options;
    LiveState& state;

    Screen& screen() { return link.screen(); }
};

}  // namespace tovrel
