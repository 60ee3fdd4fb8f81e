// The log viewer on a one-hour recording (about 30,000 passes at the
// monitor's pace, generated into a temporary folder):
// - open to shown: from Open() to the plots drawn (target: under 1 s);
// - panning: frame time of ~200 pans of the time axis, each a range change
//   and an immediate redraw, over a 10-minute window and over the whole hour
//   (target: p99 under 17 ms);
// - memory: resident size with the recording open and panned, above the
//   same window idle (target: under 50 MB).
// Runs on the offscreen platform unless a display or a platform is given.
// With --screenshot FILE it also saves a picture of the viewer on five
// minutes of the drive, the cursor in the middle.
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Desktop.h"
#include "LogViewer.h"
#include "Program.h"
#include "Recording.h"
#include <qcustomplot.h>

namespace {

constexpr int kPasses = 30000;
constexpr long kPassMs = 120;  // an hour of passes at the monitor's pace

double Percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

double ResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

// A drive: idling, pulls through the gears, cruising; gas after the first
// minutes, synchronisation lost now and then.
std::string OneHour() {
    std::string text = "# generated drive\r\n" + std::string(tovrel::kRecordingColumns) + "\r\n";
    text.reserve(static_cast<std::size_t>(kPasses) * 110);
    for (int i = 0; i < kPasses; ++i) {
        const double t = i * kPassMs / 1000.0;
        tovrel::RealtimeSnapshot s;
        s.pass = i + 1;
        const double rpm = 2600 + 1700 * std::sin(t / 23.0) + 500 * std::sin(t / 3.1);
        s.engine_speed = static_cast<std::uint16_t>(std::clamp(rpm, 750.0, 6500.0));
        const int throttle = static_cast<int>(std::clamp(40 + 38 * std::sin(t / 7.0), 0.0, 79.0));
        const bool gas = t > 180;
        s.status = static_cast<std::uint16_t>((gas ? 0x100 : 0) | throttle);
        s.gas_time_sync = static_cast<std::uint16_t>((i % 977) < 20 ? 0 : 1);
        s.advance = static_cast<std::int16_t>(1000 + s.engine_speed / 4 + (i % 7) * 10);
        s.tps_adc = static_cast<std::int16_t>(300 + throttle * 40);
        text += tovrel::RecordingRow(s, static_cast<long>(i) * kPassMs, 10.0 + s.engine_speed / 400.0);
    }
    return text;
}

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(10);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    tovrel::ui::UseTahoma(app);
    tovrel::bench::PortDir dir;
    const std::string path = (std::filesystem::path(dir.path()) / "run-one-hour.csv").string();
    {
        const std::string bytes = OneHour();
        std::ofstream(path, std::ios::binary) << bytes;
        std::printf("recording: %d passes, %.1f MB\n", kPasses, static_cast<double>(bytes.size()) / (1 << 20));
    }

    tovrel::ui::Desktop desktop;
    // Advance maps near what the drive applies, in the program's document.
    desktop.device.Post([](tovrel::Program& p) {
        tovrel::TimingMaps maps = p.maps.document.Maps();
        for (int k = 0; k < 2; ++k)
            for (std::size_t i = 0; i < tovrel::MapPointCount; ++i)
                maps[k].y[i] = std::round((9.5 + maps[k].x[i] / 420.0) * 10) / 10;
        p.maps.document.ReplaceAll(maps, tovrel::MapEditCause::Replace);
    });
    auto* viewer = new tovrel::ui::LogViewer(desktop.ctx, desktop.live_feed);
    viewer->resize(1280, 900);
    viewer->show();
    Settle();
    desktop.device.WaitIdle(5000);
    Settle();
    const double idle_mb = ResidentMb();

    // Open to shown, a few times; the plots are drawn when `shown` comes.
    std::vector<double> open_ms;
    for (int round = 0; round < 5; ++round) {
        QSignalSpy shown(viewer, &tovrel::ui::LogViewer::shown);
        // Shown: the time plots drawn and the map chart after them.
        QSignalSpy map_drawn(viewer->MapPlot(), &QCustomPlot::afterReplot);
        QElapsedTimer timer;
        timer.start();
        viewer->Open(QString::fromStdString(path));
        if (!QTest::qWaitFor([&] { return shown.count() > 0 && map_drawn.count() > 0; }, 30000)) {
            std::fprintf(stderr, "bench_log_viewer: the recording was not shown: %s\n",
                         qPrintable(viewer->Status()));
            return 1;
        }
        viewer->repaint();
        open_ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        Settle();
    }
    if (viewer->PointCount() != kPasses) {
        std::fprintf(stderr, "bench_log_viewer: %d points shown of %d\n", viewer->PointCount(), kPasses);
        return 1;
    }

    // Panning: each step moves the shared time axis and redraws at once.
    auto* plot = viewer->TimePlots();
    auto* time_axis = plot->axisRect(0)->axis(QCPAxis::atBottom);
    const double hour = kPasses * kPassMs / 1000.0;
    auto pans = [&](double width) {
        std::vector<double> frames;
        double lower = 0;
        // Across the hour, or (the whole hour in view) back and forth by a
        // tenth of it.
        const double step = (hour - width) / 200.0;
        for (int k = 0; k < 200; ++k) {
            QElapsedTimer timer;
            timer.start();
            time_axis->setRange(lower, lower + width);
            plot->replot(QCustomPlot::rpImmediateRefresh);
            frames.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            lower = step > 0 ? lower + step : (k % 2 ? 0.0 : width / 10.0);
            viewer->MoveCursorTo(lower + width / 2);  // the cursor follows, as under the mouse
        }
        return frames;
    };
    const auto window_frames = pans(600.0);
    const auto hour_frames = pans(hour);
    Settle();
    const double open_mb = ResidentMb();

    std::printf("open to shown (one-hour recording): median %.0f ms, max %.0f ms (target < 1000)\n",
                Percentile(open_ms, 0.5), *std::max_element(open_ms.begin(), open_ms.end()));
    std::printf("panning a 10-minute window: p50 %.1f ms, p99 %.1f ms over %zu pans (target p99 < 17)\n",
                Percentile(window_frames, 0.5), Percentile(window_frames, 0.99), window_frames.size());
    std::printf("panning the whole hour: p50 %.1f ms, p99 %.1f ms over %zu pans (target p99 < 17)\n",
                Percentile(hour_frames, 0.5), Percentile(hour_frames, 0.99), hour_frames.size());
    std::printf("memory above the idle viewer: %.1f MB (idle %.1f MB, open %.1f MB) (target < 50)\n",
                open_mb - idle_mb, idle_mb, open_mb);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) != "--screenshot") continue;
        viewer->SetFilter({true, true});
        time_axis->setRange(900, 1200);
        viewer->MoveCursorTo(1050);
        plot->replot();
        Settle();
        if (!viewer->grab().save(QString::fromLocal8Bit(argv[i + 1]))) {
            std::fprintf(stderr, "bench_log_viewer: cannot save %s\n", argv[i + 1]);
            return 1;
        }
    }
    delete viewer;
    desktop.Stop(10000);
    return 0;
}
