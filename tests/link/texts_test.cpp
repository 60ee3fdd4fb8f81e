// The text catalogues and the lookup: every id has a text, no two ids of one
// context carry the same text (a copied line whose text was never changed),
// patterns are filled in one pass, and an installed translator is asked with
// the entry's context and source.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "AppTexts.h"
#include "FirmwareTexts.h"
#include "LinkTexts.h"
#include "MapsTexts.h"
#include "OscilloscopeTexts.h"
#include "SettingsTexts.h"

namespace tovrel {
namespace {

template <class Id>
void ExpectWholeCatalogue() {
    const auto& catalogue = CatalogueOf(Id{});
    ASSERT_NE(catalogue.context, nullptr);
    EXPECT_STRNE(catalogue.context, "");
    ASSERT_EQ(catalogue.entries.size(), static_cast<std::size_t>(Id::Count));
    std::map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
        const auto& entry = catalogue.entries[i];
        EXPECT_EQ(static_cast<std::size_t>(entry.id), i) << catalogue.context;
        ASSERT_NE(entry.source, nullptr) << catalogue.context << " id " << i;
        EXPECT_STRNE(entry.source, "") << catalogue.context << " id " << i;
        const auto [at, fresh] = seen.emplace(entry.source, i);
        EXPECT_TRUE(fresh) << catalogue.context << ": ids " << at->second << " and " << i << " share \""
                           << entry.source << "\"";
    }
}

TEST(TextCatalogues, EveryIdHasItsOwnText) {
    ExpectWholeCatalogue<LinkText>();
    ExpectWholeCatalogue<SettingsText>();
    ExpectWholeCatalogue<MapsText>();
    ExpectWholeCatalogue<AppText>();
    ExpectWholeCatalogue<FirmwareText>();
    ExpectWholeCatalogue<OscilloscopeText>();
}

// A slip in a catalogue entry changes what the user sees; these are compared
// with the texts as the program has always shown them.
TEST(TextCatalogues, SourceTextsAreTheRussianOnes) {
    EXPECT_EQ(Tr(LinkText::LineBusy), "Дождитесь окончания текущего обмена с вариатором: команда не выполнена.");
    EXPECT_EQ(Tr(LinkText::StateDisconnected), "Не подключен");
    EXPECT_EQ(TrFormat(LinkText::AnswerFromPort, "3", "1"), "Получили ответ от com-порта 3 | 1");
}

TEST(TextFormat, FillsPlaceholdersOnce) {
    struct Case {
        const char* pattern;
        std::initializer_list<std::string_view> args;
        const char* want;
    };
    const Case cases[] = {
        {"%1 и %2", {"a", "b"}, "a и b"},
        {"%2, %1, %2", {"a", "b"}, "b, a, b"},
        {"%1", {"%2"}, "%2"},                     // an argument is not a pattern
        {"100% готово %1", {"x"}, "100% готово x"},  // a lone percent sign stays
        {"%3 нет", {"a"}, "%3 нет"},                 // no such argument: left as written
        {"конец %", {}, "конец %"},
        {"%1%1", {""}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(texts::Format(c.pattern, c.args), c.want) << c.pattern;
}

TEST(TextLookup, InstalledTranslatorIsAskedWithContextAndSource) {
    std::string asked_context, asked_source;
    texts::SetTranslator([&](const char* context, const char* source) {
        asked_context = context;
        asked_source = source;
        return std::string("Wait for the current exchange to end.");
    });
    const std::string text = Tr(LinkText::LineBusy);
    texts::SetTranslator({});
    EXPECT_EQ(text, "Wait for the current exchange to end.");
    EXPECT_EQ(asked_context, "link");
    EXPECT_EQ(asked_source, "Дождитесь окончания текущего обмена с вариатором: команда не выполнена.");
    EXPECT_EQ(Tr(LinkText::LineBusy), asked_source);  // removed again: the source text
}

}  // namespace
}  // namespace tovrel
