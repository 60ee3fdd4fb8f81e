#include "BuiltInTexts.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_map>

namespace tovrel::texts {

extern const TranslationRow kEnglish[];
extern const unsigned long kEnglishCount;

std::optional<Language> ParseLanguage(std::string_view code) {
    if (code == "ru") return Language::Russian;
    if (code == "en") return Language::English;
    return std::nullopt;
}

const char* LanguageCode(Language language) { return language == Language::English ? "en" : "ru"; }

Language LanguageOfLocale(std::string_view locale) {
    // "en", "en_US.UTF-8", "en-GB", "en@euro"; not "eng..." or "english".
    if (locale.size() >= 2 && locale.substr(0, 2) == "en" &&
        (locale.size() == 2 || locale[2] == '_' || locale[2] == '-' || locale[2] == '.' || locale[2] == '@'))
        return Language::English;
    return Language::Russian;
}

Language LanguageOfEnvironment(const std::function<const char*(const char*)>& getenv) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = getenv(name);
        if (value && *value) return LanguageOfLocale(value);
    }
    return Language::Russian;
}

Language LanguageOfEnvironment() {
    return LanguageOfEnvironment([](const char* name) { return std::getenv(name); });
}

std::span<const TranslationRow> BuiltInTable(Language language) {
    if (language == Language::English) return {kEnglish, static_cast<std::size_t>(kEnglishCount)};
    return {};
}

Translator BuiltInTranslator(Language language) {
    const auto table = BuiltInTable(language);
    if (table.empty()) return {};
    // Context and source joined by a byte no text holds.
    auto index = std::make_shared<std::unordered_map<std::string, const char*>>();
    index->reserve(table.size());
    for (const auto& row : table) index->emplace(std::string(row.context) + '\x04' + row.source, row.translation);
    return [index](const char* context, const char* source) -> std::string {
        const auto it = index->find(std::string(context) + '\x04' + source);
        return it == index->end() ? std::string(source) : std::string(it->second);
    };
}

}  // namespace tovrel::texts
