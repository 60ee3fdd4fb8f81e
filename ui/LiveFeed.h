#pragma once
// The window's live values: every monitor pass (and, during playback, every
// recorded pass) reaches the views that follow the engine — the operating
// point on the map charts, grids and 3D views, the dashboard, the recorder —
// through one feed on the GUI thread. The device thread fills in a sample
// after each pass it showed; playback publishes recorded passes the same way.
#include <QObject>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>

#include "DeviceOptions.h"
#include "LiveState.h"
#include "OperatingPoint.h"

namespace tovrel {
class Program;
}

namespace tovrel::ui {

struct LiveSample {
    RealtimeSnapshot snapshot;
    // The operating point on each map, in the order of kMapKinds, from the
    // maps as they were at this pass.
    std::array<MapOperatingPoint, 4> points{};
    // Milliseconds since the run began (live) or the recording's own time
    // (playback).
    long ms = 0;
    bool playback = false;
    // When the device thread finished the pass (for latency figures).
    std::chrono::steady_clock::time_point made{};
    // What a recording's first lines name: the device's options and the
    // checksum of the configuration in the program.
    DeviceOptions options{};
    std::optional<std::uint32_t> configuration_crc;
};

class LiveFeed : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // GUI thread: hands a sample to every view.
    void Publish(const LiveSample& sample);
    // GUI thread: a monitor run began or ended (the device session says so).
    void SetMonitorRunning(bool running);
    bool MonitorRunning() const { return running_; }
    const std::optional<LiveSample>& Last() const { return last_; }

signals:
    void sample(const tovrel::ui::LiveSample& sample);
    void monitorRunningChanged(bool running);

private:
    bool running_ = false;
    std::optional<LiveSample> last_;
};

// Device thread: makes the sample of the pass `s` the monitor just showed;
// `with_crc` adds the configuration's checksum (a recording wants it).
LiveSample MakeLiveSample(Program& program, const RealtimeSnapshot& s, long ms, bool with_crc);

// Device thread, once the Program exists: every monitor pass from now on is
// published on `feed` (queued to its thread). While `*with_crc` is true the
// samples carry the configuration's checksum.
void AttachLiveFeed(Program& program, LiveFeed* feed, const std::atomic<bool>* with_crc = nullptr);

}  // namespace tovrel::ui

Q_DECLARE_METATYPE(tovrel::ui::LiveSample)
