#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace tovrel {

int CreateFileBeside(const std::string& path, std::string& temp_path) {
    namespace fs = std::filesystem;
    fs::path target(path);
    fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string base = ".";
    base += target.filename().string();
    base += ".XXXXXX";
    std::string tmpl = (dir / base).string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd >= 0) temp_path = name.data();
    return fd;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    auto fail = [&](const std::string& what, int err) {
        if (error) *error = what + ": " + std::strerror(err);
        return false;
    };
    std::string temp;
    int fd = CreateFileBeside(path, temp);
    if (fd < 0) return fail("cannot create a file beside " + path, errno);
    const char* name = temp.c_str();
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            int err = errno;
            ::close(fd);
            ::unlink(name);
            return fail("cannot write " + path, err);
        }
        done += static_cast<std::size_t>(w);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        int err = errno;
        ::unlink(name);
        return fail("cannot write " + path, err);
    }
    ::chmod(name, 0644);
    if (::rename(name, path.c_str()) != 0) {
        int err = errno;
        ::unlink(name);
        return fail("cannot replace " + path, err);
    }
    return true;
}

std::FILE* OpenRegularFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, "rb");
    if (!f) ::close(fd);
    return f;
}

}  // namespace tovrel
