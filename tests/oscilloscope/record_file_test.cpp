// The record files byte for byte, and how they are put in place.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "ScopeFixture.h"

namespace tovrel::test {
namespace {

namespace fs = std::filesystem;

// "Запрос " and "№" in Windows-1251, written out so that the test does not
// lean on the program's own conversion.
const std::string kRequest = "\xC7\xE0\xEF\xF0\xEE\xF1 ";
const std::string kNo = "\xB9";

OscillogramRecord Record(std::initializer_list<int> data) {
    OscillogramRecord r;
    r.marker = 0xAA;
    std::size_t k = 0;
    for (int b : data) r.data[k++] = static_cast<std::uint8_t>(b);
    return r;
}

TEST(RecordFileFormat, LinesAreByteExact) {
    struct Case {
        const char* name;
        std::uint32_t number;
        OscillogramRecord record;
        bool mode32;
        std::string expected;
    };
    const Case cases[] = {
        {"16-bit, tooth 5, level 1, length 300", 0, Record({133, 1, 44}), false,
         kRequest + "0     133 1   44  " + kNo + "5   1 300  \r\n"},
        {"16-bit, longest length, picture full", 65535, Record({2, 255, 255}), false,
         kRequest + "65535 2   255 255 " + kNo + "2   0 65535\r\n"},
        {"16-bit, zero length", 12345, Record({0, 0, 0}), false,
         kRequest + "12345 0   0   0   " + kNo + "0   0 0    \r\n"},
        {"32-bit, length 100000", 7, Record({5, 0, 1, 134, 160}), true,
         kRequest + "7     5   0   1   134 160 " + kNo + "5   0 100000      \r\n"},
        {"32-bit, 2^31 prints negative", 49999, Record({255, 128, 0, 0, 0}), true,
         kRequest + "49999 255 128 0   0   0   " + kNo + "127 1 -2147483648 \r\n"},
        {"32-bit, longest", 1, Record({129, 255, 255, 255, 255}), true,
         kRequest + "1     129 255 255 255 255 " + kNo + "1   1 -1          \r\n"},
        {"32-bit, twelve digits need no padding", 2, Record({1, 127, 255, 255, 255}), true,
         kRequest + "2     1   127 255 255 255 " + kNo + "1   0 2147483647  \r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RecordLine(c.number, c.record, c.mode32), c.expected);
    }
    // "Шагов адаптации: "
    const std::string steps = "\xD8\xE0\xE3\xEE\xE2 \xE0\xE4\xE0\xEF\xF2\xE0\xF6\xE8\xE8: ";
    EXPECT_EQ(HeadLine(12), steps + "12   \r\n");
    EXPECT_EQ(HeadLine(0), steps + "0    \r\n");
    EXPECT_EQ(HeadLine(65535), steps + "65535\r\n");
}

TEST(RecordFileFormat, RecordFields) {
    EXPECT_EQ(Record({133, 1, 44}).Length(false), 300u);
    EXPECT_EQ(Record({133, 1, 44}).Level(), 1);
    EXPECT_EQ(Record({133, 1, 44}).Tooth(), 5);
    EXPECT_EQ(Record({5, 0, 1, 134, 160}).Length(true), 100000u);
    EXPECT_EQ(Record({5, 0, 1, 134, 160}).Level(), 0);
    // The end record: B0 0xFF and every other data byte of the layout 0.
    EXPECT_TRUE(Record({255, 0, 0}).IsEnd(false));
    EXPECT_TRUE(Record({255, 0, 0, 7, 7}).IsEnd(false));  // B3, B4 are not part of a 16-bit record
    EXPECT_FALSE(Record({255, 0, 0, 0, 1}).IsEnd(true));
    EXPECT_TRUE(Record({255, 0, 0, 0, 0}).IsEnd(true));
    EXPECT_FALSE(Record({255, 0, 1}).IsEnd(false));
    EXPECT_FALSE(Record({127, 0, 0}).IsEnd(false));
    EXPECT_EQ(RecordFileName(false), "signal.txt");
    EXPECT_EQ(RecordFileName(true), "signal32.txt");
}

std::vector<std::string> DirectoryNames(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RecordFileWriting, ReplacesTheOlderFileOnlyWhenCommitted) {
    TempDir dir;
    const auto path = dir / "signal.txt";
    {
        std::ofstream(path, std::ios::binary) << "older capture\r\n";
    }
    OscillogramFile file;
    ASSERT_TRUE(file.Create(path));
    EXPECT_TRUE(file.Write(HeadLine(3)));
    EXPECT_TRUE(file.Write(RecordLine(0, Record({133, 1, 44}), false)));
    // While the capture runs, the older file is still whole.
    EXPECT_EQ(ReadBytes(path), "older capture\r\n");
    EXPECT_EQ(DirectoryNames(dir.path()).size(), 2u);
    std::string error;
    ASSERT_TRUE(file.Commit(&error)) << error;
    EXPECT_EQ(ReadBytes(path), HeadLine(3) + RecordLine(0, Record({133, 1, 44}), false));
    EXPECT_EQ(DirectoryNames(dir.path()), std::vector<std::string>{"signal.txt"});
    EXPECT_FALSE(file.Write("late"));  // nothing goes to a file that is not open
    EXPECT_EQ(ReadBytes(path), HeadLine(3) + RecordLine(0, Record({133, 1, 44}), false));
}

TEST(RecordFileWriting, DiscardLeavesTheOlderFile) {
    TempDir dir;
    const auto path = dir / "signal32.txt";
    {
        std::ofstream(path, std::ios::binary) << "older";
    }
    {
        OscillogramFile file;
        ASSERT_TRUE(file.Create(path));
        file.Write("half a capture");
        // Going out of scope without a commit discards it.
    }
    EXPECT_EQ(ReadBytes(path), "older");
    EXPECT_EQ(DirectoryNames(dir.path()), std::vector<std::string>{"signal32.txt"});
}

// A program that ends at once (a second Ctrl+C) runs no destructor: the
// temporary of a record file still being written is taken away for it.
TEST(RecordFileWriting, AProgramEndedAtOnceLeavesNoTemporary) {
    TempDir dir;
    const auto path = dir / "signal.txt";
    {
        std::ofstream(path, std::ios::binary) << "older";
    }
    OscillogramFile file;
    ASSERT_TRUE(file.Create(path));
    file.Write("half a capture");
    ASSERT_EQ(DirectoryNames(dir.path()).size(), 2u);
    RemoveUnfinishedRecordFile();
    EXPECT_EQ(DirectoryNames(dir.path()), std::vector<std::string>{"signal.txt"});
    EXPECT_EQ(ReadBytes(path), "older");
}

TEST(RecordFileWriting, UncreatableFileSaysWhy) {
    TempDir dir;
    OscillogramFile file;
    std::string error;
    EXPECT_FALSE(file.Create(dir / "missing/signal.txt", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Write("x"));
    EXPECT_FALSE(file.Commit(&error));
    EXPECT_TRUE(DirectoryNames(dir.path()).empty());
    if (::geteuid() != 0) {  // root writes into read-only directories
        ::chmod(dir.path().c_str(), 0500);
        EXPECT_FALSE(file.Create(dir / "signal.txt", &error));
        ::chmod(dir.path().c_str(), 0700);
    }
}

}  // namespace
}  // namespace tovrel::test
