// Windows side of the platform layer: wide-character file calls with UTF-8
// names, MoveFileExW for replacing files, the module file name for the
// program's directory and "\\.\COM<n>" for ports.
#include <windows.h>

#include "Win32Text.h"

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "Platform.h"

namespace tovrel::platform {
namespace fs = std::filesystem;

namespace {

using win32::Widen;

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// The system's text for an error code of GetLastError.
std::string SystemErrorText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring w = n && text ? std::wstring(text, n) : std::wstring();
    if (text) ::LocalFree(text);
    while (!w.empty() && (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ' || w.back() == L'.')) w.pop_back();
    if (w.empty()) return "system error " + std::to_string(code);
    return Narrow(w);
}

void SetError(std::string* error, DWORD code) {
    if (error) *error = SystemErrorText(code);
}

}  // namespace

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return ::_wfopen(Widen(path).c_str(), Widen(mode).c_str());
}

std::FILE* CreateFileBeside(const std::string& target, std::string& temp_path, std::string* error) {
    static std::atomic<unsigned> counter{0};
    fs::path t = fs::path(Widen(target));
    fs::path dir = t.has_parent_path() ? t.parent_path() : fs::path(L".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        const unsigned long long tag = (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^
                                       ::GetTickCount64() ^ (static_cast<unsigned long long>(counter++) << 20);
        wchar_t suffix[24];
        ::swprintf(suffix, 24, L".%06llx", tag & 0xFFFFFFull);
        const fs::path name = dir / (L"." + t.filename().wstring() + suffix);
        HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) continue;
            SetError(error, code);
            return nullptr;
        }
        const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
        std::FILE* f = fd >= 0 ? ::_fdopen(fd, "wb") : nullptr;
        if (!f) {
            if (fd >= 0) ::_close(fd); else ::CloseHandle(h);
            ::DeleteFileW(name.c_str());
            if (error) *error = std::strerror(errno != 0 ? errno : EIO);
            return nullptr;
        }
        temp_path = Narrow(name.wstring());
        return f;
    }
    SetError(error, ERROR_FILE_EXISTS);
    return nullptr;
}

bool SyncAndClose(std::FILE* file, std::string* error) {
    bool ok = std::fflush(file) == 0;
    if (!ok && error) *error = std::strerror(errno != 0 ? errno : EIO);
    if (ok) {
        HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
        if (!::FlushFileBuffers(h)) {
            ok = false;
            SetError(error, ::GetLastError());
        }
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        if (error) *error = std::strerror(errno != 0 ? errno : EIO);
    }
    return ok;
}

bool MoveFileOver(const std::string& from, const std::string& to, std::string* error) {
    const std::wstring wfrom = Widen(from);
    if (::MoveFileExW(wfrom.c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    SetError(error, ::GetLastError());
    ::DeleteFileW(wfrom.c_str());
    return false;
}

void RemoveFile(const std::string& path) { ::DeleteFileW(Widen(path).c_str()); }

FileStatus StatFile(const std::string& path) {
    // Opened without access rights, only to be looked at: devices (COM1,
    // NUL, ...) are told apart by their file type.
    HANDLE h = ::CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {SystemErrorText(::GetLastError()), false, 0};
    FileStatus st;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(h) == FILE_TYPE_DISK && ::GetFileInformationByHandle(h, &info) &&
        !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))) {
        st.regular = true;
        st.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    }
    ::CloseHandle(h);
    return st;
}

bool IsRegularFile(std::FILE* file);

std::FILE* OpenRegularFile(const std::string& path) {
    // Windows has no FIFOs in the file system; a device name or a directory
    // is told apart once it is open.
    std::FILE* f = OpenFile(path, "rb");
    if (f && !IsRegularFile(f)) {
        std::fclose(f);
        return nullptr;
    }
    return f;
}

bool IsRegularFile(std::FILE* file) {
    HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    BY_HANDLE_FILE_INFORMATION info{};
    return h != INVALID_HANDLE_VALUE && ::GetFileType(h) == FILE_TYPE_DISK &&
           ::GetFileInformationByHandle(h, &info) &&
           !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

fs::path ProgramDirectory() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) break;
        if (n < name.size()) {
            name.resize(n);
            fs::path exe(name);
            if (exe.has_parent_path()) return exe.parent_path();
            break;
        }
        name.resize(name.size() * 2);
    }
    std::error_code ec;
    return fs::current_path(ec);
}

fs::path UserDataDirectory() {
    if (const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA"); local && *local)
        return fs::path(local) / L"tovrel-terminal";
    std::error_code ec;
    return fs::temp_directory_path(ec) / L"tovrel-terminal";
}

// Windows rights are ACLs: the answer is whether a file can be made there.
bool IsWritable(const fs::path& dir) {
    const fs::path probe = dir / (L".tovrel-write-test-" + std::to_wstring(::GetCurrentProcessId()));
    HANDLE h = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

std::optional<std::string> PortPath(int number, const std::string& port_dir) {
    if (number < 0 || number > kMaxPortNumber) return std::nullopt;
    if (!port_dir.empty()) return Narrow((fs::path(Widen(port_dir)) / (L"COM" + std::to_wstring(number))).wstring());
    return "\\\\.\\COM" + std::to_string(number);
}

bool PortPresent(const std::string& path) {
    static const std::string device_prefix = "\\\\.\\";
    if (path.rfind(device_prefix, 0) == 0) {
        // A COM port is present when the system knows its device name.
        wchar_t target[512];
        return ::QueryDosDeviceW(Widen(path.substr(device_prefix.size())).c_str(), target, 512) != 0;
    }
    std::error_code ec;
    return fs::exists(fs::path(Widen(path)), ec);
}

// Windows keeps no per-user rights on serial ports: a port that is there may
// be opened (a port in use fails at the open).
int PortAccessError(const std::string& path) { return PortPresent(path) ? 0 : ENOENT; }

}  // namespace tovrel::platform
