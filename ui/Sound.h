#pragma once
// The desktop's beeps: a tone of the pitch and length the logic asks for,
// played on the default sound device where one exists (on Windows by the
// system's Beep call), otherwise the system bell.
//
// Beep returns at once, from any thread: the tones are played one after
// another by a worker of their own, with a short pause between two, so a
// device procedure is never held up by the sound and two beeps asked for in a
// row are heard as two.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tovrel::ui {

class Sound {
public:
    struct Tone {
        int hz = 0, ms = 0;
    };
    // Plays 16-bit mono samples at `rate`; false when there is no device to
    // play them on.
    using Output = std::function<bool(const std::vector<std::int16_t>& samples, int rate)>;
    // Plays one tone by itself (Windows' Beep call); false when it cannot.
    using ToneOutput = std::function<bool(Tone)>;
    // The system bell; called on the worker.
    using Bell = std::function<void()>;

    static constexpr int kRate = 44100;
    static constexpr int kPauseMs = 120;

    // Defaults: the ALSA "default" device (when built with ALSA) or on
    // Windows the Beep call, and the toolkit's beep on the GUI thread.
    Sound();
    Sound(Output output, Bell bell, int pause_ms = kPauseMs);
    Sound(ToneOutput output, Bell bell, int pause_ms = kPauseMs);
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    void Beep(int hz, int ms);
    // Waits until every queued tone has been played (tests, program end).
    void WaitIdle();

    // A sine of `hz` for `ms` at `rate`, faded in and out over a few
    // milliseconds so that it starts and ends without a click. Pitches
    // outside 20..20000 Hz, or a length of 0 or less, give no samples.
    static std::vector<std::int16_t> ToneSamples(int hz, int ms, int rate = kRate);
    // Plays on the ALSA "default" device; false when there is none.
    static bool PlayOnSoundDevice(const std::vector<std::int16_t>& samples, int rate);
    // Windows' Beep(hz, ms), which returns when the tone has ended; false
    // elsewhere, and for the pitches it does not take (37..32767 Hz) or no
    // length.
    static bool PlayWithBeepCall(Tone tone);

private:
    void Run();

    Output output_;
    ToneOutput tone_output_;
    Bell bell_;
    int pause_ms_;
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<Tone> queue_;
    bool busy_ = false;
    bool stop_ = false;
    std::thread worker_;
};

}  // namespace tovrel::ui
