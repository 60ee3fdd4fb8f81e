#pragma once
// What is wrong with a text catalogue, one line per fault: an entry out of
// the id order, an empty text, or two ids of one context that share a text
// (a copied entry whose text was never changed). Empty when it is sound.
#include <map>
#include <string>
#include <vector>

#include "Texts.h"

namespace tovrel {

template <class Id>
std::vector<std::string> CatalogueFaults() {
    const auto& catalogue = CatalogueOf(Id{});
    std::vector<std::string> faults;
    const std::string context = catalogue.context ? catalogue.context : "";
    if (context.empty()) faults.push_back("no context");
    if (catalogue.entries.size() != static_cast<std::size_t>(Id::Count))
        faults.push_back(context + ": " + std::to_string(catalogue.entries.size()) + " entries for " +
                         std::to_string(static_cast<std::size_t>(Id::Count)) + " ids");
    std::map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
        const auto& entry = catalogue.entries[i];
        const std::string where = context + " id " + std::to_string(i);
        if (static_cast<std::size_t>(entry.id) != i) faults.push_back(where + ": out of order");
        if (!entry.source || !*entry.source) {
            faults.push_back(where + ": no text");
            continue;
        }
        const auto [at, fresh] = seen.emplace(entry.source, i);
        if (!fresh)
            faults.push_back(where + " has the text of id " + std::to_string(at->second) + ": \"" + entry.source + "\"");
    }
    return faults;
}

}  // namespace tovrel
