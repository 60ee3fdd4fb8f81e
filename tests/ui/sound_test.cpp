// The desktop's beeps: the tone's samples, and the worker that plays them in
// order without holding up the caller.
#include <QtTest>
#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

#include "Sound.h"

using tovrel::ui::Sound;
using Clock = std::chrono::steady_clock;

namespace {

int ZeroCrossings(const std::vector<std::int16_t>& s) {
    int n = 0;
    for (std::size_t i = 1; i < s.size(); ++i)
        if ((s[i - 1] < 0) != (s[i] < 0)) ++n;
    return n;
}

long Ms(Clock::duration d) { return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count()); }

}  // namespace

class SoundTest : public QObject {
    Q_OBJECT
private slots:
    void toneHasItsPitchAndLength_data() {
        QTest::addColumn<int>("hz");
        QTest::addColumn<int>("ms");
        QTest::addColumn<int>("samples");
        QTest::newRow("after the update") << 523 << 250 << 11025;
        QTest::newRow("after the reconnection") << 523 << 500 << 22050;
        QTest::newRow("low") << 100 << 1000 << 44100;
        QTest::newRow("too low to hear") << 10 << 250 << 0;
        QTest::newRow("too high") << 25000 << 250 << 0;
        QTest::newRow("no length") << 523 << 0 << 0;
        QTest::newRow("negative length") << 523 << -5 << 0;
    }
    void toneHasItsPitchAndLength() {
        QFETCH(int, hz);
        QFETCH(int, ms);
        QFETCH(int, samples);
        const auto s = Sound::ToneSamples(hz, ms, 44100);
        QCOMPARE(static_cast<int>(s.size()), samples);
        if (s.empty()) return;
        const double expected = 2.0 * hz * ms / 1000.0;
        QVERIFY2(std::abs(ZeroCrossings(s) - expected) <= 3, qPrintable(QString::number(ZeroCrossings(s))));
        const auto [lo, hi] = std::minmax_element(s.begin(), s.end());
        QVERIFY(*hi > 15000 && *hi < 17000);  // half scale: loud, not harsh
        QVERIFY(*lo < -15000);
        // Faded: no click at either end.
        QVERIFY(std::abs(s.front()) < 100);
        QVERIFY(std::abs(s.back()) < 100);
    }

    void tonesPlayInOrderWithoutHoldingTheCaller() {
        std::mutex m;
        std::vector<std::pair<int, Clock::time_point>> played;  // crossings, when it started
        std::atomic<bool> release{false};
        Sound sound(
            [&](const std::vector<std::int16_t>& s, int) {
                {
                    std::lock_guard lock(m);
                    played.push_back({ZeroCrossings(s), Clock::now()});
                }
                while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                return true;
            },
            [] { QFAIL("the bell rang although the tone played"); }, 50);
        const auto start = Clock::now();
        sound.Beep(523, 250);
        sound.Beep(1000, 500);
        sound.Beep(523, 500);
        QVERIFY(Ms(Clock::now() - start) < 50);  // the device is still "playing" the first
        QTest::qWait(20);
        {
            std::lock_guard lock(m);
            QCOMPARE(played.size(), std::size_t{1});
        }
        release = true;
        sound.WaitIdle();
        QCOMPARE(played.size(), std::size_t{3});
        QVERIFY(std::abs(played[0].first - 261) <= 3);
        QVERIFY(std::abs(played[1].first - 1000) <= 3);
        QVERIFY(std::abs(played[2].first - 523) <= 3);
        // A pause between two, so that "twice" is heard twice.
        QVERIFY(Ms(played[2].second - played[1].second) >= 50);
    }

    void withoutSoundDeviceTheBellRingsOncePerBeep() {
        std::mutex m;
        std::vector<Clock::time_point> bells;
        Sound sound([](const std::vector<std::int16_t>&, int) { return false; },
                    [&] {
                        std::lock_guard lock(m);
                        bells.push_back(Clock::now());
                    },
                    20);
        sound.Beep(523, 200);
        sound.Beep(523, 200);
        sound.WaitIdle();
        QCOMPARE(bells.size(), std::size_t{2});
        // The second waits out the first one's length.
        QVERIFY(Ms(bells[1] - bells[0]) >= 200);
    }

    // Windows plays a tone with its Beep call: the output is handed the
    // pitch and length as asked, and a tone it cannot play rings the bell.
    void aToneOutputGetsThePitchAndLength() {
        std::mutex m;
        std::vector<std::pair<int, int>> tones;
        int bells = 0;
        Sound sound(
            Sound::ToneOutput([&](Sound::Tone t) {
                std::lock_guard lock(m);
                tones.push_back({t.hz, t.ms});
                return t.hz != 10;
            }),
            [&] {
                std::lock_guard lock(m);
                ++bells;
            },
            0);
        sound.Beep(523, 250);
        sound.Beep(10, 30);
        sound.Beep(1000, 500);
        sound.WaitIdle();
        QCOMPARE(tones, (std::vector<std::pair<int, int>>{{523, 250}, {10, 30}, {1000, 500}}));
        QCOMPARE(bells, 1);
    }

    // What Windows' Beep does not take is refused before the call (on
    // Linux there is no such call at all).
    void theBeepCallRefusesWhatItCannotPlay() {
        for (auto [hz, ms] : {std::pair{36, 250}, {32768, 250}, {523, 0}, {523, -1}})
            QVERIFY(!Sound::PlayWithBeepCall({hz, ms}));
#ifndef _WIN32
        QVERIFY(!Sound::PlayWithBeepCall({523, 1}));
#endif
    }

    void endingWithTonesQueuedDoesNotWaitForThemAll() {
        const auto start = Clock::now();
        {
            Sound sound([](const std::vector<std::int16_t>&, int) { return false; }, [] {}, 0);
            for (int i = 0; i < 20; ++i) sound.Beep(523, 500);
        }
        QVERIFY(Ms(Clock::now() - start) < 2000);
    }
};

QTEST_GUILESS_MAIN(SoundTest)
#include "sound_test.moc"
