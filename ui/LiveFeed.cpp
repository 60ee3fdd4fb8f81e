#include "LiveFeed.h"

#include <QMetaObject>
#include <QPointer>

#include "ConfigFile.h"
#include "Program.h"
#include "Recording.h"
#include "SettingsPage.h"

namespace tovrel::ui {

void LiveFeed::Publish(const LiveSample& sample) {
    last_ = sample;
    emit this->sample(sample);
}

void LiveFeed::SetMonitorRunning(bool running) {
    if (running == running_) return;
    running_ = running;
    emit monitorRunningChanged(running);
}

LiveSample MakeLiveSample(Program& program, const RealtimeSnapshot& s, long ms, bool with_crc) {
    LiveSample sample;
    sample.snapshot = s;
    const TimingMaps& maps = program.maps.document.Maps();
    sample.points = OperatingPoints(s, maps);
    sample.ms = ms;
    sample.made = std::chrono::steady_clock::now();
    sample.options = program.settings.options;
    if (with_crc) {
        // The checksum of the configuration as a save would write it now.
        const std::string timeout = SettingsPage(program.screen).StartTimeout().Text();
        sample.configuration_crc = Crc32(ConfigurationXml(maps.LPG, maps.Petrol, maps.LPGLoadDependence,
                                                          maps.PetrolLoadDependence, timeout));
    }
    return sample;
}

void AttachLiveFeed(Program& program, LiveFeed* feed, const std::atomic<bool>* with_crc) {
    QPointer<LiveFeed> target(feed);
    auto started = std::make_shared<std::chrono::steady_clock::time_point>();
    program.live.on_pass = [&program, target, started, with_crc](const RealtimeSnapshot& s) {
        const auto now = std::chrono::steady_clock::now();
        if (s.pass == 0) *started = now;
        const long ms = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(now - *started).count());
        LiveSample sample = MakeLiveSample(program, s, ms, with_crc && with_crc->load());
        if (!target) return;
        QMetaObject::invokeMethod(
            target.data(),
            [target, sample = std::move(sample)] {
                if (target) target->Publish(sample);
            },
            Qt::QueuedConnection);
    };
}

}  // namespace tovrel::ui
