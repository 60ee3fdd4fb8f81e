#pragma once
// A live engine behind the simulated variator's normal firmware: engine
// speed, the throttle sensor following a pedal profile, fuel changes,
// synchronisation, CMP edges, the processor temperature, the TPS correction
// and the 256-entry log buffer (addresses 128..144).
//
// The engine runs on a time of its own. By default it follows the device
// loop's clock; a frozen engine moves only by Advance(), so tests get the
// same values for the same requests. Noise comes from a seeded generator.
// Reads of an address can also be scripted or held at a fixed value.
#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <vector>

#include "Variator.h"

namespace tovrel::sim {

struct EngineOptions {
    std::uint32_t seed = 1;
    int idle_rpm = 850;             // pedal released; 0: the engine stands still
    int max_rpm = 4500;             // pedal fully pressed
    double pedal_period_s = 6.0;    // one press and release of the pedal
    std::uint16_t tps_released = 450;  // sensor ADC with the pedal released
    std::uint16_t tps_pressed = 3900;  // and fully pressed (below released: an inverted sensor)
    int tps_noise = 2;              // +- ADC counts
    double gas_after_s = 2.0;       // the gas valve opens this long after start; < 0: petrol only
    double gas_delay_s = 3.0;       // from the valve opening until the gas advance applies
    std::int16_t temperature_raw = 1700;  // processor sensor at start (about 39 degrees)
    double log_every_s = 0;         // the firmware starts a log on its own this often; 0: on request only
    double log_entry_ms = 2.0;      // engine time per recorded log entry; 0: a log fills at once
    bool frozen = false;            // time moves only by Advance()
};

class Engine final : public AddressHandler {
public:
    // Log state in bits 11 and 12 of the status word (address 130).
    enum class LogState { Idle, Recording, Ready };
    struct LogWords {
        std::uint16_t t = 0;      // address 143
        std::uint16_t flags = 0;  // address 144
        friend bool operator==(const LogWords&, const LogWords&) = default;
    };
    using LogBufferWords = std::array<LogWords, 256>;

    explicit Engine(EngineOptions options = {});

    // ---- AddressHandler (called by the firmware) ----
    std::optional<std::uint16_t> Read(std::uint8_t address, std::uint8_t index) override;
    bool Write(std::uint8_t address, std::uint8_t index, std::uint16_t value) override;
    void Tick(Clock::time_point now) override;

    // ---- time ----
    void Advance(std::chrono::microseconds dt);
    double Seconds() const;

    // ---- scripting ----
    // Successive reads of `address` return these values, then the model again.
    void Script(std::uint8_t address, std::vector<std::uint16_t> values);
    // Reads of `address` return `value` until Release.
    void Hold(std::uint8_t address, std::uint16_t value);
    void Release(std::uint8_t address);

    // ---- log buffer ----
    void StartLog();   // what a write of 1000 to address 143 does
    // Records the rest of the log being recorded now (or a whole new one when
    // none is) and announces it as finished.
    void FinishLog();
    LogState GetLogState() const;
    LogBufferWords LogBuffer() const;
    int LogsStarted() const;
    int LogsFinished() const;
    // Called (on the device thread) with the log's number from 1 and its
    // words whenever a log is finished.
    void OnLogFinished(std::function<void(int, const LogBufferWords&)> callback);

    // ---- what was served ----
    // Lowest and highest TPS reading served at address 129 since the last reset.
    std::optional<std::pair<int, int>> ServedTpsRange() const;
    void ResetServedTpsRange();
    // Reads served per address.
    int ReadsOf(std::uint8_t address) const;

private:
    double Pedal() const;
    int TpsAdcLocked();
    int Rpm() const;
    bool Gas() const;
    int TimeToGasTenths() const;
    int Synchronisation() const;
    int ThrottleIndex() const;
    int GasCorrection() const;
    std::uint16_t StatusWord() const;
    std::optional<std::uint16_t> ModelValue(std::uint8_t address, std::uint8_t index);
    void AdvanceLocked(double seconds);
    void StartLogLocked();
    void RecordEntryLocked();
    void FinishLogLocked();
    int Noise(int amplitude);

    EngineOptions o_;
    mutable std::mutex mutex_;
    std::mt19937 rng_;
    double t_ = 0;                 // engine time, seconds
    double revolutions_ = 0;
    double adaptations_ = 0;
    std::optional<Clock::time_point> last_tick_;
    std::map<std::uint8_t, std::deque<std::uint16_t>> scripts_;
    std::map<std::uint8_t, std::uint16_t> holds_;
    std::map<std::uint8_t, int> reads_;
    std::optional<std::pair<int, int>> served_tps_;

    LogState log_state_ = LogState::Idle;
    LogBufferWords log_{};
    int log_recorded_ = 0;
    double log_next_entry_ = 0;
    double next_auto_log_ = 0;
    int logs_started_ = 0;
    int logs_finished_ = 0;
    std::function<void(int, const LogBufferWords&)> on_log_finished_;
};

}  // namespace tovrel::sim
