#include "StartArguments.h"

#include <cstring>
#include <filesystem>

namespace tovrel::ui {

namespace {

// The value of `--name DIR` or `--name=DIR` at argv[i] (i moves past a
// separate value). Nothing when argv[i] is another argument; `error` is set
// when the directory is missing.
std::optional<QString> DirectoryOption(const char* name, int& i, int argc, char** argv, std::string& error) {
    const char* a = argv[i];
    const std::size_t n = std::strlen(name);
    if (std::strncmp(a, name, n) != 0) return std::nullopt;
    const char* value = nullptr;
    if (a[n] == '\0') {
        if (i + 1 < argc) value = argv[++i];
    } else if (a[n] == '=') {
        value = a + n + 1;
    } else {
        return std::nullopt;
    }
    if (!value || *value == '\0') {
        error = std::string(name) + " needs a directory";
        return QString();
    }
    // The program may change its working directory later: a relative
    // folder means the one where it was started.
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(std::filesystem::path(value), ec);
    if (ec) return QString::fromLocal8Bit(value);
#ifdef _WIN32
    return QString::fromStdWString(absolute.lexically_normal().wstring());
#else
    return QString::fromStdString(absolute.lexically_normal().string());
#endif
}

}  // namespace

std::optional<DemoRequest> TakeDemoArguments(int& argc, char** argv, std::string& error) {
    DemoRequest request;
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--demo") == 0) {
            request.demo = true;
        } else if (auto dir = DirectoryOption("--screenshots", i, argc, argv, error)) {
            if (!error.empty()) return std::nullopt;
            request.screenshots = *dir;
        } else if (auto dir = DirectoryOption("--walk", i, argc, argv, error)) {
            if (!error.empty()) return std::nullopt;
            request.walk = *dir;
        } else {
            argv[out++] = argv[i];
        }
    }
    argc = out;
    argv[argc] = nullptr;
    if (!request.walk.isEmpty() && request.Wanted()) {
        error = "--walk runs against the system's ports, not with --demo or --screenshots";
        return std::nullopt;
    }
    return request;
}

}  // namespace tovrel::ui
