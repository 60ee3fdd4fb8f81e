#pragma once
// User texts by id. Each subsystem keeps its Russian texts in one catalogue
// (<Subsystem>Texts.h: the ids, <Subsystem>Texts.cpp: the table), every entry
// an id and its source text written as QT_TRANSLATE_NOOP("<context>", "...")
// so that Qt's lupdate finds it. Code names a text by its id and asks Tr(id)
// for it in the active language: the source text unless a front end has
// installed a translator. Texts with values are patterns with %1, %2, ...
// filled by Format.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

// Qt's own definition when Qt is in the build; otherwise it only marks the
// text for lupdate and yields it unchanged.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

namespace tovrel::texts {

// One catalogue entry: the id (as its number) and the source text.
template <class Id>
struct Entry {
    Id id;
    const char* source;
};

// A subsystem's whole table: its translation context and the entries in id
// order (entry i has id i; the table checks that at compile time).
template <class Id>
struct Catalogue {
    const char* context;
    std::span<const Entry<Id>> entries;
};

template <class Id, std::size_t N>
constexpr bool InIdOrder(const Entry<Id> (&entries)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        if (static_cast<std::size_t>(entries[i].id) != i) return false;
    return N == static_cast<std::size_t>(Id::Count);
}

// Maps (context, source text) to the text in the active language; returns
// the source when it has no translation.
using Translator = std::function<std::string(const char* context, const char* source)>;

// Installs the translator (an empty one restores the source texts). Meant
// for program start, but safe at any time: a lookup running on another
// thread uses either the old translator or the new one.
void SetTranslator(Translator translator);

// The text of (context, source) in the active language.
std::string Translate(const char* context, const char* source);

// Fills the placeholders %1 ... %9 of a pattern with the arguments (%1 is
// the first); one pass, so an argument's own "%2" is left as it is. A '%'
// not followed by a digit naming an argument stays as it is.
std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace tovrel::texts

namespace tovrel {

// The text of an id in the active language. Each catalogue header declares
// `const texts::Catalogue<Id>& CatalogueOf(Id)`, found here by the id's type,
// so a number or another catalogue's id does not compile.
template <class Id>
std::string Tr(Id id) {
    const auto& catalogue = CatalogueOf(id);
    return texts::Translate(catalogue.context, catalogue.entries[static_cast<std::size_t>(id)].source);
}

// The pattern of an id in the active language with its placeholders filled.
template <class Id, class... Args>
std::string TrFormat(Id id, const Args&... args) {
    return texts::Format(Tr(id), {std::string_view(args)...});
}

}  // namespace tovrel
