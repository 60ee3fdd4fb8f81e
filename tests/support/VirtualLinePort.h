#pragma once
// A serial port on a line of virtual time: bytes are scheduled to arrive at
// given instants, reads wait (virtually) by the port's timeout rules, and a
// device model answers each written request by scheduling bytes of its own.
// Nothing sleeps, so runs of thousands of exchanges with replies seconds late
// take no real time.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "Crc.h"

namespace tovrel::test {

class VirtualLinePort : public SerialPort {
public:
    using Us = std::int64_t;  // microseconds of virtual time
    // 10 bits per byte at 9600 baud.
    static constexpr Us kByteUs = 1042;

    // Called with each request as it has left the line, at now().
    std::function<void(const std::vector<std::uint8_t>& request)> on_request;

    Us now() const { return now_; }
    // Schedules bytes to arrive back to back from `at` on.
    void Deliver(Us at, const std::vector<std::uint8_t>& bytes) {
        for (auto b : bytes) {
            at += kByteUs;
            pending_.emplace(at, b);
        }
    }
    bool gone = false;  // the device is unplugged: reads and writes fail

    bool Open(const std::string&, std::uint32_t, std::int32_t t) override {
        if (open_) return false;
        open_ = true;
        timeout_ms_ = t;
        return true;
    }
    bool SetTimeout(std::int32_t t) override {
        if (!open_) return false;
        timeout_ms_ = t;
        return true;
    }
    bool Purge() override {
        if (!open_) return false;
        pending_.erase(pending_.begin(), pending_.upper_bound(now_));
        return true;
    }
    bool Write(const std::uint8_t* bytes, std::uint32_t n) override {
        if (!open_) return false;
        if (gone) {
            gone_ = true;
            return false;
        }
        now_ += kByteUs * n;
        if (on_request) on_request(std::vector<std::uint8_t>(bytes, bytes + n));
        return true;
    }
    // The byte-interval and total timeouts of SetTimeout(t): t ms between
    // two bytes, n + t ms in all.
    bool Read(std::uint8_t* buffer, std::uint32_t n) override {
        if (!open_) return false;
        if (gone) {
            gone_ = true;
            return false;
        }
        const Us t = Us{timeout_ms_} * 1000;
        const Us total = now_ + Us{n} * 1000 + t;
        Us last = now_;
        for (std::uint32_t i = 0; i < n; ++i) {
            const Us deadline = std::min(total, last + t);
            auto next = pending_.begin();
            if (next == pending_.end() || next->first > deadline) {
                now_ = deadline;
                return false;
            }
            now_ = std::max(now_, next->first);
            buffer[i] = next->second;
            pending_.erase(next);
            last = now_;
        }
        return true;
    }
    bool Close() override {
        open_ = false;
        return true;
    }
    bool IsOpen() const override { return open_; }

private:
    bool open_ = true;
    std::int32_t timeout_ms_ = 2000;
    Us now_ = 0;
    std::multimap<Us, std::uint8_t> pending_;
};

}  // namespace tovrel::test
