#include "OscillogramFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "Platform.h"
#include "Cp1251.h"

namespace tovrel {

std::uint32_t OscillogramRecord::Length(bool mode32) const {
    if (!mode32) return static_cast<std::uint32_t>(data[1] << 8 | data[2]);
    return static_cast<std::uint32_t>(data[1]) << 24 | static_cast<std::uint32_t>(data[2]) << 16 |
           static_cast<std::uint32_t>(data[3]) << 8 | data[4];
}

bool OscillogramRecord::IsEnd(bool mode32) const {
    if (data[0] != 0xFF || data[1] != 0 || data[2] != 0) return false;
    return !mode32 || (data[3] == 0 && data[4] == 0);
}

std::string_view RecordFileName(bool mode32) { return mode32 ? "signal32.txt" : "signal.txt"; }

namespace {

// The C format strings of the lines with their Russian words already in
// Windows-1251 ("№" is the byte 0xB9).
const std::string& Format(int which) {
    static const std::string formats[3] = {
        Utf8ToCp1251("Шагов адаптации: %-5d\r\n"),
        Utf8ToCp1251("Запрос %-5d %-3d %-3d %-3d №%-3d %d %-5d\r\n"),
        Utf8ToCp1251("Запрос %-5d %-3d %-3d %-3d %-3d %-3d №%-3d %d %-12d\r\n"),
    };
    return formats[which];
}

}  // namespace

std::string HeadLine(std::uint16_t adaptationSteps) {
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, Format(0).c_str(), static_cast<int>(adaptationSteps));
    return std::string(buf, static_cast<std::size_t>(n));
}

std::string RecordLine(std::uint32_t number, const OscillogramRecord& r, bool mode32) {
    char buf[128];
    const int i = static_cast<int>(number);
    const auto& d = r.data;
    int n = 0;
    if (mode32) {
        // The length prints as a signed 32-bit number: 2^31 and above come out negative.
        const auto length = static_cast<std::int32_t>(r.Length(true));
        n = std::snprintf(buf, sizeof buf, Format(2).c_str(), i, d[0], d[1], d[2], d[3], d[4], r.Tooth(), r.Level(),
                          static_cast<int>(length));
    } else {
        n = std::snprintf(buf, sizeof buf, Format(1).c_str(), i, d[0], d[1], d[2], r.Tooth(), r.Level(),
                          static_cast<int>(r.Length(false)));
    }
    return std::string(buf, static_cast<std::size_t>(n));
}

// ------------------------------------------------------------------- file

namespace {

// The temporary being written, for RemoveUnfinishedRecordFile: its path in
// plain storage and the file that owns it behind a lock-free pointer, so
// that a signal handler or another thread can take it away.
constexpr std::size_t kUnfinishedRoom = 4096;
char g_unfinished_path[kUnfinishedRoom];
std::atomic<const OscillogramFile*> g_unfinished_owner{nullptr};
static_assert(std::atomic<const OscillogramFile*>::is_always_lock_free);

void NoteUnfinished(const OscillogramFile* owner, const std::string& temp_path) {
    g_unfinished_owner.store(nullptr);
    if (temp_path.size() >= kUnfinishedRoom) return;
    std::memcpy(g_unfinished_path, temp_path.c_str(), temp_path.size() + 1);
    g_unfinished_owner.store(owner);
}

}  // namespace

void RemoveUnfinishedRecordFile() {
    if (!g_unfinished_owner.exchange(nullptr)) return;
#ifdef _WIN32
    platform::RemoveFile(g_unfinished_path);
#else
    ::unlink(g_unfinished_path);
#endif
}

OscillogramFile::~OscillogramFile() { Discard(); }

void OscillogramFile::ForgetTemporary() {
    const OscillogramFile* self = this;
    g_unfinished_owner.compare_exchange_strong(self, nullptr);
}

bool OscillogramFile::Create(const std::string& path, std::string* error) {
    Discard();
    path_ = path;
    failed_ = false;
    error_ = 0;
    std::string name;
    file_ = platform::CreateFileBeside(path, name, error);
    if (!file_) return false;
    temp_path_ = name;
    NoteUnfinished(this, temp_path_);
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
    return true;
}

bool OscillogramFile::Write(std::string_view bytes) {
    if (!file_ || failed_) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        failed_ = true;
        error_ = errno;
        return false;
    }
    return true;
}

bool OscillogramFile::Commit(std::string* error) {
    if (!file_) {
        if (error) *error = "the file is not open";
        return false;
    }
    auto fail = [&](int err) {
        if (error) *error = std::strerror(err != 0 ? err : EIO);
        Discard();
        return false;
    };
    if (failed_) return fail(error_);
    std::FILE* f = file_;
    file_ = nullptr;
    std::string why;
    const bool ok = platform::SyncAndClose(f, &why) && platform::MoveFileOver(temp_path_, path_, &why);
    // Forgotten only now: a program ended at once while the file is being
    // put in place still takes the temporary away.
    ForgetTemporary();
    if (!ok) {
        platform::RemoveFile(temp_path_);
        temp_path_.clear();
        if (error) *error = why;
        return false;
    }
    temp_path_.clear();
    return true;
}

void OscillogramFile::Discard() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temp_path_.empty()) {
        platform::RemoveFile(temp_path_);
        temp_path_.clear();
    }
    ForgetTemporary();
}

}  // namespace tovrel
