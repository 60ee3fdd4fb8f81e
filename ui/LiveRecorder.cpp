#include "LiveRecorder.h"

#include <ctime>

#include "ConfigurationReadWrite.h"

namespace tovrel::ui {

namespace {

std::string LocalStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
    return text;
}

QString Q(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

}  // namespace

double RecordedMapValue(const LiveSample& sample) {
    return sample.points[MapKindIndex(sample.snapshot.Gas() ? MapKind::LPG : MapKind::Petrol)].map_value;
}

LiveRecorder::LiveRecorder(LiveFeed& feed, std::atomic<bool>& with_crc, QObject* parent)
    : QObject(parent), stamp(LocalStamp), with_crc_(with_crc), dir_(UserDataDirectory() / "recordings") {
    connect(&feed, &LiveFeed::sample, this, &LiveRecorder::OnSample);
}

LiveRecorder::~LiveRecorder() {
    if (armed_) with_crc_ = false;
}

void LiveRecorder::Start() {
    if (armed_) return;
    armed_ = true;
    file_.reset();
    path_.clear();
    rows_ = 0;
    offset_ms_ = last_ms_ = 0;
    last_run_ms_ = -1;
    with_crc_ = true;
    emit recordingChanged(true);
}

void LiveRecorder::Stop() {
    if (!armed_) return;
    const std::size_t rows = rows_;
    Finish();
    emit stopped(Q(path_), rows);
}

void LiveRecorder::Finish() {
    armed_ = false;
    with_crc_ = false;
    file_.reset();  // closes the file
    emit recordingChanged(false);
}

bool LiveRecorder::Mark() {
    if (!armed_ || !file_) return false;
    if (!file_->Mark(last_ms_)) {
        const std::size_t rows = rows_;
        Finish();
        emit writeFailed(Q(path_), rows);
        return false;
    }
    emit marked(last_ms_);
    return true;
}

void LiveRecorder::OnSample(const LiveSample& sample) {
    if (!armed_ || sample.playback) return;
    if (!file_) {
        // A pass made before the start asked for the checksum has none; the
        // next one has.
        if (!sample.configuration_crc) return;
        std::string error;
        file_ = RecordingFile::Create(dir_, stamp(), RecordingPreamble(sample.options, sample.configuration_crc),
                                      &error);
        if (!file_) {
            Finish();
            emit createFailed(QString::fromStdString(error));
            return;
        }
        path_ = file_->Path();
        // Only the preamble wants the checksum: the passes from here on are
        // made without working it out.
        with_crc_ = false;
        emit fileStarted(Q(path_));
    } else if (sample.ms < last_run_ms_) {
        // A new run: its time goes on from the last row after the real pause.
        const auto pause = std::chrono::duration_cast<std::chrono::milliseconds>(sample.made - last_made_).count();
        offset_ms_ = last_ms_ + std::max<long>(0, static_cast<long>(pause)) - sample.ms;
    }
    last_run_ms_ = sample.ms;
    last_made_ = sample.made;
    const long ms = offset_ms_ + sample.ms;
    const RealtimeSnapshot& s = sample.snapshot;
    const std::string row = s.failed_reads > 0 ? RecordingFailedRow(s, ms) : RecordingRow(s, ms, RecordedMapValue(sample));
    if (!file_->Append(row)) {
        const std::size_t rows = rows_;
        Finish();
        emit writeFailed(Q(path_), rows);
        return;
    }
    rows_ = file_->Rows();
    last_ms_ = ms;
}

}  // namespace tovrel::ui
