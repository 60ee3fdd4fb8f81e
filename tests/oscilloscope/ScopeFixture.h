#pragma once
// A variator in its oscilloscope firmware, the capture wired to the test
// screen and an image canvas, and a reader of record files that does not use
// the program's own formatter.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "Cp1251.h"
#include "ImageCanvas.h"
#include "Ocsilloscope.h"
#include "SimFixture.h"

namespace tovrel::test {

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// One line of a record file, split into its fields.
struct FileRecord {
    long number = 0;
    std::vector<int> bytes;  // B0..B2 or B0..B4
    int tooth = 0;
    int level = 0;
    long long length = 0;
};

struct RecordFileContent {
    std::string head;  // the head line, UTF-8, without CR LF
    std::vector<FileRecord> records;
    bool crlf_everywhere = true;
};

inline RecordFileContent ParseRecordFile(const std::string& cp1251, bool mode32) {
    RecordFileContent out;
    std::size_t at = 0;
    bool first = true;
    while (at < cp1251.size()) {
        auto end = cp1251.find('\n', at);
        if (end == std::string::npos) end = cp1251.size();
        std::string line = cp1251.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line.back() != '\r') out.crlf_everywhere = false;
        else line.pop_back();
        line = Cp1251ToUtf8(line);
        if (first) {
            out.head = line;
            first = false;
            continue;
        }
        std::istringstream in(line);
        std::string word, tooth;
        FileRecord r;
        in >> word >> r.number;
        EXPECT_EQ(word, "Запрос");
        for (int k = 0; k < (mode32 ? 5 : 3); ++k) {
            int b = 0;
            in >> b;
            r.bytes.push_back(b);
        }
        in >> tooth >> r.level >> r.length;
        EXPECT_EQ(tooth.rfind("№", 0), 0u) << line;
        r.tooth = std::stoi(tooth.substr(std::string("№").size()));
        out.records.push_back(r);
    }
    return out;
}

class ScopeFixture : public SimFixture {
protected:
    static constexpr int kPort = 5;

    void SetUp() override {
        SimFixture::SetUp();
        scope = std::make_unique<Oscilloscope>(*link, canvas);
        scope->record_dir = dir.path();
        scope->timings.drain_ms = 60;
        scope->timings.wait_ms = 1500;
        scope->timings.end_ms = 60;
        scope->timings.init_silence_ms = 600;
        scope->timings.slice_ms = 20;
        SetUpOscilloscopePage(screen);
    }
    void TearDown() override {
        scope.reset();
        SimFixture::TearDown();
    }

    // Options of a simulator with a fresh log.
    sim::Options ScopeOptions() {
        log = std::make_shared<sim::ScopeLog>();
        sim::Options o;
        o.port_dir = dir.path();
        o.port_number = kPort;
        o.mode = 3;
        o.scope_step_ms = 0;
        o.scope_records = 400;
        o.scope_log = log;
        return o;
    }
    // Starts the simulator and connects to it as the port scan does.
    sim::Variator& StartScope(const sim::Options& o) {
        sims.push_back(std::make_unique<sim::Variator>(o));
        sims.back()->Start();
        EXPECT_EQ(link->Connect(kPort, false), 3);
        link->DeviceMode = 3;
        screen.Clear();
        slept_ms = 0;
        return *sims.back();
    }
    void Capture(bool mode32) {
        screen.SetChecked("Oscilloscope_32_Mode_CheckBox", mode32);
        scope->ConnectAndShowOsciillButtonClick();
    }
    std::string RecordFile(bool mode32) const { return dir / std::string(RecordFileName(mode32)); }

    // Every file record matches the simulator's record of the same number.
    void ExpectFileMatchesSent(const RecordFileContent& file, std::size_t count, bool mode32) {
        const auto sent = log->Records();
        ASSERT_EQ(file.records.size(), count);
        ASSERT_GE(sent.size(), count);
        for (std::size_t k = 0; k < count; ++k) {
            SCOPED_TRACE(k);
            const auto& s = sent[k];
            const auto& r = file.records[k];
            ASSERT_EQ(s.size(), mode32 ? 6u : 4u);
            EXPECT_EQ(r.number, static_cast<long>(k));
            EXPECT_EQ(r.bytes, std::vector<int>(s.begin() + 1, s.end()));
            EXPECT_EQ(r.tooth, s[1] & 0x7F);
            EXPECT_EQ(r.level, s[1] >> 7);
            long long length = 0;
            for (std::size_t b = 2; b < s.size(); ++b) length = length * 256 + s[b];
            if (mode32 && length >= (1LL << 31)) length -= (1LL << 32);
            EXPECT_EQ(r.length, length);
        }
    }

    std::shared_ptr<sim::ScopeLog> log = std::make_shared<sim::ScopeLog>();
    ImageCanvas canvas{kOscillImageWidth, kOscillImageHeight};
    std::unique_ptr<Oscilloscope> scope;
};

}  // namespace tovrel::test
