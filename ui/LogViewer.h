#pragma once
// The log viewer: a window for monitor recordings (*.csv) and the device's
// log files (LOG_n.txt). Stacked time plots share one time axis and a
// cursor that follows the mouse; the pass under the cursor goes out on the
// live feed as a played-back sample, so the maps show its operating point.
// A recording also gets engine speed against applied advance drawn over the
// engine-speed map of its fuel, and the time spent at each map point as bars
// under that chart and as a tint on an 8 x 10 grid of the maps' shape, both
// with filters for synchronisation and fuel. Files are read off the GUI
// thread; the pictures can be saved as PNG.
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "Calculations.h"
#include "Language.h"
#include "LogFileRead.h"
#include "Recording.h"

class QCustomPlot;
class QCPAxisRect;
class QCPGraph;
class QCPBars;
class QCPItemStraightLine;
class QComboBox;
class QLabel;
class QTableWidget;
class QPushButton;

namespace tovrel::ui {

class UiContext;
class LiveFeed;

class LogViewer : public QWidget, public Retranslatable {
    Q_OBJECT
public:
    enum class Content { None, Recording, DeviceLog };
    static constexpr int kTimeRects = 4;

    LogViewer(UiContext& ctx, LiveFeed& feed, QWidget* parent = nullptr);
    ~LogViewer() override;

    // Reads the file on a worker thread; `shown` or `refused` follows on the
    // GUI thread. A recording is a file ending in ".csv", anything else is
    // read as a device log.
    void Open(const QString& path);
    // Asks for a file and opens it.
    void OpenWithDialog();
    // Saves the time plots as `path`, and for a recording the map chart and
    // the grid beside it ("<name>-map.png", "<name>-grid.png"). False (and
    // the status says which) when a file could not be written.
    bool ExportPng(const QString& path);
    void ExportWithDialog();

    // The filters of the map chart and the histogram.
    void SetFilter(const RecordingFilter& filter);
    // Moves the cursor to `key` on the time axis (seconds of a recording,
    // the entry number of a device log), as the mouse does.
    void MoveCursorTo(double key);

    Content Shown() const { return content_; }
    // Points of the first time plot (one per pass or entry read).
    int PointCount() const;
    QString Status() const;
    const std::array<double, MapPointCount>& Histogram() const { return histogram_; }
    QCustomPlot* TimePlots() const { return time_plot_; }
    QCustomPlot* MapPlot() const { return map_plot_; }
    QTableWidget* Grid() const { return grid_; }
    // The copy of the maps the map chart draws (taken from the device thread).
    void SetMaps(const TimingMaps& maps);
    // A language switch: the buttons, filters, status and plot captions.
    void Retranslate(const TextMapper& mapper) override;

signals:
    void shown();
    void refused(const QString& why);

private:
    struct Loaded;
    void Build();
    void RequestMaps();
    void Show(const std::shared_ptr<Loaded>& loaded);
    void ShowRecording();
    void ShowDeviceLog();
    void UpdateMapView();
    void SetStatus(const QString& text);
    MapKind ShownMap() const;
    void LinkTimeAxes();
    void ReadFilterBoxes();

    UiContext& ctx_;
    LiveFeed& feed_;
    std::thread reader_;

    QPushButton* open_ = nullptr;
    QPushButton* export_ = nullptr;
    QComboBox* sync_box_ = nullptr;
    QComboBox* fuel_box_ = nullptr;
    QLabel* status_ = nullptr;
    QCustomPlot* time_plot_ = nullptr;
    std::array<QCPAxisRect*, kTimeRects> rects_{};
    std::array<QCPGraph*, kTimeRects> first_{};   // one series per plot...
    std::array<QCPGraph*, kTimeRects> second_{};  // ...and a second where two share it
    std::array<QCPItemStraightLine*, kTimeRects> cursors_{};
    QCustomPlot* map_plot_ = nullptr;
    QCPGraph* map_curve_ = nullptr;
    QCPGraph* scatter_ = nullptr;
    QCPBars* bars_ = nullptr;
    QCPAxisRect* bars_rect_ = nullptr;
    QTableWidget* grid_ = nullptr;

    Content content_ = Content::None;
    QString file_name_;
    std::optional<Recording> recording_;
    std::optional<DeviceLog> log_;
    std::vector<std::size_t> good_passes_;  // indices of the passes with values
    std::optional<TimingMaps> maps_;
    RecordingFilter filter_;
    std::array<double, MapPointCount> histogram_{};
    std::optional<std::size_t> published_;  // the pass last put on the feed
    bool linking_ = false;
};

// The one viewer of `owner` (a window of its own, closed with it), made on
// first use, shown and raised.
LogViewer& ShowLogViewer(QWidget* owner, UiContext& ctx, LiveFeed& feed);

}  // namespace tovrel::ui
