#pragma once
// The languages the program ships and their translations as built-in
// tables, for front ends that translate without Qt (tovrel-cli). The tables
// are made at build time from the same .ts files that lrelease turns into
// the window's .qm files, so both front ends say the same.
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "Texts.h"

namespace tovrel::texts {

struct TranslationRow {
    const char* context;
    const char* source;
    const char* translation;
};

// Russian is the source language: its texts are the catalogues' own.
enum class Language { Russian, English };
inline constexpr Language kLanguages[] = {Language::Russian, Language::English};

// "ru" or "en" (the --lang values and the value kept in the settings).
std::optional<Language> ParseLanguage(std::string_view code);
const char* LanguageCode(Language language);

// The language a locale name asks for: English for "en", "en_GB.UTF-8", ...;
// Russian for everything else, "C" and "POSIX" included.
Language LanguageOfLocale(std::string_view locale);
// The locale of the messages as POSIX orders it: the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty.
Language LanguageOfEnvironment(const std::function<const char*(const char*)>& getenv);
Language LanguageOfEnvironment();

// Every finished translation of `language` (none for Russian).
std::span<const TranslationRow> BuiltInTable(Language language);
// A translator over that table (empty for Russian: the source texts).
Translator BuiltInTranslator(Language language);

}  // namespace tovrel::texts
