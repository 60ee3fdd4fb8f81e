// Reading device log files back: a file the program wrote reads whole; a
// damaged one reads what it can and names its first bad line; an empty or
// oversized one is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "Cp1251.h"
#include "LogFile.h"
#include "LogFileRead.h"

namespace tovrel::test {
namespace {

namespace fs = std::filesystem;

class DeviceLogRead : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tovrel-logread-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Write(const std::string& bytes) {
        const fs::path p = dir_ / ("LOG_" + std::to_string(++n_) + ".txt");
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    static LogBuffer Entries() {
        LogBuffer e{};
        for (int k = 0; k < kLogEntryCount; ++k)
            e[static_cast<std::size_t>(k)] = {static_cast<std::uint16_t>(1000 + k * 100),
                                              static_cast<std::uint16_t>((k << 8) | ((k & 1) << 7) |
                                                                         ((k % 4) << 5) | (k % 32))};
        return e;
    }
    static std::string Good() { return FormatLogFile(16, 700, Entries()); }

    // The byte offset where line `n` (1-based) of `bytes` begins.
    static std::size_t LineStart(const std::string& bytes, int n) {
        std::size_t at = 0;
        for (int k = 1; k < n; ++k) at = bytes.find("\r\n", at) + 2;
        return at;
    }

    fs::path dir_;
    int n_ = 0;
};

TEST_F(DeviceLogRead, AFileTheProgramWroteReadsWhole) {
    std::string error;
    const auto log = ReadDeviceLog(Write(Good()), &error);
    ASSERT_TRUE(log) << error;
    EXPECT_EQ(log->adaptation_steps, 16);
    EXPECT_EQ(log->lowest_motor_rpm, 700);
    ASSERT_EQ(log->rows.size(), 256u);
    EXPECT_EQ(log->first_bad_line, 0u) << log->first_bad_reason;
    EXPECT_FALSE(log->utf8);
    const auto e = Entries();
    for (int k : {0, 7, 255}) {
        const auto& row = log->rows[static_cast<std::size_t>(k)];
        const auto& want = e[static_cast<std::size_t>(k)];
        EXPECT_EQ(row.index, k);
        EXPECT_EQ(row.t, want.T);
        EXPECT_EQ(row.rtc, want.RTC());
        EXPECT_EQ(row.syn_2b, want.SYN_2b());
        EXPECT_EQ(row.ngt_err, want.NGT_ERR());
        EXPECT_EQ(row.l, want.L());
    }
}

// Damage at a known line: the rest is read, that line is named.
TEST_F(DeviceLogRead, DamagedFilesReadWhatTheyCanAndNameTheFirstBadLine) {
    const std::string good = Good();
    auto replace_line = [&](int n, const std::string& with) {
        const auto from = LineStart(good, n), to = good.find("\r\n", from);
        return good.substr(0, from) + with + good.substr(to);
    };
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t rows;
        std::size_t bad_line;
        bool utf8;
    };
    const Case cases[] = {
        {"garbage line", replace_line(10, "\x01\x02garbage\xFF"), 255, 10, false},
        {"value out of range", replace_line(12, Utf8ToCp1251("№ 9     RTC 9   SYN_2b 7   NGT_ERR 9   L 1 T 5    ")),
         255, 12, false},
        {"field missing", replace_line(20, Utf8ToCp1251("№ 17    RTC 17  SYN_2b 0   NGT_ERR 17  L 1")), 255, 20,
         false},
        // The whole file saved again in UTF-8: values read, the first line named.
        {"wrong encoding", Cp1251ToUtf8(good), 256, 1, true},
        // Cut in the middle of entry 100's line (line 103).
        {"truncated mid-line", good.substr(0, LineStart(good, 103) + 9), 100, 103, false},
        // Cut at a line end after entry 99: the line of entry 100 is missing.
        {"truncated at a line end", good.substr(0, LineStart(good, 103)), 100, 103, false},
        {"lines out of order", replace_line(5, Utf8ToCp1251("№ 40    RTC 2   SYN_2b 1   NGT_ERR 2   L 0 T 1200 ")),
         256, 5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        const auto log = ReadDeviceLog(Write(c.bytes), &error);
        ASSERT_TRUE(log) << error;
        EXPECT_EQ(log->rows.size(), c.rows);
        EXPECT_EQ(log->first_bad_line, c.bad_line) << log->first_bad_reason;
        EXPECT_FALSE(log->first_bad_reason.empty());
        EXPECT_EQ(log->utf8, c.utf8);
        EXPECT_EQ(log->adaptation_steps, 16);
    }
}

TEST_F(DeviceLogRead, FilesThatAreNoLogAreRefused) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* says;
    };
    const Case cases[] = {
        {"empty", "", "empty"},
        {"over the limit", std::string(kMaxDeviceLogBytes + 1, 'x'), "larger"},
        {"nothing of a log", "pass,time_ms,rpm\r\n1,0,800\r\n", "not a device log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_FALSE(ReadDeviceLog(Write(c.bytes), &error));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(ReadDeviceLog(dir_ / "missing.txt", &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace tovrel::test
