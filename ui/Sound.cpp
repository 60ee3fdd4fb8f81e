#include "Sound.h"

#include <QApplication>
#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

#ifdef TOVREL_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace tovrel::ui {

namespace {

void SystemBell() {
    if (auto* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [] { QApplication::beep(); }, Qt::QueuedConnection);
}

#ifdef TOVREL_HAVE_ALSA
// ALSA prints its complaints (no card, no configuration) on stderr; a
// machine without sound is normal here and the bell takes over silently.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}
#endif

}  // namespace

#ifdef _WIN32
Sound::Sound() : Sound(ToneOutput(&Sound::PlayWithBeepCall), &SystemBell) {}
#else
Sound::Sound() : Sound(&Sound::PlayOnSoundDevice, &SystemBell) {}
#endif

Sound::Sound(Output output, Bell bell, int pause_ms)
    : output_(std::move(output)), bell_(std::move(bell)), pause_ms_(pause_ms) {
    worker_ = std::thread([this] { Run(); });
}

Sound::Sound(ToneOutput output, Bell bell, int pause_ms)
    : tone_output_(std::move(output)), bell_(std::move(bell)), pause_ms_(pause_ms) {
    worker_ = std::thread([this] { Run(); });
}

Sound::~Sound() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    worker_.join();
}

void Sound::Beep(int hz, int ms) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({hz, ms});
    }
    wake_.notify_one();
}

void Sound::WaitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return stop_ || (queue_.empty() && !busy_); });
}

void Sound::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_) break;
        const Tone tone = queue_.front();
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        bool played = false;
        if (tone_output_) {
            played = tone_output_(tone);
        } else if (output_) {
            const auto samples = ToneSamples(tone.hz, tone.ms);
            played = !samples.empty() && output_(samples, kRate);
        }
        if (!played && bell_) bell_();
        // The bell is short: wait out the tone's length so that two beeps
        // still come apart, as they do with a real tone.
        const int wait_ms = (played ? 0 : std::max(tone.ms, 0)) + pause_ms_;
        lock.lock();
        wake_.wait_for(lock, std::chrono::milliseconds(wait_ms), [this] { return stop_; });
        busy_ = false;
        if (queue_.empty()) idle_.notify_all();
        if (stop_) break;
    }
    busy_ = false;
    idle_.notify_all();
}

std::vector<std::int16_t> Sound::ToneSamples(int hz, int ms, int rate) {
    if (hz < 20 || hz > 20000 || ms <= 0 || rate <= 0) return {};
    const auto n = static_cast<std::size_t>(static_cast<long long>(rate) * ms / 1000);
    const std::size_t fade = std::min<std::size_t>(static_cast<std::size_t>(rate / 200), n / 2);  // 5 ms
    std::vector<std::int16_t> out(n);
    constexpr double kAmplitude = 0.5 * 32767;
    for (std::size_t i = 0; i < n; ++i) {
        double gain = 1.0;
        if (i < fade) gain = static_cast<double>(i) / static_cast<double>(fade);
        else if (n - i <= fade) gain = static_cast<double>(n - i - 1) / static_cast<double>(fade);
        const double phase = 2 * std::numbers::pi * hz * static_cast<double>(i) / rate;
        out[i] = static_cast<std::int16_t>(std::lround(kAmplitude * gain * std::sin(phase)));
    }
    return out;
}

bool Sound::PlayOnSoundDevice(const std::vector<std::int16_t>& samples, int rate) {
#ifdef TOVREL_HAVE_ALSA
    snd_lib_error_set_handler(&QuietAlsa);
    snd_pcm_t* pcm = nullptr;
    // Opened without blocking: a device held by another program must not
    // stall the beep; then blocking writes, on this worker only.
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return false;
    bool ok = snd_pcm_nonblock(pcm, 0) >= 0 &&
              snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                 static_cast<unsigned>(rate), 1, 100000) >= 0;
    std::size_t done = 0;
    while (ok && done < samples.size()) {
        snd_pcm_sframes_t w = snd_pcm_writei(pcm, samples.data() + done, samples.size() - done);
        if (w < 0) w = snd_pcm_recover(pcm, static_cast<int>(w), 1);
        if (w < 0) ok = false;
        else done += static_cast<std::size_t>(w);
    }
    if (ok) snd_pcm_drain(pcm);
    snd_pcm_close(pcm);
    return ok;
#else
    (void)samples;
    (void)rate;
    return false;
#endif
}

bool Sound::PlayWithBeepCall(Tone tone) {
#ifdef _WIN32
    if (tone.hz < 37 || tone.hz > 32767 || tone.ms <= 0) return false;
    return ::Beep(static_cast<DWORD>(tone.hz), static_cast<DWORD>(tone.ms)) != 0;
#else
    (void)tone;
    return false;
#endif
}

}  // namespace tovrel::ui
