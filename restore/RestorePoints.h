#pragma once
// Restore points: configuration files in the program's own format, named by
// the date and time they were made ("2026-12-11_10-52-07.xml", a suffix
// "-2", "-3", ... when that name is taken), never overwritten, each written
// whole or not at all. Besides the maps and the start timeout a point keeps,
// in an element of its own after the maps, when it was made, an optional
// note and the throttle sensor points when known; the file loads like any
// configuration file.
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ConfigurationCompare.h"

namespace tovrel {

// "restore-points" in the user's data folder of the program.
std::filesystem::path DefaultRestorePointDirectory();

// The document of a point.
std::string RestorePointXml(const Configuration& configuration, std::string_view created, std::string_view note);

struct RestorePoint {
    std::filesystem::path path;
    std::string created;  // "2026-12-11 10:52:07"; empty in a plain configuration file
    std::string note;
    Configuration configuration;
};

// Parses a point (or a configuration file saved by the program). A document
// that is damaged, or that is not this program's, is refused: nothing, and
// `error` names the file and the reason.
std::optional<RestorePoint> ParseRestorePoint(std::string_view bytes, const std::string& file_name,
                                              std::string* error);
std::optional<RestorePoint> ReadRestorePoint(const std::filesystem::path& file, std::string* error);

class RestorePointStore {
public:
    // Writes a whole file or nothing; WriteFileAtomically unless a test
    // passes another.
    using Writer = std::function<bool(const std::string& path, std::string_view bytes, std::string* error)>;
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    explicit RestorePointStore(std::filesystem::path directory = DefaultRestorePointDirectory(),
                               Writer writer = {}, Clock clock = {});

    const std::filesystem::path& Directory() const { return directory_; }
    // Makes the folder when needed and writes a new point; its path, or
    // nothing with the reason in `error` (earlier points are left as they
    // were).
    std::optional<std::filesystem::path> Save(const Configuration& configuration, std::string_view note,
                                              std::string* error);
    // Every *.xml of the folder, newest first (by name). Points that cannot
    // be read are listed with their reason and no configuration.
    struct Entry {
        std::filesystem::path path;
        std::string created, note;
        std::string error;  // empty when the point is sound
    };
    std::vector<Entry> List() const;

private:
    std::filesystem::path directory_;
    Writer writer_;
    Clock clock_;
};

}  // namespace tovrel
