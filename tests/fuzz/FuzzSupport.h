#pragma once
// What the fuzz targets share: the input taken apart piece by piece, a port
// whose reads deliver the input, and a screen that keeps nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Crc.h"
#include "StoredScreen.h"

namespace tovrel::fuzz {

// Reads the fuzz input front to back; past its end every read gives 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() << 8 | Byte()); }
    bool Empty() const { return at_ >= size_; }
    std::size_t Left() const { return size_ - at_; }
    const std::uint8_t* Here() const { return data_ + at_; }
    void Skip(std::size_t n) { at_ += n < Left() ? n : Left(); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Fails the run loudly: libFuzzer keeps the input that did it.
#define FUZZ_CHECK(cond)                                                               \
    do {                                                                               \
        if (!(cond)) {                                                                 \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

// A serial port whose input is the fuzz input. Each read takes one control
// byte that says how many of the asked bytes arrive (the rest time out), then
// those bytes; a read past the end of the input gets nothing. Writes are kept.
class InputPort : public LoaderSerialPort {
public:
    explicit InputPort(Input& in) : in_(&in) {}
    // A port kept across runs reads the next run's input.
    void Bind(Input& in) {
        in_ = &in;
        written.clear();
        open_ = false;
    }
    bool Open(const std::string&, std::uint32_t, std::int32_t) override {
        if (open_ || opens_left_ == 0) return false;
        --opens_left_;
        open_ = true;
        return true;
    }
    bool OpenDevice(const std::string& path) override { return Open(path, 0, 0); }
    bool SetLineSettings(std::uint32_t) override { return open_; }
    bool SetQueueSizes(std::uint32_t, std::uint32_t) override { return open_; }
    bool SetTimeout(std::int32_t) override { return open_; }
    bool Purge() override { return open_; }
    bool Write(const std::uint8_t* bytes, std::uint32_t n) override { return WriteSome(bytes, n).count == n; }
    bool Read(std::uint8_t* buffer, std::uint32_t n) override { return ReadSome(buffer, n).count == n; }
    bool Close() override {
        open_ = false;
        return true;
    }
    bool IsOpen() const override { return open_; }
    bool SetTimeouts(const SerialTimeouts&) override { return open_; }
    TransferResult ReadSome(std::uint8_t* buffer, std::uint32_t n) override {
        if (!open_) return {};
        if (in_->Empty()) return {true, 0};
        const std::uint8_t c = in_->Byte();
        if (c == 0xFF) return {false, 0};  // the call itself fails
        std::uint32_t k = n == 0 ? 0 : static_cast<std::uint32_t>(c % (n + 1));
        // Most reads get all they asked for, so that long exchanges get far.
        if (c >= 0x80) k = n;
        std::uint32_t got = 0;
        for (; got < k && !in_->Empty(); ++got) buffer[got] = in_->Byte();
        return {true, got};
    }
    TransferResult WriteSome(const std::uint8_t* bytes, std::uint32_t n) override {
        if (!open_) return {};
        written.insert(written.end(), bytes, bytes + n);
        return {true, n};
    }
    bool Drain() override { return open_; }

    std::vector<std::uint8_t> written;
    int opens_left_ = 1;

private:
    Input* in_;
    bool open_ = false;
};

// Keeps control properties (procedures read some back) but no memo lines
// and no messages.
class QuietScreen : public StoredScreen {
public:
    void ShowMessage(std::string_view) override { ++messages; }
    void AppendLine(std::string_view, std::string_view) override { ++lines; }
    void Pump() override {}
    std::optional<std::string> ChooseFile(std::string_view, FileDialogMode, std::string_view) override { return chosen; }
    std::optional<std::string> chosen;
    int messages = 0;
    int lines = 0;
};

}  // namespace tovrel::fuzz
