// Configuration files: the structure written, the reader's rules, and files
// that must change nothing.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "ConfigFile.h"
#include "NumberText.h"
#include "RecordingScreen.h"
#include "SimFixture.h"

namespace tovrel::test {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
// Replaces every occurrence, or only the first.
std::string Replace(std::string s, const std::string& from, const std::string& to, bool all = true) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) {
        s.replace(at, from.size(), to);
        if (!all) break;
    }
    return s;
}
void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

class ConfigFileTest : public ::testing::Test {
protected:
    ConfigFileTest() {
        InitMapControls(screen);
        screen.SetText(kStartTimeoutEdit, "5");
    }
    ~ConfigFileTest() override { SetDecimalSeparator('.'); }

    bool Save(const std::string& path) {
        auto& m = state.document.Maps();
        return SaveConfigurationFile(screen, path, m.LPG, m.Petrol, m.LPGLoadDependence, m.PetrolLoadDependence);
    }
    bool Load(const std::string& path) {
        return LoadConfigurationFile(screen, path, state.document);
    }
    // A document as the program writes it, from the template maps.
    std::string TemplateXml() {
        TimingMaps t;
        FillMapTemplate(t);
        return ConfigurationXml(t.LPG, t.Petrol, t.LPGLoadDependence, t.PetrolLoadDependence, "5");
    }

    TempDir dir;
    RecordingScreen screen;
    MapsState state;
};

TEST_F(ConfigFileTest, TemplateIsWrittenWithTheExactStructure) {
    FillMapTemplate(state.document);
    ASSERT_TRUE(Save(dir / "t.xml"));
    const std::string xml = ReadFile(dir / "t.xml");
    std::string lpg_points, throttle_points;
    for (int i = 0; i < 80; ++i) {
        lpg_points += "<LPGPoint UOZ" + std::to_string(i * 100) + "=\"9\">9000</LPGPoint>";
        throttle_points += "<PetrolLoadDependencePoint UOZ" + std::to_string(i) + "=\"100\">100000</PetrolLoadDependencePoint>";
    }
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><variator60_2>"
        "<Settings Inversion=\"0\" Timeout=\"5\">variator settings</Settings>"
        "<LPGmap>LPG map)))" + lpg_points + "</LPGmap><Petrolmap><PetrolPoint UOZ0=\"2\">2000</PetrolPoint>";
    EXPECT_EQ(xml.substr(0, head.size()), head);
    EXPECT_NE(xml.find("<LPGLoadDependencemap><LPGLoadDependencePoint UOZ0=\"100\">100000</LPGLoadDependencePoint>"),
              std::string::npos);
    const std::string tail = "<PetrolLoadDependencemap>" + throttle_points + "</PetrolLoadDependencemap></variator60_2>";
    ASSERT_GE(xml.size(), tail.size());
    EXPECT_EQ(xml.substr(xml.size() - tail.size()), tail);
}

TEST_F(ConfigFileTest, MarkersAndAnEmptyTimeoutAreWrittenAsTheyAre) {
    ResetMapsToUnread(state.document);
    screen.SetText(kStartTimeoutEdit, "");
    ASSERT_TRUE(Save(dir / "m.xml"));
    const std::string xml = ReadFile(dir / "m.xml");
    EXPECT_NE(xml.find("Timeout=\"\""), std::string::npos);
    EXPECT_NE(xml.find("<LPGPoint UOZ7900=\"1000\">1000000</LPGPoint>"), std::string::npos);
    EXPECT_NE(xml.find("<PetrolLoadDependencePoint UOZ79=\"-120\">-120000</PetrolLoadDependencePoint>"),
              std::string::npos);
}

TEST_F(ConfigFileTest, ValuesWithUpToThreeDecimalsComeBackExactly) {
    TimingMaps saved;
    InitTimingMaps(saved);
    for (int m = 0; m < 4; ++m)
        for (int i = 0; i < 80; ++i)
            saved[m].y[static_cast<std::size_t>(i)] = ((m * 80 + i - 160) * 137 + i % 7) / 1000.0;
    saved.LPG.y[0] = 0.29;
    saved.Petrol.y[1] = -327.68;
    saved.LPGLoadDependence.y[2] = 1e6;  // taken unchecked
    state.document.ReplaceAll(saved, MapEditCause::Replace);
    ASSERT_TRUE(Save(dir / "r.xml"));
    InitTimingMaps(state.document);
    ASSERT_TRUE(Load(dir / "r.xml"));
    EXPECT_EQ(state.document.Maps(), saved);
    EXPECT_TRUE(screen.errors.empty());
    // Loading leaves the start timeout field alone.
    EXPECT_EQ(screen.Text(kStartTimeoutEdit), "5");
}

// A file is written with '.' whatever separator the screen shows, and keeps
// its values whichever separator the program that wrote it used (a file
// from a decimal-comma locale has "9000,4") and whichever the screen shows.
TEST_F(ConfigFileTest, EitherDecimalSeparatorReadsBackInEitherLocale) {
    state.document.SetPoint(MapKind::LPG, 0, 9.0004, MapEditCause::Replace);
    state.document.SetPoint(MapKind::Petrol, 1, -2.5e-17, MapEditCause::Replace);  // what repeated 0.1 steps leave of a zero
    ASSERT_TRUE(Save(dir / "point.xml"));
    const std::string point = ReadFile(dir / "point.xml");
    EXPECT_NE(point.find("<LPGPoint UOZ0=\"9.0004\">9000.4</LPGPoint>"), std::string::npos);
    EXPECT_NE(point.find(">-2.5e-14</PetrolPoint>"), std::string::npos);
    SetDecimalSeparator(',');
    ASSERT_TRUE(Save(dir / "shown-comma.xml"));
    EXPECT_EQ(ReadFile(dir / "shown-comma.xml"), point);
    std::string comma = Replace(point, "<LPGPoint UOZ0=\"9.0004\">9000.4</LPGPoint>",
                                "<LPGPoint UOZ0=\"9,0004\">9000,4</LPGPoint>");
    comma = Replace(comma, ">-2.5e-14</PetrolPoint>", ">-2,5e-14</PetrolPoint>");
    ASSERT_NE(comma, point);
    {
        std::ofstream out(dir / "comma.xml", std::ios::binary);
        out << comma;
    }

    const TimingMaps saved = state.document.Maps();
    for (const char reader : {'.', ','}) {
        SetDecimalSeparator(reader);
        for (const char* file : {"point.xml", "comma.xml"}) {
            SCOPED_TRACE(std::string(file) + " read with '" + reader + "'");
            InitTimingMaps(state.document);
            ASSERT_TRUE(Load(dir / file)) << (screen.errors.empty() ? "" : screen.errors[0]);
            EXPECT_EQ(state.document.Maps(), saved);
        }
    }
}

TEST_F(ConfigFileTest, ReaderGoesByPositionAndTextOnly) {
    std::string xml = TemplateXml();
    // Names, attributes and the Settings element are not looked at; a point
    // text is one decimal number, blanks around it allowed.
    xml = Replace(xml, "variator60_2", "anything");
    xml = Replace(xml, "<PetrolPoint UOZ100=\"2\">2000</PetrolPoint>", "<X>\n  -1.5e3 \t</X>");
    xml = Replace(xml, "<PetrolPoint UOZ200=\"2\">2000</PetrolPoint>", "<X><![CDATA[+250]]></X>");
    xml = Replace(xml, "<PetrolPoint UOZ300=\"2\">2000</PetrolPoint>", "<X>.5</X>");
    xml = Replace(xml, "UOZ0=\"9\">9000<", "UOZ0=\"1\">1e-400<");
    // Indented, with a byte-order mark and a comment.
    xml = Replace(xml, "><", ">\n\t  <");
    xml = "\xEF\xBB\xBF" + Replace(xml, "<Petrolmap>", "<Petrolmap><!-- petrol -->");
    WriteFile(dir / "odd.xml", xml);
    ASSERT_TRUE(Load(dir / "odd.xml")) << (screen.errors.empty() ? "" : screen.errors[0]);
    EXPECT_EQ(state.document.Maps().Petrol.y[1], -1.5);
    EXPECT_EQ(state.document.Maps().Petrol.y[2], 0.25);
    EXPECT_EQ(state.document.Maps().Petrol.y[3], 0.0005);
    EXPECT_EQ(state.document.Maps().LPG.y[0], 0.0);
    EXPECT_EQ(state.document.Maps().LPG.y[1], 9.0);
    EXPECT_EQ(state.document.Maps().PetrolLoadDependence.y[79], 100.0);
}

// Every one of these leaves all four maps as they were and says why.
TEST_F(ConfigFileTest, MalformedFilesChangeNothing) {
    const std::string good = TemplateXml();
    auto replace = [&](const std::string& first, const std::string& with) { return Replace(good, first, with, false); };
    auto drop_last_point = [&](const std::string& map, const std::string& point) {
        std::string x = good;
        const auto end = x.find("</" + map + ">");
        const auto start = x.rfind("<" + point + " ", end);
        x.erase(start, end - start);
        return x;
    };
    struct Case {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"not XML", "LPG 9 9 9 9\n", "не является документом XML"},
        {"empty", "", "не является документом XML"},
        {"truncated", good.substr(0, good.size() / 2), "не является документом XML"},
        {"root without maps", "<?xml version=\"1.0\"?><variator60_2><Settings/></variator60_2>",
         "нужно 5 (Settings и четыре карты)"},
        {"LPGmap without its text", replace("LPG map)))", ""), "нужно 81: текст \"LPG map)))\" и 80 точек"},
        {"79 petrol points", drop_last_point("Petrolmap", "PetrolPoint"), "у карты Petrol (узел \"Petrolmap\" корневого элемента) 79 дочерних узлов, нужно 80"},
        {"79 throttle points", drop_last_point("PetrolLoadDependencemap", "PetrolLoadDependencePoint"), "79 дочерних узлов"},
        {"81 points", replace("<PetrolPoint ", "<PetrolPoint UOZ0=\"2\">2000</PetrolPoint><PetrolPoint "), "81 дочерних узлов"},
        {"a point without a number", replace(">100000<", ">abc<"), "в точке 0 карты LPGLoadDependence"},
        {"an empty point", replace(">2000<", "><"), "нет числа: \"\""},
        {"a number too big for a double", replace(">9000<", ">1e999<"), "вне допустимого диапазона"},
        {"a sign without digits", replace(">9000<", ">-.e5<"), "нет числа"},
    };
    TimingMaps before;
    FillMapTemplate(before);
    before.LPG.y[5] = 3.25;  // something a load would overwrite
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state.document.ReplaceAll(before, MapEditCause::Replace);
        screen.Clear();
        WriteFile(dir / "bad.xml", c.bytes);
        EXPECT_FALSE(Load(dir / "bad.xml"));
        EXPECT_EQ(state.document.Maps(), before);
        ASSERT_EQ(screen.errors.size(), 1u);
        EXPECT_NE(screen.errors[0].find(c.says), std::string::npos) << screen.errors[0];
        EXPECT_NE(screen.errors[0].find("bad.xml"), std::string::npos) << screen.errors[0];
    }
}

// A point text that is more than a number ("5000abc" would otherwise read as
// 5 degrees, "0x7fff" as 0) refuses the whole file, even at the last point of
// the last map, and the message names the map, the point and the text.
TEST_F(ConfigFileTest, APointTextThatIsNotADecimalNumberRefusesTheWholeFile) {
    TimingMaps before;
    InitTimingMaps(before);
    before.LPG.y[5] = 3.25;
    const std::string path = dir / "junk.xml";
    const std::string good = TemplateXml();
    auto at_last_point = [&](const std::string& point, const std::string& text) {
        std::string x = good;
        const auto end = x.rfind("</" + point + ">");
        const auto start = x.rfind('>', end) + 1;
        return x.replace(start, end - start, text);
    };
    const struct {
        std::string bytes;
        std::string says;
    } cases[] = {
        {at_last_point("PetrolPoint", "5000abc"),
         "Файл конфигурации \"" + path +
             "\": в точке 79 карты Petrol (узел \"Petrolmap\" корневого элемента) не десятичное число: \"5000abc\"."},
        {at_last_point("PetrolLoadDependencePoint", "0x7fff"),
         "Файл конфигурации \"" + path +
             "\": в точке 79 карты PetrolLoadDependence (узел \"PetrolLoadDependencemap\" корневого элемента) не "
             "десятичное число: \"0x7fff\"."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        state.document.ReplaceAll(before, MapEditCause::Replace);
        screen.Clear();
        WriteFile(path, c.bytes);
        EXPECT_FALSE(Load(path));
        EXPECT_EQ(state.document.Maps(), before);
        EXPECT_EQ(screen.errors, std::vector<std::string>{c.says});
    }
}

TEST_F(ConfigFileTest, FilesThatAreNoConfigurationAtAllAreRefusedUnread) {
    FillMapTemplate(state.document);
    const TimingMaps before = state.document.Maps();
    // A huge file is refused by its size, before it is read.
    {
        std::ofstream big(dir / "huge.xml", std::ios::binary);
        big << "<?xml version=\"1.0\"?><variator60_2>";
        big.seekp(static_cast<std::streamoff>(kMaxConfigFileBytes) + 10);
        big << "</variator60_2>";
    }
    ::mkdir((dir / "folder.xml").c_str(), 0700);
    const std::pair<std::string, const char*> cases[] = {
        {dir / "huge.xml", "слишком велик"},
        {dir / "missing.xml", "Не удалось открыть файл"},
        {dir / "folder.xml", "не является файлом"},
    };
    for (const auto& [path, says] : cases) {
        SCOPED_TRACE(path);
        screen.Clear();
        EXPECT_FALSE(Load(path));
        ASSERT_EQ(screen.errors.size(), 1u);
        EXPECT_NE(screen.errors[0].find(says), std::string::npos) << screen.errors[0];
    }
    EXPECT_EQ(state.document.Maps(), before);
}

TEST_F(ConfigFileTest, AFailedSaveLeavesTheEarlierFileWhole) {
    FillMapTemplate(state.document);
    // A name as long as a directory takes: the file written beside it first
    // cannot be made, so the save fails where a good file stands.
    const std::string path = dir / (std::string(251, 'k') + ".xml");
    const std::string before = TemplateXml();
    WriteFile(path, before);
    ASSERT_EQ(ReadFile(path), before);
    state.document.FillMap(MapKind::LPG, 1, MapEditCause::Replace);
    EXPECT_FALSE(Save(path));
    ASSERT_EQ(screen.errors.size(), 1u);
    EXPECT_NE(screen.errors[0].find("Не удалось сохранить файл"), std::string::npos);
    EXPECT_EQ(ReadFile(path), before);
}

TEST_F(ConfigFileTest, MenuItemsUseTheirDialogsAndRefreshTheViews) {
    FillMapTemplate(state.document);
    screen.file_choices = {dir / "menu.xml"};
    N3Click(screen, state);
    EXPECT_EQ(screen.Series("LineSeries1").size(), 80u);  // refreshed
    EXPECT_EQ(screen.Text(GridCell("StringGridLPG", 1, 1)), "9");

    InitTimingMaps(state.document);
    screen.file_choices = {""};  // cancelled: nothing read, views refreshed all the same
    N2Click(screen, state);
    EXPECT_EQ(state.document.Maps().LPG.y[0], 0.0);
    EXPECT_EQ(screen.Text(GridCell("StringGridLPG", 1, 1)), "0");

    screen.file_choices = {dir / "menu.xml"};
    N2Click(screen, state);
    EXPECT_EQ(state.document.Maps().LPG.y[0], 9.0);
    EXPECT_EQ(screen.Text(GridCell("StringGridLPG", 1, 1)), "9");
    EXPECT_EQ(screen.Series("Series9")[0].y, 9.0);

    // A file that fails ends the handler before the refresh.
    WriteFile(dir / "bad.xml", "nonsense");
    screen.file_choices = {dir / "bad.xml"};
    InitTimingMaps(state.document);
    N2Click(screen, state);
    EXPECT_EQ(screen.errors.size(), 1u);
    EXPECT_EQ(screen.Text(GridCell("StringGridLPG", 1, 1)), "9");
    using enum FileDialogMode;
    EXPECT_EQ(screen.file_modes, (std::vector<FileDialogMode>{Save, Open, Open, Open}));
}

// Maps holding points a read never got are saved only when the fitter says
// so: the question names the first such point, and "No" writes no file.
TEST_F(ConfigFileTest, SaveAsksBeforeWritingPointsThatWereNeverRead) {
    FillMapTemplate(state.document);
    state.document.SetPoint(MapKind::Petrol, 50, 1000, MapEditCause::Replace);  // the not-yet-read marker
    for (const bool answer : {false, true}) {
        SCOPED_TRACE(answer);
        screen.Clear();
        screen.questions.clear();
        screen.confirm_answer = answer;
        screen.file_choices = {dir / "unread.xml"};
        N3Click(screen, state);
        ASSERT_EQ(screen.questions.size(), 1u);
        EXPECT_NE(screen.questions[0].find("бензиновая карта (Petrol), точка 51 из 80"), std::string::npos);
        EXPECT_EQ(std::filesystem::exists(dir / "unread.xml"), answer);
        EXPECT_EQ(screen.messages.size(), answer ? 0u : 1u);
    }
}

}  // namespace
}  // namespace tovrel::test
