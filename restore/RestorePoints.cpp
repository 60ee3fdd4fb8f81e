#include "RestorePoints.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <pugixml.hpp>
#include <system_error>

#include "AtomicFile.h"
#include "ConfigurationReadWrite.h"
#include "NumberText.h"
#include "MapsTexts.h"
#include "RestoreTexts.h"

namespace tovrel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRoot = "variator60_2";
constexpr const char* kPointElement = "RestorePoint";

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, std::size_t size) override { out.append(static_cast<const char*>(data), size); }
};

std::tm LocalTime(std::time_t t) {
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return tm;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

fs::path DefaultRestorePointDirectory() { return UserDataDirectory() / "restore-points"; }

std::string RestorePointXml(const Configuration& c, std::string_view created, std::string_view note) {
    TimingMaps maps;
    InitTimingMaps(maps);
    for (int m = 0; m < 4; ++m) maps[m].y = c.y[static_cast<std::size_t>(m)];
    const std::string xml = ConfigurationXml(maps.LPG, maps.Petrol, maps.LPGLoadDependence, maps.PetrolLoadDependence,
                                             c.timeout.value_or(""));
    pugi::xml_document doc;
    doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_declaration, pugi::encoding_utf8);
    auto point = doc.document_element().append_child(kPointElement);
    point.append_attribute("Created").set_value(std::string(created).c_str());
    point.append_attribute("Note").set_value(std::string(note).c_str());
    if (c.tps_min) point.append_attribute("TpsMin").set_value(*c.tps_min);
    if (c.tps_max) point.append_attribute("TpsMax").set_value(*c.tps_max);
    StringWriter w;
    doc.save(w, "", pugi::format_raw, pugi::encoding_utf8);
    return std::move(w.out);
}

std::optional<RestorePoint> ParseRestorePoint(std::string_view bytes, const std::string& file_name,
                                              std::string* error) {
    auto fail = [&](const std::string& why) -> std::optional<RestorePoint> {
        if (error) *error = why;
        return std::nullopt;
    };
    pugi::xml_document doc;
    const bool xml = bytes.size() <= kMaxConfigFileBytes &&
                     doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
    // Another program's XML is named as such; anything else that is wrong
    // gets the configuration file's own reason.
    if (xml && std::string_view(doc.document_element().name()) != kRoot)
        return fail(TrFormat(RestoreText::NotThisProgram, Quoted(file_name), doc.document_element().name()));
    std::string why;
    const auto content = ParseConfiguration(bytes, file_name, &why);
    // The configuration file's message shortens a long name: the whole
    // path goes first then.
    if (!content) return fail(why.find(file_name) == std::string::npos ? file_name + ": " + why : why);
    RestorePoint point;
    point.path = file_name;
    point.configuration = FromContent(*content);
    if (auto e = doc.document_element().child(kPointElement)) {
        point.created = e.attribute("Created").value();
        point.note = e.attribute("Note").value();
        for (auto [name, field] : {std::pair{"TpsMin", &point.configuration.tps_min},
                                   std::pair{"TpsMax", &point.configuration.tps_max}}) {
            if (auto a = e.attribute(name)) {
                const auto v = ParseInteger(a.value());
                if (!v || *v < 0 || *v > 65535)
                    return fail(Quoted(file_name) + ": " + name + "=" + Quoted(a.value()));
                *field = *v;
            }
        }
    }
    return point;
}

std::optional<RestorePoint> ReadRestorePoint(const fs::path& file, std::string* error) {
    const std::string name = file.string();
    std::FILE* in = OpenRegularFile(name);
    if (!in) {
        // The configuration file's reading says why, naming the file.
        std::string why;
        if (ReadConfigurationFile(name, &why) || why.empty()) why = name + ": cannot be opened";
        if (error) *error = why;
        return std::nullopt;
    }
    std::string bytes(kMaxConfigFileBytes + 1, '\0');
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), in);
    const bool bad = std::ferror(in) != 0;
    std::fclose(in);
    if (bad) {
        if (error) *error = TrFormat(MapsText::FileReadFailed, Quoted(name));
        return std::nullopt;
    }
    bytes.resize(got);
    return ParseRestorePoint(bytes, name, error);
}

RestorePointStore::RestorePointStore(fs::path directory, Writer writer, Clock clock)
    : directory_(std::move(directory)), writer_(std::move(writer)), clock_(std::move(clock)) {
    if (!writer_) writer_ = [](const std::string& p, std::string_view b, std::string* e) { return WriteFileAtomically(p, b, e); };
    if (!clock_) clock_ = [] { return std::chrono::system_clock::now(); };
}

std::optional<fs::path> RestorePointStore::Save(const Configuration& configuration, std::string_view note,
                                                std::string* error) {
    auto fail = [&](const std::string& why) -> std::optional<fs::path> {
        if (error) *error = TrFormat(RestoreText::PointSaveFailed, Quoted(directory_.string()), why);
        return std::nullopt;
    };
    std::error_code ec;
    fs::create_directories(directory_, ec);
    if (ec) return fail(ec.message());
    const std::tm tm = LocalTime(std::chrono::system_clock::to_time_t(clock_()));
    char stem[32], created[32];
    std::strftime(stem, sizeof stem, "%Y-%m-%d_%H-%M-%S", &tm);
    std::strftime(created, sizeof created, "%Y-%m-%d %H:%M:%S", &tm);
    fs::path path = directory_ / (std::string(stem) + ".xml");
    for (int n = 2; fs::exists(path, ec) || ec; ++n) {
        if (ec) return fail(ec.message());
        if (n > 9999) return fail("no free name for " + std::string(stem));
        path = directory_ / (std::string(stem) + "-" + std::to_string(n) + ".xml");
    }
    std::string why;
    if (!writer_(path.string(), RestorePointXml(configuration, created, note), &why)) return fail(why);
    return path;
}

std::vector<RestorePointStore::Entry> RestorePointStore::List() const {
    std::vector<Entry> out;
    std::error_code ec;
    for (fs::directory_iterator it(directory_, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() != ".xml") continue;
        Entry e;
        e.path = it->path();
        std::string why;
        if (auto p = ReadRestorePoint(e.path, &why)) {
            e.created = p->created;
            e.note = p->note;
        } else {
            e.error = why;
        }
        out.push_back(std::move(e));
    }
    std::sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) {
        // "...-10" after "...-9": the suffix counts as a number
        const auto key = [](const fs::path& p) {
            const std::string s = p.stem().string();
            const auto dash = s.size() > 19 ? s.find('-', 19) : std::string::npos;
            const int n = dash == std::string::npos ? 1 : std::atoi(s.c_str() + dash + 1);
            return std::pair{s.substr(0, 19), n};
        };
        return key(a.path) > key(b.path);
    });
    return out;
}

}  // namespace tovrel
