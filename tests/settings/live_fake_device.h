#pragma once
// An in-memory variator for the live-data tests: it decodes every request
// frame, records it, and answers like the normal firmware from a table of
// values (or a function), without threads or waiting.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "Dataextractor.h"
#include "LiveState.h"
#include "RecordingScreen.h"
#include "SimFixture.h"

namespace tovrel::test {

struct Request {
    bool write = false;
    std::uint8_t address = 0, index = 0;
    std::uint16_t value = 0;
};

class FakeDevice : public SerialPort {
public:
    std::vector<Request> requests;
    // Read answers by address (index ignored) ...
    std::map<std::uint8_t, std::uint16_t> values;
    // ... and by address and index, which win.
    std::map<std::pair<std::uint8_t, std::uint8_t>, std::uint16_t> indexed;
    // Successive answers to reads of an address, before `values` applies.
    std::map<std::uint8_t, std::deque<std::uint16_t>> scripts;
    // When set, it decides: nothing means no reply at all. For a write, the
    // request's own value confirms it; any other value comes back in a reply
    // that passes the checks but confirms nothing.
    std::function<std::optional<std::uint16_t>(const Request&)> respond;

    int Reads(std::uint8_t address) const {
        int n = 0;
        for (const auto& r : requests) n += !r.write && r.address == address;
        return n;
    }
    std::vector<Request> Writes() const {
        std::vector<Request> w;
        for (const auto& r : requests)
            if (r.write) w.push_back(r);
        return w;
    }
    std::vector<std::uint8_t> Addresses() const {
        std::vector<std::uint8_t> a;
        for (const auto& r : requests) a.push_back(r.address);
        return a;
    }

    bool Open(const std::string&, std::uint32_t, std::int32_t) override { return open_ = true; }
    bool SetTimeout(std::int32_t) override { return open_; }
    bool Purge() override {
        input_.clear();
        return open_;
    }
    bool Write(const std::uint8_t* b, std::uint32_t n) override {
        if (!open_ || n != 7) return false;
        Request r{b[0] == 0xAA, b[1], b[2], static_cast<std::uint16_t>((b[3] << 8) | b[4])};
        requests.push_back(r);
        auto v = Answer(r);
        if (!v) return true;
        std::array<std::uint8_t, 7> reply{};
        if (r.write && *v == r.value) {
            for (std::uint32_t i = 0; i < 7; ++i) reply[i] = static_cast<std::uint8_t>(~b[i]);
        } else {
            reply = {b[0], b[1], b[2], static_cast<std::uint8_t>(*v >> 8), static_cast<std::uint8_t>(*v & 0xFF), 0, 0};
            reply[5] = static_cast<std::uint8_t>(~reply[3]);
            reply[6] = static_cast<std::uint8_t>(~reply[4]);
        }
        input_.insert(input_.end(), reply.begin(), reply.end());
        return true;
    }
    bool Read(std::uint8_t* buffer, std::uint32_t n) override {
        std::uint32_t i = 0;
        for (; i < n && !input_.empty(); ++i) {
            buffer[i] = input_.front();
            input_.pop_front();
        }
        return open_ && i == n;
    }
    bool Close() override {
        open_ = false;
        return true;
    }
    bool IsOpen() const override { return open_; }

private:
    std::optional<std::uint16_t> Answer(const Request& r) {
        if (respond) return respond(r);
        if (r.write) return r.value;
        if (auto s = scripts.find(r.address); s != scripts.end() && !s->second.empty()) {
            auto v = s->second.front();
            s->second.pop_front();
            return v;
        }
        if (auto it = indexed.find({r.address, r.index}); it != indexed.end()) return it->second;
        if (auto it = values.find(r.address); it != values.end()) return it->second;
        return 0;
    }

    bool open_ = true;
    std::deque<std::uint8_t> input_;
};

// A connected link to a FakeDevice and the live state around it.
class LiveFixture : public ::testing::Test {
protected:
    LiveFixture() {
        link.sleep_ms = [](int) {};
        link.ShowConnectionState(state::Connected);
        live.logs_dir = logs.path() + "/LOGs";
        screen.Clear();
    }

    RecordingScreen screen;
    std::unique_ptr<FakeDevice> owned = std::make_unique<FakeDevice>();
    FakeDevice* device = owned.get();
    DeviceLink link{screen, std::move(owned)};
    WriteGuard guard;
    DeviceOptions options;
    LiveState live;
    LiveContext ctx{link, guard, options, live};
    TempDir logs;
};

}  // namespace tovrel::test
