// The text catalogues and the lookup: every id has a text, no two ids of one
// context carry the same text (a copied line whose text was never changed),
// patterns are filled in one pass, and an installed translator is asked with
// the entry's context and source.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "AppTexts.h"
#include "CatalogueCheck.h"
#include "FirmwareTexts.h"
#include "LinkTexts.h"
#include "MapsTexts.h"
#include "OscilloscopeTexts.h"
#include "SettingsTexts.h"

namespace tovrel {
namespace {

TEST(TextCatalogues, EveryIdHasItsOwnText) {
    EXPECT_EQ(CatalogueFaults<LinkText>(), std::vector<std::string>{});
    EXPECT_EQ(CatalogueFaults<SettingsText>(), std::vector<std::string>{});
    EXPECT_EQ(CatalogueFaults<MapsText>(), std::vector<std::string>{});
    EXPECT_EQ(CatalogueFaults<AppText>(), std::vector<std::string>{});
    EXPECT_EQ(CatalogueFaults<FirmwareText>(), std::vector<std::string>{});
    EXPECT_EQ(CatalogueFaults<OscilloscopeText>(), std::vector<std::string>{});
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

// The device thread looks texts up while the window may install its
// translator: every lookup gets either the source or the translation, never
// a translator that is being replaced or freed.
TEST(TextLookup, LookupsWhileTheTranslatorChanges) {
    const std::string source = Tr(LinkText::LineBusy);
    std::atomic<bool> done{false};
    std::atomic<int> wrong{0};
    std::thread reader([&] {
        while (!done.load()) {
            const std::string text = Tr(LinkText::LineBusy);
            if (text != source && text != "translated") ++wrong;
        }
    });
    for (int n = 0; n < 2000; ++n) {
        texts::SetTranslator([](const char*, const char*) { return std::string("translated"); });
        texts::SetTranslator({});
    }
    done = true;
    reader.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace tovrel
