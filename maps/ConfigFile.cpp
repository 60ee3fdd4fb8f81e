#include "ConfigFile.h"

#include "MapTransfer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <pugixml.hpp>
#include <vector>

#include "AtomicFile.h"
#include "Platform.h"
#include "NumberText.h"
#include "MapsTexts.h"

namespace tovrel {

namespace {

constexpr const char* kRoot = "variator60_2";
constexpr const char* kMapElements[4] = {"LPGmap", "Petrolmap", "LPGLoadDependencemap", "PetrolLoadDependencemap"};
constexpr const char* kPointElements[4] = {"LPGPoint", "PetrolPoint", "LPGLoadDependencePoint",
                                           "PetrolLoadDependencePoint"};
constexpr const char* kLPGMapText = "LPG map)))";
constexpr std::size_t kRootChildren = 5;

std::string Quoted(std::string_view s) {
    constexpr std::size_t kShown = 40;
    std::string q = "\"";
    if (s.size() > kShown) {
        std::size_t cut = kShown;
        while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;  // whole UTF-8 characters
        q += s.substr(0, cut);
        q += "...";
    } else {
        q += s;
    }
    return q + "\"";
}

// The text content of a node as the DOM gives it: a text node's own text, or
// all text inside an element.
std::string TextContent(const pugi::xml_node& node) {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) return node.value();
    std::string text;
    for (auto d = node.first_child(); d;) {
        if (d.type() == pugi::node_pcdata || d.type() == pugi::node_cdata) text += d.value();
        if (d.first_child()) {
            d = d.first_child();
            continue;
        }
        while (d && d != node && !d.next_sibling()) d = d.parent();
        if (!d || d == node) break;
        d = d.next_sibling();
    }
    return text;
}

std::vector<pugi::xml_node> Children(const pugi::xml_node& node) {
    std::vector<pugi::xml_node> out;
    for (auto c : node.children()) out.push_back(c);
    return out;
}

std::string NodeName(const pugi::xml_node& node) {
    if (node.type() == pugi::node_element) return std::string("\"") + node.name() + "\"";
    return Tr(MapsText::TextNode);
}

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, std::size_t size) override { out.append(static_cast<const char*>(data), size); }
};

void AddMap(pugi::xml_node root, int m, const TimingMap& map) {
    auto element = root.append_child(kMapElements[m]);
    if (m == 0) element.append_child(pugi::node_pcdata).set_value(kLPGMapText);
    for (std::size_t i = 0; i < MapPointCount; ++i) {
        auto point = element.append_child(kPointElements[m]);
        char name[64];
        std::snprintf(name, sizeof name, "UOZ%.0f", map.x[i]);
        point.append_attribute(name).set_value(FormatFileNumber(map.y[i]).c_str());
        point.append_child(pugi::node_pcdata).set_value(FormatFileNumber(map.y[i] * 1000).c_str());
    }
}

}  // namespace

std::string ConfigurationXml(const TimingMap& lpg, const TimingMap& petrol, const TimingMap& lpg_load,
                             const TimingMap& petrol_load, std::string_view timeout) {
    pugi::xml_document doc;
    auto decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version").set_value("1.0");
    decl.append_attribute("encoding").set_value("UTF-8");
    auto root = doc.append_child(kRoot);
    auto settings = root.append_child("Settings");
    settings.append_child(pugi::node_pcdata).set_value("variator settings");
    settings.append_attribute("Inversion").set_value(0);
    settings.append_attribute("Timeout").set_value(std::string(timeout).c_str());
    const TimingMap* maps[4] = {&lpg, &petrol, &lpg_load, &petrol_load};
    for (int m = 0; m < 4; ++m) AddMap(root, m, *maps[m]);
    StringWriter w;
    doc.save(w, "", pugi::format_raw, pugi::encoding_utf8);
    return std::move(w.out);
}

std::optional<ConfigurationContent> ParseConfiguration(std::string_view bytes, std::string_view name,
                                                       std::string* error) {
    auto fail = [&](const std::string& why) -> std::optional<ConfigurationContent> {
        if (error) *error = why;
        return std::nullopt;
    };
    const std::string file = Quoted(name);
    if (bytes.size() > kMaxConfigFileBytes)
        return fail(TrFormat(MapsText::FileTooBig, file, std::to_string(bytes.size()),
                             std::to_string(kMaxConfigFileBytes)));

    pugi::xml_document doc;
    // The default options drop text nodes that hold only white space, so an
    // indented file reads like an unindented one; a byte-order mark is taken
    // into account.
    const auto parsed = doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed) {
        const std::size_t offset = parsed.offset < 0 ? 0 : std::min(bytes.size(), static_cast<std::size_t>(parsed.offset));
        std::size_t line = 1, column = 1;
        for (std::size_t i = 0; i < offset; ++i) {
            if (bytes[i] == '\n') ++line, column = 1;
            else ++column;
        }
        return fail(TrFormat(MapsText::FileNotXml, file, parsed.description(), std::to_string(line),
                             std::to_string(column)));
    }
    const auto root = doc.document_element();
    const auto sections = Children(root);
    if (sections.size() < kRootChildren)
        return fail(TrFormat(MapsText::FileNotConfiguration, file, root.name(), std::to_string(sections.size()),
                             std::to_string(kRootChildren)));

    ConfigurationContent content;
    if (sections[0].type() == pugi::node_element) {
        if (auto a = sections[0].attribute("Timeout")) content.timeout = a.value();
    }
    for (int m = 0; m < 4; ++m) {
        const auto& section = sections[static_cast<std::size_t>(m) + 1];
        const auto nodes = Children(section);
        const std::size_t first = m == 0 ? 1 : 0;  // the LPG map starts with its text
        const std::string where =
            TrFormat(MapsText::FileMapWhere, MapKindName(kMapKinds[static_cast<std::size_t>(m)]), NodeName(section));
        if (nodes.size() != first + MapPointCount) {
            const std::string children = std::to_string(first + MapPointCount);
            const std::string want = m == 0 ? TrFormat(MapsText::FileWantLPGChildren, children, kLPGMapText)
                                            : TrFormat(MapsText::FileWantChildren, children);
            return fail(TrFormat(MapsText::FileChildCount, file, where, std::to_string(nodes.size()), want));
        }
        for (std::size_t i = 0; i < MapPointCount; ++i) {
            // The text is the value times 1000, written in the locale of the
            // program that saved it: '.' or ',' as its decimal point.
            const std::string text = TextContent(nodes[first + i]);
            const auto v = ParseFileNumber(text, -3);
            if (!v) {
                const MapsText why = v.fault == FileNumberFault::OutOfRange ? MapsText::FileNumberOutOfRange
                                     : v.fault == FileNumberFault::NoNumber ? MapsText::FileNoNumber
                                                                            : MapsText::FileNotDecimal;
                return fail(TrFormat(MapsText::FileBadPoint, file, std::to_string(i), where, Tr(why), Quoted(text)));
            }
            content.y[static_cast<std::size_t>(m)][i] = v.value;
        }
    }
    return content;
}

std::optional<ConfigurationContent> ReadConfigurationFile(const std::string& file_name, std::string* error) {
    auto fail = [&](const std::string& why) -> std::optional<ConfigurationContent> {
        if (error) *error = why;
        return std::nullopt;
    };
    const std::string file = Quoted(file_name);
    const auto st = platform::StatFile(file_name);
    if (!st.error.empty()) return fail(TrFormat(MapsText::FileOpenFailed, file, st.error));
    if (!st.regular) return fail(TrFormat(MapsText::FileNotAFile, file));
    if (st.size > kMaxConfigFileBytes)
        return fail(TrFormat(MapsText::FileTooBig, file, std::to_string(st.size), std::to_string(kMaxConfigFileBytes)));
    std::FILE* in = platform::OpenFile(file_name, "rb");
    if (!in) return fail(TrFormat(MapsText::FileOpenFailed, file, std::strerror(errno)));
    // Read at most one byte past the limit: a file that grew meanwhile is
    // still refused without being read whole.
    std::string bytes(kMaxConfigFileBytes + 1, '\0');
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), in);
    const bool bad = std::ferror(in) != 0;
    std::fclose(in);
    if (bad) return fail(TrFormat(MapsText::FileReadFailed, file));
    bytes.resize(got);
    return ParseConfiguration(bytes, file_name, error);
}

bool SaveConfigurationFile(Screen& screen, const std::string& file_name, const TimingMap& lpg,
                           const TimingMap& petrol, const TimingMap& lpg_load, const TimingMap& petrol_load) {
    const std::string xml = ConfigurationXml(lpg, petrol, lpg_load, petrol_load, SettingsPage(screen).StartTimeout().Text());
    std::string why;
    if (!WriteFileAtomically(file_name, xml, &why)) {
        screen.ShowError(TrFormat(MapsText::FileSaveFailed, Quoted(file_name), why));
        return false;
    }
    return true;
}

void ApplyConfiguration(MapDocument& document, const ConfigurationContent& content) {
    for (MapKind kind : kMapKinds)
        document.SetMap(kind, content.y[static_cast<std::size_t>(MapKindIndex(kind))], MapEditCause::FileLoad);
}

bool LoadConfigurationFile(Screen& screen, const std::string& file_name, MapDocument& document) {
    std::string why;
    const auto content = ReadConfigurationFile(file_name, &why);
    if (!content) {
        screen.ShowError(why);
        return false;
    }
    ApplyConfiguration(document, *content);
    return true;
}

namespace {
// The first point of the maps that holds the not-yet-read marker (a read
// that failed or was cut short), as the fitter reads it; nothing when every
// point holds a value.
std::optional<std::string> FirstUnreadPoint(const TimingMaps& maps) {
    for (int m = 0; m < 4; ++m)
        for (int i = 0; i < MapPointCount; ++i)
            if (IsUnreadMarker(kMapKinds[m], maps[m].y[static_cast<std::size_t>(i)]))
                return TrFormat(MapsText::UnreadPoint, MapTitle(kMapKinds[m]), MapKindName(kMapKinds[m]),
                                std::to_string(i + 1), std::to_string(MapPointCount));
    return std::nullopt;
}
}  // namespace

void N3Click(Screen& screen, MapsState& state) {
    // A file saved after a read that did not get every point would keep the
    // markers as if they were values; it is saved only when the fitter says so.
    const TimingMaps& maps = state.document.Maps();
    if (auto unread = FirstUnreadPoint(maps)) {
        if (!screen.Confirm(TrFormat(kUnreadPointsQuestion, *unread))) {
            screen.ShowMessage(TrFormat(MapsText::FileNotSaved, *unread));
            return;
        }
    }
    if (auto name = screen.ChooseFile(kSaveDialog, FileDialogMode::Save, kConfigFileFilter)) {
        if (!SaveConfigurationFile(screen, *name, maps.LPG, maps.Petrol, maps.LPGLoadDependence,
                                   maps.PetrolLoadDependence))
            return;
    }
    RefreshAllMapViews(screen, maps);
}

void N2Click(Screen& screen, MapsState& state) {
    if (auto name = screen.ChooseFile(kOpenDialog, FileDialogMode::Open, kConfigFileFilter)) {
        // The file is checked whole before the maps are kept in a restore
        // point and replaced.
        std::string why;
        const auto content = ReadConfigurationFile(*name, &why);
        if (!content) {
            screen.ShowError(why);
            return;
        }
        if (state.before_file_load && !state.before_file_load(*name)) return;
        ApplyConfiguration(state.document, *content);
    }
    RefreshAllMapViews(screen, state.document.Maps());
}

}  // namespace tovrel
