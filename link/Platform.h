#pragma once
// What the program needs of the operating system besides the serial line:
// files replaced whole, the program file's directory, regular-file tests and
// the paths of numbered ports. One implementation per platform
// (platform_posix.cpp, platform_win32.cpp); the build compiles one of them.
// File names are UTF-8 on every platform.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tovrel::platform {

// ---- files ----

// Opens a file the way std::fopen does, with a UTF-8 name.
std::FILE* OpenFile(const std::string& path, const char* mode);

// Creates a new empty file beside `target` (same directory, a name of its
// own) opened for binary writing; it is later put in place of `target` by
// MoveFileOver. Null on failure, with the reason in `error`.
std::FILE* CreateFileBeside(const std::string& target, std::string& temp_path, std::string* error = nullptr);
// Flushes `file` down to the disk and closes it (also on failure).
bool SyncAndClose(std::FILE* file, std::string* error = nullptr);
// Puts the closed file `from` in place of `to` in one step: readers see the
// earlier file or the new one, never a mixture. On failure `from` is
// removed and `to` is left as it was.
bool MoveFileOver(const std::string& from, const std::string& to, std::string* error = nullptr);
// Removes a file; no error when it is missing.
void RemoveFile(const std::string& path);

// What a name refers to. `error` says why it could not be looked at (empty
// when it could); `regular` is false for directories, devices and other
// special files.
struct FileStatus {
    std::string error;
    bool regular = false;
    std::uint64_t size = 0;
};
FileStatus StatFile(const std::string& path);
// Whether an open file is a regular file (not a directory, device or pipe).
bool IsRegularFile(std::FILE* file);
// Opens `path` for binary reading only when it is a regular file. A FIFO, a
// device or a directory is refused (null) without blocking: opening a FIFO
// for reading would otherwise wait for a writer for ever.
std::FILE* OpenRegularFile(const std::string& path);

// The directory that holds the program file; the working directory when it
// cannot be found.
std::filesystem::path ProgramDirectory();

// This user's own data directory of the program: $XDG_DATA_HOME or
// ~/.local/share on Linux, %LOCALAPPDATA% on Windows, then
// "tovrel-terminal" (below the temporary directory when neither is known).
std::filesystem::path UserDataDirectory();
// Whether this user may create files in the directory `dir`.
bool IsWritable(const std::filesystem::path& dir);

// ---- ports ----

inline constexpr int kMaxPortNumber = 999;
// Linux: the numbers 233..254 beyond the devices present resolve below this
// prefix, where nothing exists.
inline constexpr const char* kUnassignedPortPrefix = "/dev/tovrel-unassigned-COM";

// The device that port `number` opens: "<port_dir>/COM<number>" when
// `port_dir` is not empty, otherwise the platform's own name for it. No path
// for negative numbers and numbers of four or more digits.
std::optional<std::string> PortPath(int number, const std::string& port_dir);

struct PortEntry {
    int number;
    std::string path;
    bool exists;
};
// Ports 1..254 with the paths they resolve to and whether a device is there.
std::vector<PortEntry> ListPorts(const std::string& port_dir);
// Whether a device (or file) is at a port path; a dangling link is not.
bool PortPresent(const std::string& path);
// 0 when this user may open `path` for reading and writing, otherwise the
// errno value that says why not (ENOENT when nothing is there). Judged
// without opening it.
int PortAccessError(const std::string& path);

}  // namespace tovrel::platform
