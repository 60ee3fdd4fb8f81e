// Monitor recordings: written row by row, read back, and the files that are
// not recordings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Recording.h"

using namespace tovrel;
namespace fs = std::filesystem;

namespace {

class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tovrel-recording-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }

    fs::path dir;
};

RealtimeSnapshot Pass(int n) {
    RealtimeSnapshot s;
    s.pass = n;
    s.engine_speed = static_cast<std::uint16_t>(800 + 10 * n);
    s.tps_adc = 512;
    s.status = 0x0100 | 0x0200 | 17;  // gas, direct send, throttle index 17
    s.tps_correction = 0x00F6;        // -10 % on gas
    s.advance = -125;
    s.gas_time_sync = 0x0301;         // 0.3 s, synchronised
    s.cmp_edges = 0x3A02;
    s.temperature_raw = 1700;
    if (n % 2) s.adaptation_coefficient = 42;
    return s;
}

}  // namespace

TEST_F(RecordingTest, RowsReadBackAsThePassesTheyWere) {
    DeviceOptions options;
    options.TimerDivision = 16;
    options.DeviceCapabilities.ReadFromDevice(0x0600);
    std::string error;
    auto file = RecordingFile::Create(dir, "2026-12-11_10-00-00", RecordingPreamble(options, 0xCAFEF00Du), &error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(file->Path().filename(), "run-2026-12-11_10-00-00.csv");
    for (int n = 0; n < 5; ++n) {
        if (n == 2) {
            RealtimeSnapshot failed;
            failed.pass = 2;
            ASSERT_TRUE(file->Append(RecordingFailedRow(failed, 200)));
            ASSERT_TRUE(file->Mark(250));
            continue;
        }
        ASSERT_TRUE(file->Append(RecordingRow(Pass(n), n * 100, n == 4 ? std::nullopt : std::optional(7.25 + n))));
    }
    // Read while the file is still open: a killed program leaves this.
    auto r = ReadRecording(file->Path(), &error);
    ASSERT_TRUE(r) << error;
    EXPECT_EQ(r->first_bad_line, 0u);
    ASSERT_EQ(r->passes.size(), 5u);
    EXPECT_EQ(r->markers, std::vector<long>{250});
    ASSERT_GE(r->preamble.size(), 3u);
    EXPECT_NE(r->preamble[1].find("capability word 0x0600"), std::string::npos);
    EXPECT_EQ(r->preamble[2], "configuration CRC-32 CAFEF00D");
    for (int n : {0, 1, 3, 4}) {
        SCOPED_TRACE(n);
        const auto& p = r->passes[static_cast<std::size_t>(n)];
        const RealtimeSnapshot want = Pass(n);
        EXPECT_FALSE(p.failed);
        EXPECT_EQ(p.ms, n * 100);
        EXPECT_EQ(p.snapshot.pass, n);
        EXPECT_EQ(p.snapshot.engine_speed, want.engine_speed);
        EXPECT_EQ(p.snapshot.status, want.status);
        EXPECT_EQ(p.snapshot.Correction(), -10);
        EXPECT_EQ(p.snapshot.advance, -125);
        EXPECT_EQ(p.snapshot.TimeToGasTenths(), 3);
        EXPECT_EQ(p.snapshot.Synchronisation(), 1);
        EXPECT_EQ(p.snapshot.Cmp1Edges(), 0x3A);
        EXPECT_EQ(p.snapshot.temperature_raw, 1700);
        EXPECT_EQ(p.snapshot.adaptation_coefficient, want.adaptation_coefficient);
        // The row the pass gives again is the row that was written.
        EXPECT_EQ(RecordingRow(p.snapshot, p.ms, p.map_value),
                  RecordingRow(want, n * 100, n == 4 ? std::nullopt : std::optional(7.25 + n)));
    }
    EXPECT_TRUE(r->passes[2].failed);

    // A second recording of the same second gets a name of its own.
    auto second = RecordingFile::Create(dir, "2026-12-11_10-00-00", "", &error);
    ASSERT_TRUE(second) << error;
    EXPECT_EQ(second->Path().filename(), "run-2026-12-11_10-00-00-2.csv");
    EXPECT_EQ(fs::file_size(dir / "run-2026-12-11_10-00-00.csv"), fs::file_size(file->Path()));
}

TEST_F(RecordingTest, DamagedFilesOpenWhatTheyCanAndNameTheFirstBadLine) {
    const std::string header = std::string(kRecordingColumns) + "\r\n";
    const std::string good = RecordingRow(Pass(1), 100, 3.5);
    std::string error;

    // A garbage line and a cut last row (a program killed mid-write).
    auto r = ReadRecording(Write("garbage.csv", header + good + "\xFF\xFEnot a row\r\n" + good +
                                                    good.substr(0, good.size() / 2)),
                           &error);
    ASSERT_TRUE(r) << error;
    EXPECT_EQ(r->passes.size(), 2u);
    EXPECT_EQ(r->first_bad_line, 3u);
    EXPECT_FALSE(r->first_bad_reason.empty());

    // The command line's files from before the map's column still open.
    const std::string old_header = std::string(kRecordingColumns.substr(0, kRecordingColumns.rfind(','))) + "\r\n";
    const std::string old_row = good.substr(0, good.rfind(',')) + "\r\n";
    r = ReadRecording(Write("old.csv", old_header + old_row), &error);
    ASSERT_TRUE(r) << error;
    ASSERT_EQ(r->passes.size(), 1u);
    EXPECT_FALSE(r->passes[0].map_value);
    EXPECT_EQ(r->first_bad_line, 0u);

    struct Refused {
        const char* name;
        std::string bytes;
        const char* says;
    } refused[] = {
        {"empty.csv", "", "empty"},
        {"other.csv", "a,b,c\r\n1,2,3\r\n", "not a monitor recording"},
        {"comments.csv", "# only a preamble\r\n", "no header"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        error.clear();
        EXPECT_FALSE(ReadRecording(Write(c.name, c.bytes), &error));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_NE(error.find(c.name), std::string::npos) << error;
    }
    EXPECT_FALSE(ReadRecording(dir / "missing.csv", &error));
    EXPECT_NE(error.find("missing.csv"), std::string::npos);
}

TEST(RecordingChecksumTest, Crc32OfKnownText) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32(""), 0u);
}

TEST(RecordingHistogramTest, TimeAtEachMapPointWithFilters) {
    TimingMaps maps;
    InitTimingMaps(maps);
    Recording r;
    // rpm, throttle index, gas, synchronised, time (ms)
    struct Row {
        int rpm, index;
        bool gas, sync;
        long ms;
        bool failed = false;
    } rows[] = {
        {800, 5, true, true, 0},       {820, 5, true, true, 200},   // 0.2 s then 0.3 s near 800 rpm
        {3000, 40, true, false, 500},  {3000, 40, false, true, 700},
        {3000, 40, false, true, 800, true},                          // failed: counts nothing
        {1000, 0, true, true, 900},    {1000, 0, true, true, 5000},  // a 4 s gap counts 1 s; the last counts nothing
    };
    for (const auto& row : rows) {
        RecordedPass p;
        p.ms = row.ms;
        p.failed = row.failed;
        p.snapshot.engine_speed = static_cast<std::uint16_t>(row.rpm);
        p.snapshot.status = static_cast<std::uint16_t>((row.gas ? 0x100 : 0) | row.index);
        p.snapshot.gas_time_sync = row.sync ? 1 : 0;
        r.passes.push_back(p);
    }
    const auto all = TimeAtMapPoints(r, maps.LPG, MapKind::LPG);
    EXPECT_DOUBLE_EQ(all[8], 0.5);
    EXPECT_DOUBLE_EQ(all[30], 0.2 + 0.1);
    EXPECT_DOUBLE_EQ(all[10], 1.0);
    double total = 0;
    for (double s : all) total += s;
    EXPECT_DOUBLE_EQ(total, 1.8);

    const auto petrol = TimeAtMapPoints(r, maps.LPG, MapKind::LPG, {.gas = false, .synchronised_only = false});
    EXPECT_DOUBLE_EQ(petrol[30], 0.1);
    EXPECT_DOUBLE_EQ(petrol[8], 0);
    const auto synced = TimeAtMapPoints(r, maps.LPG, MapKind::LPG, {.gas = std::nullopt, .synchronised_only = true});
    EXPECT_DOUBLE_EQ(synced[30], 0.1);
    EXPECT_DOUBLE_EQ(synced[8], 0.5);
    // A throttle map goes by the throttle index.
    const auto throttle = TimeAtMapPoints(r, maps.LPGLoadDependence, MapKind::LPGLoadDependence);
    EXPECT_DOUBLE_EQ(throttle[5], 0.5);
    EXPECT_DOUBLE_EQ(throttle[40], 0.3);
    EXPECT_DOUBLE_EQ(throttle[0], 1.0);
}
