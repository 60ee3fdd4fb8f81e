#pragma once
// What is wrong with a language's table against the catalogues, one line per
// fault: a catalogue text without a translation, a translation of a text no
// catalogue has, a translation that lost or gained a placeholder or a
// leading or trailing blank, or one shared by two different texts (a switch
// of language could not tell them apart on the screen).
#include <map>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "BuiltInTexts.h"

namespace tovrel {

using TextKey = std::pair<std::string, std::string>;  // context, source

template <class Id>
void AddCatalogue(std::set<TextKey>& keys) {
    const auto& catalogue = CatalogueOf(Id{});
    for (const auto& entry : catalogue.entries) keys.emplace(catalogue.context, entry.source);
}

// The placeholders a text uses (one said twice counts once: a language may
// repeat a value another names once).
inline std::set<std::string> Placeholders(const std::string& text) {
    static const std::regex placeholder("%[1-9]");
    std::set<std::string> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder); it != std::sregex_iterator(); ++it)
        out.insert(it->str());
    return out;
}

inline bool HasCyrillic(const std::string& text) {
    // U+0400..U+04FF: UTF-8 lead bytes 0xD0..0xD3.
    for (unsigned char c : text)
        if (c >= 0xD0 && c <= 0xD3) return true;
    return false;
}

inline std::vector<std::string> TranslationFaults(texts::Language language, const std::set<TextKey>& catalogue,
                                                  bool cyrillic_allowed) {
    std::vector<std::string> faults;
    std::map<TextKey, std::string> table;
    std::map<std::string, std::string> by_translation;
    for (const auto& row : texts::BuiltInTable(language)) {
        const std::string source = row.source, text = row.translation, context = row.context;
        table[{context, source}] = text;
        const std::string where = context + " \"" + source + "\"";
        if (!catalogue.count({context, source})) faults.push_back(where + ": no catalogue has this text");
        if (Placeholders(source) != Placeholders(text)) faults.push_back(where + ": placeholders differ");
        auto edge = [](const std::string& s, bool front) {
            return !s.empty() && (front ? s.front() : s.back()) == ' ';
        };
        if (edge(source, true) != edge(text, true) || edge(source, false) != edge(text, false))
            faults.push_back(where + ": leading or trailing blanks differ");
        if (!cyrillic_allowed && HasCyrillic(text)) faults.push_back(where + ": translation still Russian");
        const auto [at, fresh] = by_translation.emplace(text, source);
        if (!fresh && at->second != source)
            faults.push_back(where + ": same translation as \"" + at->second + "\"");
    }
    for (const auto& key : catalogue)
        if (!table.count(key)) faults.push_back(key.first + " \"" + key.second + "\": not translated");
    return faults;
}

}  // namespace tovrel
