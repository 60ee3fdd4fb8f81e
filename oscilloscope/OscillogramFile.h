#pragma once
// Oscillogram records as they come from the oscilloscope firmware, and the
// record files "signal.txt" (16-bit mode) and "signal32.txt" (32-bit mode)
// that go to the maker for analysis. The files are Windows-1251 text with
// CR LF line ends.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tovrel {

inline constexpr std::uint8_t kRecordMarker = 0xAA;

// One streamed record: the marker 0xAA and the data bytes B0..B2 (16-bit
// mode) or B0..B4 (32-bit mode).
struct OscillogramRecord {
    std::uint8_t marker = 0;
    std::array<std::uint8_t, 5> data{};  // B0..B4; B3 and B4 only in 32-bit mode

    int Level() const { return data[0] >> 7; }
    int Tooth() const { return data[0] & 0x7F; }
    std::uint32_t Length(bool mode32) const;
    // The variator's end record: B0 is 0xFF and every other data byte 0.
    bool IsEnd(bool mode32) const;
};

// Bytes of a record on the line, marker included.
constexpr int RecordSize(bool mode32) { return mode32 ? 6 : 4; }

// "signal.txt" or "signal32.txt".
std::string_view RecordFileName(bool mode32);

// The lines of a record file, in Windows-1251 with CR LF.
std::string HeadLine(std::uint16_t adaptationSteps);
std::string RecordLine(std::uint32_t number, const OscillogramRecord& record, bool mode32);

// A record file being written. The lines go to a temporary file beside the
// target, which replaces the target only on Commit: a capture that fails to
// write never leaves a half-written file under the record file's name, and an
// older file stays as it was.
class OscillogramFile {
public:
    OscillogramFile() = default;
    ~OscillogramFile();
    OscillogramFile(const OscillogramFile&) = delete;
    OscillogramFile& operator=(const OscillogramFile&) = delete;

    // False (with the reason in `error`) when the temporary cannot be created.
    bool Create(const std::string& path, std::string* error = nullptr);
    bool IsOpen() const { return file_ != nullptr; }
    // False once any write has failed; nothing is written to a file that is
    // not open.
    bool Write(std::string_view bytes);
    // Flushes, syncs and puts the file in place of the target.
    bool Commit(std::string* error = nullptr);
    // Closes and removes the temporary; the target is untouched.
    void Discard();

    const std::string& path() const { return path_; }

private:
    void ForgetTemporary();

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string temp_path_;
    bool failed_ = false;
    int error_ = 0;
};

// Removes the temporary of the record file still being written, if any,
// without running the writer's own clean-up: for a program that ends at once
// (a second Ctrl+C, a window close whose capture did not end in time). The
// older record file stays as it was. Async-signal-safe on POSIX.
void RemoveUnfinishedRecordFile();

}  // namespace tovrel
