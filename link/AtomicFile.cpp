#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Platform.h"

namespace tovrel {

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    std::string why;
    auto fail = [&](const std::string& what) {
        if (error) *error = what + ": " + why;
        return false;
    };
    std::string temp;
    std::FILE* f = platform::CreateFileBeside(path, temp, &why);
    if (!f) return fail("cannot create a file beside " + path);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (!written) why = std::strerror(errno);
    if (!platform::SyncAndClose(f, written ? &why : nullptr) || !written) {
        platform::RemoveFile(temp);
        return fail("cannot write " + path);
    }
    if (!platform::MoveFileOver(temp, path, &why)) return fail("cannot replace " + path);
    return true;
}

std::FILE* OpenRegularFile(const std::string& path) { return platform::OpenRegularFile(path); }

}  // namespace tovrel
