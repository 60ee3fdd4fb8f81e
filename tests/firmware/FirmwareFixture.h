#pragma once
// A firmware update wired to a recording screen and a device link whose
// pauses are recorded instead of waited, with loader timeouts short enough
// for an unpaced simulator.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "Firmwareupdate.h"
#include "SimFixture.h"

namespace tovrel::test {

// Keeps every line appended to the update log, also those the closing steps
// delete again.
class LogScreen : public RecordingScreen {
public:
    std::vector<std::string> log;
    std::vector<std::pair<std::string, std::string>> dialogs;  // dialog, filter
    std::optional<std::string> ChooseFile(std::string_view dialog, FileDialogMode mode,
                                          std::string_view filter) override {
        dialogs.emplace_back(dialog, filter);
        return RecordingScreen::ChooseFile(dialog, mode, filter);
    }
    void AppendLine(std::string_view control, std::string_view line) override {
        if (control == kFirmwareMemo) log.emplace_back(line);
        RecordingScreen::AppendLine(control, line);
    }
    bool Logged(std::string_view line) const { return std::find(log.begin(), log.end(), line) != log.end(); }
    int CountLogged(std::string_view line) const {
        return static_cast<int>(std::count(log.begin(), log.end(), std::string(line)));
    }
    // The lines that follow `line` (its first occurrence), at most n of them.
    std::vector<std::string> After(std::string_view line, std::size_t n) const {
        auto it = std::find(log.begin(), log.end(), line);
        if (it == log.end()) return {};
        ++it;
        auto end = it + static_cast<std::ptrdiff_t>(std::min<std::size_t>(n, static_cast<std::size_t>(log.end() - it)));
        return {it, end};
    }
    std::vector<int> Positions(std::string_view control) const {
        std::vector<int> out;
        for (const auto& e : events)
            if (e.control == control && e.property == Property::Position)
                if (auto* i = std::get_if<int>(&e.value)) out.push_back(*i);
        return out;
    }
};

// Loader timeouts scaled down: the simulator answers at once when unpaced.
inline constexpr SerialTimeouts kQuickSearch{250, 1, 250, 1, 1000};
inline constexpr SerialTimeouts kQuickTransfer{1000, 1, 1000, 1, 1000};

inline std::vector<std::uint8_t> RandomImage(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    return bytes;
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class FirmwareFixture : public ::testing::Test {
protected:
    void SetUp() override {
        link = std::make_unique<DeviceLink>(screen);
        link->sleep_ms = [this](int ms) { sleeps.push_back(ms); };
        link->default_port_dir = dir.path();
        link->port_dir = dir.path();
    }
    void TearDown() override {
        update.reset();
        link.reset();
        sims.clear();
    }
    sim::Variator& AddSim(int port, int mode = 1, sim::Options extra = {}) {
        extra.port_dir = dir.path();
        extra.port_number = port;
        extra.mode = mode;
        sims.push_back(std::make_unique<sim::Variator>(extra));
        sims.back()->Start();
        return *sims.back();
    }
    // A firmware update on the real serial port, with quick loader timeouts.
    FirmwareUpdate& MakeUpdate(std::unique_ptr<LoaderSerialPort> port = std::make_unique<ComPort>()) {
        update = std::make_unique<FirmwareUpdate>(*link, std::move(port));
        update->LoaderPort.search_timeouts = kQuickSearch;
        update->LoaderPort.transfer_timeouts = kQuickTransfer;
        update->read_configuration = [this] { ++configuration_reads; };
        InitFirmwarePage(screen);
        return *update;
    }
    std::string ImageFile(const std::vector<std::uint8_t>& bytes, const std::string& name = "image.evf0") {
        auto path = dir / name;
        WriteBytes(path, bytes);
        return path;
    }
    // The state every update leaves the page in. The log is emptied, or keeps
    // every line when the update ended in a way the user must act on.
    void ExpectPageClosed(bool log_kept = false) {
        if (log_kept) {
            std::string all;
            for (const auto& line : screen.log) all += line + "\n";
            all.pop_back();
            EXPECT_TRUE(screen.Text(kFirmwareMemo).ends_with(all)) << screen.Text(kFirmwareMemo);
        } else {
            EXPECT_EQ(screen.Text(kFirmwareMemo), "");
        }
        EXPECT_FALSE(screen.IsEnabled(kFirmwareStopButton));
        EXPECT_EQ(screen.Text(kFirmwareButton), Tr(kFirmwareButtonCaption));
        EXPECT_EQ(screen.Number(kFirmwareGauge, Property::Position), 0);
        EXPECT_TRUE(screen.IsEnabled(kFirmwareButton));
        EXPECT_FALSE(update->LoaderPort.IsOpen());
        ASSERT_FALSE(sleeps.empty());
        EXPECT_EQ(sleeps.back(), 2000);
    }

    TempDir dir;
    LogScreen screen;
    std::unique_ptr<DeviceLink> link;
    std::vector<std::unique_ptr<sim::Variator>> sims;
    std::unique_ptr<FirmwareUpdate> update;
    std::vector<int> sleeps;
    int configuration_reads = 0;
};

}  // namespace tovrel::test
