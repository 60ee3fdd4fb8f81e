#pragma once
// The window's language: which one is active, how it is chosen at start,
// and how the captions already on the screen follow a switch.
//
// The texts come from the catalogues (link/Texts.h) through the translator
// installed here: the English one reads the .qm that lrelease made from
// translations/tovrel_en.ts (built into the program's resources); Russian
// is the catalogues' own text. Qt's own dialogs follow with qtbase_ru.qm.
//
// A switch cannot ask every caption's author again: many captions were set
// by the logic, on the device thread, through the Screen mirror, as plain
// text. So a switch translates what is on the screen: every text held by
// the mirror (and so by its widget), every unnamed widget's text and the
// custom widgets' own texts (Retranslatable) are looked up among the
// catalogue texts of the old language and replaced by the same text of the
// new one. Patterns (%1 ...) are matched with their values, a memo line by
// line. Texts that are no catalogue text (numbers, file names, what the
// user typed) stay as they are.
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BuiltInTexts.h"

class QCoreApplication;
class QObject;
class QSettings;
class QTranslator;

namespace tovrel::ui {

using texts::Language;

// The translator of `language` over its .qm (from `folder`, by default the
// program's resources); empty for Russian. Null translator and false when
// the .qm is missing.
bool LoadTranslator(Language language, texts::Translator& out, const QString& folder = {});

// Makes `language` the active one: the catalogue texts, Qt's own texts and
// the decimal separator of the numbers shown (DecimalSeparatorFor with the
// user's locale). False when its translation could not be loaded (nothing
// changes then).
bool ApplyLanguage(QCoreApplication& app, Language language, const QString& folder = {});
// The decimal separator shown in `language`: the Russian window writes
// numbers as the user's locale does (`locale_separator`), the English one
// always with '.'.
char DecimalSeparatorFor(Language language, char locale_separator);
// The active language (Russian until ApplyLanguage).
Language ActiveLanguage();

// The language at start: the one kept in `settings`, else the user's
// locale (LC_ALL, LC_MESSAGES, LANG; the system's locale on Windows).
Language StartLanguage(QSettings& settings);
void RememberLanguage(QSettings& settings, Language language);
inline constexpr const char* kLanguageKey = "language";

// The texts of one language as the texts of another.
class TextMapper {
public:
    // Every catalogue text as `from` and `to` translate it.
    TextMapper(const texts::Translator& from, const texts::Translator& to);
    // The text in the new language; nothing when it is no catalogue text of
    // the old one. A text of several lines is mapped whole when it can be,
    // else line by line.
    std::optional<std::string> Map(const std::string& text) const;
    QString Map(const QString& text) const;  // unchanged when unknown

private:
    std::optional<std::string> MapOne(const std::string& text) const;
    std::optional<std::string> MapPattern(const std::string& text) const;

    std::map<std::string, std::string> exact_;
    struct Pattern {
        std::vector<std::string> pieces;  // literal texts between placeholders
        std::vector<int> numbers;           // placeholder number after each piece but the last
        std::string to;
    };
    std::vector<Pattern> patterns_;  // longest literal text first
    std::size_t max_lines_ = 1;
};

// A widget with texts of its own that are not mirrored properties (axis
// captions, say).
class Retranslatable {
public:
    virtual ~Retranslatable() = default;
    virtual void Retranslate(const TextMapper& mapper) = 0;
};

// Translates the texts of `root` and everything under it that the mirror
// does not hold: unnamed labels, buttons, group boxes, menus and actions,
// tab captions, tooltips, window titles, and Retranslatable widgets.
void RetranslateWidgets(QObject* root, const TextMapper& mapper);

}  // namespace tovrel::ui
