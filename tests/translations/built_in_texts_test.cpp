// The language rules of the front ends and the English table against the
// Qt-free catalogues (the window's own catalogue is checked by the desktop
// tests).
#include <gtest/gtest.h>

#include <map>

#include "AppTexts.h"
#include "BuiltInTexts.h"
#include "FirmwareTexts.h"
#include "LinkTexts.h"
#include "MapsTexts.h"
#include "OscilloscopeTexts.h"
#include "RestoreTexts.h"
#include "SettingsTexts.h"
#include "TranslationCheck.h"

namespace tovrel {
namespace {

using texts::Language;

TEST(Languages, LocaleNames) {
    const struct {
        const char* locale;
        Language language;
    } cases[] = {
        {"en", Language::English},          {"en_US.UTF-8", Language::English}, {"en_GB", Language::English},
        {"en-AU", Language::English},       {"en@euro", Language::English},     {"C", Language::Russian},
        {"POSIX", Language::Russian},       {"C.UTF-8", Language::Russian},     {"ru_RU.UTF-8", Language::Russian},
        {"de_DE.UTF-8", Language::Russian}, {"eng", Language::Russian},         {"", Language::Russian},
    };
    for (const auto& c : cases) EXPECT_EQ(texts::LanguageOfLocale(c.locale), c.language) << c.locale;
}

// POSIX order: LC_ALL over LC_MESSAGES over LANG; an empty one does not count.
TEST(Languages, EnvironmentOrder) {
    const struct {
        std::map<std::string, std::string> env;
        Language language;
    } cases[] = {
        {{}, Language::Russian},
        {{{"LANG", "en_US.UTF-8"}}, Language::English},
        {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ru_RU.UTF-8"}}, Language::Russian},
        {{{"LANG", "ru_RU.UTF-8"}, {"LC_MESSAGES", "en_GB.UTF-8"}}, Language::English},
        {{{"LC_ALL", "C"}, {"LC_MESSAGES", "en_GB.UTF-8"}, {"LANG", "en_GB.UTF-8"}}, Language::Russian},
        {{{"LC_ALL", ""}, {"LANG", "en_GB.UTF-8"}}, Language::English},
    };
    for (const auto& c : cases) {
        auto getenv = [&](const char* name) -> const char* {
            auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        };
        EXPECT_EQ(texts::LanguageOfEnvironment(getenv), c.language) << ::testing::PrintToString(c.env);
    }
    EXPECT_EQ(texts::ParseLanguage("en"), Language::English);
    EXPECT_EQ(texts::ParseLanguage("ru"), Language::Russian);
    EXPECT_EQ(texts::ParseLanguage("EN"), std::nullopt);
}

TEST(Languages, EnglishTableCoversTheCatalogues) {
    std::set<TextKey> catalogue;
    AddCatalogue<LinkText>(catalogue);
    AddCatalogue<MapsText>(catalogue);
    AddCatalogue<SettingsText>(catalogue);
    AddCatalogue<FirmwareText>(catalogue);
    AddCatalogue<OscilloscopeText>(catalogue);
    AddCatalogue<AppText>(catalogue);
    AddCatalogue<RestoreText>(catalogue);
    // The window's catalogues ("ui", "edit", "dash", "viewer", "live") are not
    // linked here; their rows are checked with them in the desktop tests.
    std::set<TextKey> with_ui = catalogue;
    for (const auto& row : texts::BuiltInTable(Language::English))
        if (std::string(row.context) == "ui" || std::string(row.context) == "edit" ||
            std::string(row.context) == "dash" || std::string(row.context) == "viewer" ||
            std::string(row.context) == "live")
            with_ui.emplace(row.context, row.source);
    const auto faults = TranslationFaults(Language::English, with_ui, false);
    for (const auto& f : faults) ADD_FAILURE() << f;
    EXPECT_TRUE(texts::BuiltInTable(Language::Russian).empty());
}

// The translator installed by the command line: texts by id and patterns,
// and back to the catalogues' Russian.
TEST(Languages, TranslatorOverTheTable) {
    texts::SetTranslator(texts::BuiltInTranslator(Language::English));
    EXPECT_EQ(Tr(LinkText::StateConnected), "Connected");
    EXPECT_EQ(TrFormat(LinkText::ConnectedToPort, "3"), "Connected to COM port 3");
    EXPECT_EQ(texts::Translate("link", "no such text"), "no such text");
    texts::SetTranslator(texts::BuiltInTranslator(Language::Russian));
    EXPECT_EQ(Tr(LinkText::StateConnected), "Подключен");
    texts::SetTranslator({});
}

}  // namespace
}  // namespace tovrel
