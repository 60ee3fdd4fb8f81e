#pragma once
// Records the monitor's passes as they reach the window: one row per pass,
// written on the GUI thread from the live feed and handed to the system row
// by row, so a killed program leaves a file that reads up to its last pass.
// The file is made at the first pass after the start (its "#" lines name
// that pass's device options and the configuration's checksum); passes of
// several runs go into one file on one time line.
#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "LiveFeed.h"
#include "Recording.h"

namespace tovrel::ui {

class LiveRecorder : public QObject {
    Q_OBJECT
public:
    // `with_crc` is raised from the start until the file is made, so that
    // the samples carry the configuration's checksum for its preamble.
    LiveRecorder(LiveFeed& feed, std::atomic<bool>& with_crc, QObject* parent = nullptr);
    ~LiveRecorder() override;

    // Where recordings go: "recordings" in the user's data folder unless set.
    void SetDirectory(std::filesystem::path dir) { dir_ = std::move(dir); }
    const std::filesystem::path& Directory() const { return dir_; }
    // The file name's time stamp (local time "YYYY-MM-DD_HH-MM-SS" unless set).
    std::function<std::string()> stamp;

    bool IsRecording() const { return armed_; }
    void Start();
    void Stop();
    // A marker at the time of the last row written; false when no file is
    // being written yet.
    bool Mark();
    // The file being (or last) written; empty before the first pass.
    std::filesystem::path Path() const { return path_; }
    std::size_t Rows() const { return rows_; }
    // The time of the last row written (ms).
    long LastMs() const { return last_ms_; }

signals:
    void recordingChanged(bool recording);
    // The file was made.
    void fileStarted(const QString& path);
    void stopped(const QString& path, qulonglong rows);
    // A write failed: the recording stopped; the rows before stay readable.
    void writeFailed(const QString& path, qulonglong rows);
    // The file could not be made: the recording stopped.
    void createFailed(const QString& reason);
    void marked(long ms);

private:
    void OnSample(const LiveSample& sample);
    void Finish();

    std::atomic<bool>& with_crc_;
    std::filesystem::path dir_;
    std::unique_ptr<RecordingFile> file_;
    std::filesystem::path path_;
    bool armed_ = false;
    std::size_t rows_ = 0;
    // The recording's time line: a new run continues it after the real pause.
    long offset_ms_ = 0, last_ms_ = 0, last_run_ms_ = -1;
    std::chrono::steady_clock::time_point last_made_{};
};

// The recorded value of a sample's map: the advance map of the fuel in use
// at the engine speed.
double RecordedMapValue(const LiveSample& sample);

}  // namespace tovrel::ui
