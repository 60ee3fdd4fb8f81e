// Oscillogram records streamed from the simulated oscilloscope firmware
// unpaced, as fast as the pseudo-terminal carries them. The record file is
// compared with what the simulator sent (nothing may be lost or altered) and
// the records per second are printed as a ratio to the line rate at 9600
// baud: 240 records/s in 16-bit mode (4 bytes), 160 in 32-bit mode (6 bytes).
// Target: 10 or more in 16-bit mode, with nothing lost.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "BenchSupport.h"
#include "ImageCanvas.h"
#include "Ocsilloscope.h"
#include "StoredScreen.h"
#include "Variator.h"

namespace {

using Clock = std::chrono::steady_clock;

// Notes when the capture reached its first and its last record.
class TimingScreen : public tovrel::StoredScreen {
public:
    Clock::time_point first{}, last{};
    long first_number = -1, last_number = -1;

protected:
    void OnSet(std::string_view control, tovrel::Property property, const tovrel::PropertyValue& value) override {
        if (control != "Oscill_Label" || property != tovrel::Property::Text) return;
        const auto* text = std::get_if<std::string>(&value);
        static const std::string prefix = "Записали ";
        if (!text || text->rfind(prefix, 0) != 0) return;
        const long n = std::strtol(text->c_str() + prefix.size(), nullptr, 10);
        const auto now = Clock::now();
        if (first_number < 0) {
            first_number = n;
            first = now;
        }
        last_number = n;
        last = now;
    }
};

struct Result {
    bool ok = false;
    long records = 0;
    long mismatched = 0;
    double per_second = 0;
};

Result Run(const std::string& dir, int port, bool mode32, int count) {
    Result result;
    auto log = std::make_shared<tovrel::sim::ScopeLog>();
    tovrel::sim::Options o;
    o.port_dir = dir;
    o.port_number = port;
    o.mode = 3;
    o.paced = false;
    o.scope_records = count;
    o.scope_step_ms = 0;
    o.scope_log = log;
    tovrel::sim::Variator device(o);
    device.Start();

    TimingScreen screen;
    tovrel::DeviceLink link(screen);
    link.port_dir = dir;
    link.sleep_ms = [](int) {};
    if (link.Connect(port, false) != 3) {
        std::fprintf(stderr, "bench_scope: no oscilloscope firmware on the line\n");
        return result;
    }
    link.DeviceMode = 3;
    tovrel::ImageCanvas canvas(tovrel::kOscillImageWidth, tovrel::kOscillImageHeight);
    tovrel::Oscilloscope scope(link, canvas);
    scope.record_dir = dir;
    tovrel::SetUpOscilloscopePage(screen);
    screen.SetChecked("Oscilloscope_32_Mode_CheckBox", mode32);
    scope.ConnectAndShowOsciillButtonClick();
    link.Disconnect();
    device.Stop();

    if (scope.LastEnd() != tovrel::CaptureEnd::FinishedByDevice) {
        std::fprintf(stderr, "bench_scope: the capture did not finish (%s)\n", screen.Text("Oscill_Label").c_str());
        return result;
    }
    // The file as it must be, built from what the simulator sent.
    const auto sent = log->Records();
    std::string expected = tovrel::HeadLine(scope.AdaptationStepCount);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        tovrel::OscillogramRecord r;
        r.marker = sent[i][0];
        const std::size_t n = std::min(sent[i].size(), r.data.size() + 1);
        for (std::size_t k = 1; k < n; ++k) r.data[k - 1] = sent[i][k];
        expected += tovrel::RecordLine(static_cast<std::uint32_t>(i), r, mode32);
    }
    std::ifstream in(scope.RecordFilePath(), std::ios::binary);
    const std::string actual{std::istreambuf_iterator<char>(in), {}};
    // Compare line by line so that a loss shows as a count.
    auto lines = [](const std::string& s) {
        std::vector<std::string> v;
        std::size_t at = 0;
        while (at < s.size()) {
            auto end = s.find('\n', at);
            if (end == std::string::npos) end = s.size();
            v.push_back(s.substr(at, end - at));
            at = end + 1;
        }
        return v;
    };
    const auto want = lines(expected), got = lines(actual);
    for (std::size_t k = 0; k < std::max(want.size(), got.size()); ++k)
        if (k >= want.size() || k >= got.size() || want[k] != got[k]) ++result.mismatched;
    result.records = static_cast<long>(scope.RecordsWritten());
    if (static_cast<long>(sent.size()) != count || result.records != count) result.mismatched += 1;
    const double seconds = std::chrono::duration<double>(screen.last - screen.first).count();
    if (screen.last_number > screen.first_number && seconds > 0)
        result.per_second = static_cast<double>(screen.last_number - screen.first_number) / seconds;
    result.ok = result.mismatched == 0;
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
    if (count < 2 || count > 50000) {
        std::fprintf(stderr, "usage: bench_scope [COUNT]   (2 to 50000 records, default 20000)\n");
        return 2;
    }
    tovrel::bench::PortDir ports;
    const std::string& dir = ports.path();
    int status = 0;
    struct Mode {
        bool mode32;
        const char* name;
        double line_rate;
    };
    for (const Mode m : {Mode{false, "16-bit", 240.0}, Mode{true, "32-bit", 160.0}}) {
        const auto r = Run(dir, m.mode32 ? 2 : 1, m.mode32, count);
        std::printf("%s: %ld records, %ld lines lost or altered, %.0f records/s; line rate %.0f records/s\n", m.name,
                    r.records, r.mismatched, r.per_second, m.line_rate);
        std::printf("%s ratio: %.1f (target >= 10 with nothing lost)\n", m.name, r.per_second / m.line_rate);
        if (!r.ok || (!m.mode32 && r.per_second / m.line_rate < 10)) status = 1;
    }
    return status;
}
