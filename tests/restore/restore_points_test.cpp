// Restore points: names by date and time that never overwrite, the round
// trip through the file, the refusals and a failing disk.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "ConfigFile.h"
#include "RestorePoints.h"
#include "SimFixture.h"

namespace tovrel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

Configuration Sample() {
    Configuration c;
    for (std::size_t m = 0; m < 4; ++m)
        for (std::size_t i = 0; i < MapPointCount; ++i) c.y[m][i] = static_cast<double>(i % 7) - 2.5 + m;
    c.timeout = "45";
    c.tps_min = 120;
    c.tps_max = 870;
    return c;
}

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Spit(const fs::path& p, std::string_view bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

// A fixed clock: the points of one test are made in the same second.
RestorePointStore::Clock Fixed() {
    return [] { return std::chrono::system_clock::from_time_t(1800000000); };
}

TEST(RestorePoints, NamedByTimeNeverOverwrittenAndReadBackWhole) {
    TempDir dir;
    RestorePointStore store(fs::path(dir.path()) / "points", {}, Fixed());
    Configuration first = Sample();
    std::string why;
    const auto a = store.Save(first, "перед <записью> & \"после\"", &why);
    ASSERT_TRUE(a) << why;
    Configuration second = first;
    second.y[0][3] = 11.25;
    const auto b = store.Save(second, "", &why);
    const auto c = store.Save(second, "", &why);
    ASSERT_TRUE(b && c) << why;
    EXPECT_EQ(b->stem().string(), a->stem().string() + "-2");
    EXPECT_EQ(c->stem().string(), a->stem().string() + "-3");
    EXPECT_EQ(a->stem().string().size(), 19u);  // YYYY-MM-DD_hh-mm-ss

    const auto back = ReadRestorePoint(*a, &why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(back->configuration, first);  // the earlier point kept its own values
    EXPECT_EQ(back->note, "перед <записью> & \"после\"");
    EXPECT_EQ(back->created.size(), 19u);
    EXPECT_EQ(ReadRestorePoint(*b, &why)->configuration, second);

    // A point loads like any configuration file the program saved.
    const auto content = ReadConfigurationFile(a->string(), &why);
    ASSERT_TRUE(content) << why;
    EXPECT_EQ(content->y, first.y);

    const auto list = store.List();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].path, *c);  // newest first
    EXPECT_EQ(list[2].path, *a);
    EXPECT_EQ(list[2].note, back->note);
}

TEST(RestorePoints, ListOrdersSuffixesAsNumbersAndShowsDamagedOnes) {
    TempDir dir;
    RestorePointStore store(dir.path(), {}, Fixed());
    std::vector<fs::path> saved;
    for (int i = 0; i < 10; ++i) saved.push_back(*store.Save(Sample(), std::to_string(i), nullptr));
    Spit(fs::path(dir.path()) / "2000-01-01_00-00-00.xml", "<variator60_2><Settings/>");
    Spit(fs::path(dir.path()) / "notes.txt", "not a point");
    const auto list = store.List();
    ASSERT_EQ(list.size(), 11u);
    EXPECT_EQ(list[0].path, saved[9]);  // "-10" is newer than "-9"
    EXPECT_EQ(list[0].note, "9");
    EXPECT_EQ(list[9].path, saved[0]);
    EXPECT_NE(list[10].error, "");
    EXPECT_EQ(list[10].created, "");
}

TEST(RestorePoints, DamagedOrForeignPointsAreRefusedNamingFileAndReason) {
    TempDir dir;
    const std::string good = RestorePointXml(Sample(), "2026-01-01 00:00:00", "x");
    std::string bad_point = good;
    bad_point.replace(bad_point.find("</LPGPoint>") - 1, 1, "zero");
    std::string bad_tps = good;
    bad_tps.replace(bad_tps.find("TpsMin=\"120\""), 12, "TpsMin=\"-4\"");
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;  // part of the message
    };
    const Case cases[] = {
        {"cut short", good.substr(0, good.size() / 2), "XML"},
        {"another program", "<settings><a/><b/><c/><d/><e/></settings>", "\"settings\""},
        {"a point that is no number", bad_point, "zero"},
        {"a throttle point out of range", bad_tps, "TpsMin"},
        {"empty", "", "XML"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = fs::path(dir.path()) / "point.xml";
        Spit(file, c.bytes);
        std::string why;
        EXPECT_FALSE(ReadRestorePoint(file, &why));
        EXPECT_NE(why.find(file.string()), std::string::npos) << why;
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
    std::string why;
    EXPECT_FALSE(ReadRestorePoint(fs::path(dir.path()) / "missing.xml", &why));
    EXPECT_NE(why.find("missing.xml"), std::string::npos) << why;
    EXPECT_FALSE(ReadRestorePoint(dir.path(), &why));  // a folder
    EXPECT_NE(why, "");
}

TEST(RestorePoints, AFailingDiskLeavesEarlierPointsWhole) {
    TempDir dir;
    bool disk_full = false;
    RestorePointStore store(
        dir.path(),
        [&](const std::string& path, std::string_view bytes, std::string* error) {
            if (disk_full) {
                if (error) *error = "No space left on device";
                return false;
            }
            Spit(path, bytes);
            return true;
        },
        Fixed());
    const auto first = store.Save(Sample(), "first", nullptr);
    ASSERT_TRUE(first);
    const std::string before = Slurp(*first);
    disk_full = true;
    std::string why;
    EXPECT_FALSE(store.Save(Sample(), "second", &why));
    EXPECT_NE(why.find("No space left on device"), std::string::npos) << why;
    EXPECT_NE(why.find(dir.path()), std::string::npos) << why;
    EXPECT_EQ(Slurp(*first), before);
    EXPECT_EQ(store.List().size(), 1u);

    // A folder that cannot be made (a file stands in its place).
    Spit(fs::path(dir.path()) / "blocked", "");
    RestorePointStore blocked(fs::path(dir.path()) / "blocked" / "points");
    EXPECT_FALSE(blocked.Save(Sample(), "", &why));
    EXPECT_NE(why.find("blocked"), std::string::npos) << why;
}

}  // namespace
}  // namespace tovrel
