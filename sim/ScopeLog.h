#pragma once
// What the simulated oscilloscope firmware received and sent, for tests and
// benchmarks that compare a record file with the stream record by record.
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace tovrel::sim {

class ScopeLog {
public:
    // Every record sent since the last stream request, marker included, in
    // order; the end record is not among them.
    std::vector<std::vector<std::uint8_t>> Records() const {
        std::lock_guard lock(mutex_);
        return records_;
    }
    std::size_t RecordCount() const {
        std::lock_guard lock(mutex_);
        return records_.size();
    }
    bool EndRecordSent() const {
        std::lock_guard lock(mutex_);
        return end_sent_;
    }
    int StreamRequests() const {
        std::lock_guard lock(mutex_);
        return stream_requests_;
    }
    bool LastRequestWas32Bit() const {
        std::lock_guard lock(mutex_);
        return last_32bit_;
    }
    int StartFrames() const {
        std::lock_guard lock(mutex_);
        return start_frames_;
    }
    int StopFrames() const {
        std::lock_guard lock(mutex_);
        return stop_frames_;
    }

    // Used by the firmware.
    void StreamRequest(bool mode32) {
        std::lock_guard lock(mutex_);
        ++stream_requests_;
        last_32bit_ = mode32;
        records_.clear();
        end_sent_ = false;
    }
    void StartFrame() {
        std::lock_guard lock(mutex_);
        ++start_frames_;
    }
    void StopFrame() {
        std::lock_guard lock(mutex_);
        ++stop_frames_;
    }
    void Record(std::span<const std::uint8_t> bytes) {
        std::lock_guard lock(mutex_);
        records_.emplace_back(bytes.begin(), bytes.end());
    }
    void EndRecord() {
        std::lock_guard lock(mutex_);
        end_sent_ = true;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> records_;
    bool end_sent_ = false;
    bool last_32bit_ = false;
    int stream_requests_ = 0;
    int start_frames_ = 0;
    int stop_frames_ = 0;
};

}  // namespace tovrel::sim
