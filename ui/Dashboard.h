#pragma once
// The dashboard docked under the pages: the engine's live values, a strip
// chart of the last minute, the monitor's start and stop (the same run as
// the settings page's button, optionally chained run after run), recording
// and playback. It hears everything through the window's live feed.
#include <QDockWidget>
#include <QPointer>
#include <chrono>

#include "Language.h"
#include "LiveFeed.h"

class QCheckBox;
class QCPGraph;
class QCustomPlot;
class QLabel;
class QMainWindow;
class QPushButton;
class QShortcut;
class QTimer;

namespace tovrel::ui {

class Desktop;
class LiveRecorder;
class PlaybackBar;

class Dashboard : public QDockWidget, public Retranslatable {
    Q_OBJECT
public:
    // Seconds of the strip chart.
    static constexpr double kChartSeconds = 60;

    Dashboard(Desktop& desktop, QMainWindow* window);

    LiveRecorder& recorder() const { return *recorder_; }
    PlaybackBar& playback() const { return *playback_; }
    QCustomPlot& chart() const { return *chart_; }
    QCheckBox& continuous() const { return *continuous_; }

    // The start/stop button: starts a monitor run, or asks the running one
    // to stop (then no further run is chained).
    void ToggleMonitor();
    void ToggleRecording();
    // Space: a marker in the recording, unless a text field has the focus.
    bool MarkNow();
    // Asks for a recording and opens it for playback.
    void OpenRecordingDialog();
    // Opens `path` for playback; the outcome in the status bar.
    bool OpenRecording(const QString& path);
    // Runs chained by the continuous mode so far.
    int ChainedRuns() const { return chained_; }
    // The chart's legend and axis caption.
    void Retranslate(const TextMapper& mapper) override;

private:
    void OnSample(const LiveSample& sample);
    void OnMonitorRunning(bool running);
    void Status(const QString& text, int timeout_ms = 0);
    void ShowRecordingState(bool recording);
    void ScheduleReplot();

    Desktop& desktop_;
    QMainWindow* window_;
    LiveRecorder* recorder_;
    PlaybackBar* playback_;
    QLabel *speed_, *throttle_, *advance_, *fuel_, *sync_, *temperature_;
    QPushButton *monitor_, *record_, *open_;
    QCheckBox* continuous_;
    QCustomPlot* chart_;
    QCPGraph *speed_graph_, *throttle_graph_, *advance_graph_, *map_graph_;
    QTimer* replot_;
    QShortcut* marker_;
    bool stop_asked_ = false;  // the fitter stopped the run from here
    int last_pass_ = -1;       // of the run now ending
    int chained_ = 0;
    // The chart's time line: runs and playback follow one another on it.
    double chart_base_ = 0, chart_last_ = 0;
    long last_ms_ = -1;
    std::chrono::steady_clock::time_point last_made_{};
    bool last_playback_ = false;
};

// Docks a dashboard in the desktop's main window with its menu items (View,
// File, Ctrl+L); its visibility is kept in the desktop's settings when there
// are any.
Dashboard* InstallDashboard(Desktop& desktop);

}  // namespace tovrel::ui
