#pragma once
// An in-memory serial port for byte-exact frame tests: it records what was
// written and answers each written frame with the next scripted reply.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "Crc.h"

namespace tovrel::test {

class MockPort : public SerialPort {
public:
    std::vector<std::vector<std::uint8_t>> written;   // one entry per Write
    std::deque<std::vector<std::uint8_t>> replies;    // consumed one per Write
    std::deque<std::uint8_t> input;                   // bytes waiting to be read
    std::vector<std::int32_t> timeouts;
    bool open = true;
    bool fail_writes = false;

    bool Open(const std::string&, std::uint32_t, std::int32_t t) override {
        if (open) return false;
        open = true;
        timeouts.push_back(t);
        return true;
    }
    bool SetTimeout(std::int32_t t) override {
        if (!open) return false;
        timeouts.push_back(t);
        return true;
    }
    bool Purge() override {
        if (!open) return false;
        input.clear();
        return true;
    }
    bool Write(const std::uint8_t* bytes, std::uint32_t n) override {
        if (!open || fail_writes) return false;
        written.emplace_back(bytes, bytes + n);
        if (!replies.empty()) {
            for (auto b : replies.front()) input.push_back(b);
            replies.pop_front();
        }
        return true;
    }
    bool Read(std::uint8_t* buffer, std::uint32_t n) override {
        if (!open) return false;
        std::uint32_t i = 0;
        for (; i < n && !input.empty(); ++i) {
            buffer[i] = input.front();
            input.pop_front();
        }
        return i == n;
    }
    bool Close() override {
        open = false;
        return true;
    }
    bool IsOpen() const override { return open; }
};

}  // namespace tovrel::test
