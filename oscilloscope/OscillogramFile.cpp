#include "OscillogramFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

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

OscillogramFile::~OscillogramFile() { Discard(); }

bool OscillogramFile::Create(const std::string& path, std::string* error) {
    Discard();
    path_ = path;
    failed_ = false;
    error_ = 0;
    std::string name;
    file_ = platform::CreateFileBeside(path, name, error);
    if (!file_) return false;
    temp_path_ = name;
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
    if (!platform::SyncAndClose(f, &why) || !platform::MoveFileOver(temp_path_, path_, &why)) {
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
}

}  // namespace tovrel
