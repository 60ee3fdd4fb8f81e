#pragma once
// Plays a recording back through the window's live feed: its passes reach
// the maps, grids and dashboard as the monitor's do, marked as playback.
// The operating points are worked out here from a copy of the maps fetched
// from the device thread when the recording is opened and again at each
// start, so a busy device thread never holds up the picture.
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "Calculations.h"
#include "LiveFeed.h"
#include "Playback.h"
#include "Recording.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace tovrel::ui {

class DeviceThread;

class PlaybackBar : public QWidget {
    Q_OBJECT
public:
    PlaybackBar(LiveFeed& feed, DeviceThread& device, QWidget* parent = nullptr);
    ~PlaybackBar() override;

    // Reads the recording; false (and the reason in `error`) when it cannot
    // be played: what was open stays as it was. A line that could not be
    // read is named in `warning`.
    bool Open(const QString& path, QString* error, QString* warning);
    void Close();
    bool IsOpen() const { return recording_ != nullptr; }
    // Starts playing; false when the monitor runs.
    bool Play();
    void Pause();
    bool IsPlaying() const { return playback_ && (playback_->Playing() || play_pending_); }
    // While paused: shows the next (+1) or previous (-1) pass.
    void Step(int direction);
    // One of kSpeeds.
    void SetSpeed(double speed);
    std::size_t Position() const { return playback_ ? playback_->Position() : 0; }
    const Recording* Opened() const { return recording_.get(); }
    // The maps the points are worked out from have arrived.
    bool HasMaps() const { return maps_.has_value(); }

    static constexpr double kSpeeds[] = {0.25, 0.5, 1, 2, 4, 8};

signals:
    void refused(const QString& message);
    void playingChanged(bool playing);

private:
    double Now() const;
    void FetchMaps();
    void Tick();
    void Show(std::size_t index);
    void ShowPosition();
    void UpdateButtons();

    LiveFeed& feed_;
    DeviceThread& device_;
    std::unique_ptr<Recording> recording_;
    std::unique_ptr<Playback> playback_;
    std::optional<TimingMaps> maps_;
    bool play_pending_ = false;  // Play waits for the maps
    int fetches_ = 0;            // the newest fetch wins
    QTimer* timer_;
    QLabel* name_;
    QPushButton *play_, *back_, *forward_, *close_;
    QComboBox* speed_;
    QLabel* position_;
};

// A recorded pass as the feed carries it, its points from `maps`.
LiveSample PlaybackSample(const RecordedPass& pass, const TimingMaps& maps);

}  // namespace tovrel::ui
