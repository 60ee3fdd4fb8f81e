#include "LogViewer.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <qcustomplot.h>

#include "DeviceThread.h"
#include "LiveFeed.h"
#include "OperatingPoint.h"
#include "Program.h"
#include "QtTexts.h"
#include "UiContext.h"
#include "ViewerTexts.h"

namespace tovrel::ui {

namespace {

constexpr int kGridColumns = 8, kGridRows = 10;  // the maps' grid body: point = column * 10 + row
const QColor kSpeedColour(0, 90, 200);
const QColor kThrottleColour(0, 140, 60);
const QColor kAppliedColour(200, 40, 40);
const QColor kMapColour(90, 90, 90);
const QColor kSyncColour(120, 60, 170);
const QColor kGasColour(220, 140, 0);
const QColor kCursorColour(0, 0, 0, 150);
const QColor kTint(230, 80, 30);

QPen Pen(const QColor& c, double width = 1.2) {
    QPen pen(c);
    pen.setWidthF(width);
    return pen;
}

// Tick labels as printf's %g writes them, whatever the user's locale.
void PlainLocale(QCustomPlot* plot) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    plot->setLocale(c);
}

QVector<double> Vec(std::size_t n) { return QVector<double>(static_cast<qsizetype>(n)); }

}  // namespace

// What the worker thread read.
struct LogViewer::Loaded {
    QString path;
    std::optional<Recording> recording;
    std::optional<DeviceLog> log;
    std::string error;
};

LogViewer::LogViewer(UiContext& ctx, LiveFeed& feed, QWidget* parent) : QWidget(parent), ctx_(ctx), feed_(feed) {
    setObjectName("LogViewer");
    setWindowFlag(Qt::Window);
    setWindowTitle(QTr(ViewerText::Title));
    Build();
    resize(1200, 860);
}

LogViewer::~LogViewer() {
    // A read is bounded (the files' size limits); its result, queued to a
    // window that is gone, is dropped with the window's events.
    if (reader_.joinable()) reader_.join();
}

void LogViewer::Build() {
    auto* top = new QHBoxLayout;
    open_ = new QPushButton(QTr(ViewerText::Open), this);
    open_->setObjectName("ViewerOpen");
    export_ = new QPushButton(QTr(ViewerText::Export), this);
    export_->setObjectName("ViewerExport");
    export_->setEnabled(false);
    sync_box_ = new QComboBox(this);
    sync_box_->setObjectName("ViewerSyncFilter");
    sync_box_->addItems({QTr(ViewerText::SyncAll), QTr(ViewerText::SyncOnly)});
    fuel_box_ = new QComboBox(this);
    fuel_box_->setObjectName("ViewerFuelFilter");
    fuel_box_->addItems({QTr(ViewerText::FuelBoth), QTr(ViewerText::FuelGas), QTr(ViewerText::FuelPetrol)});
    status_ = new QLabel(this);
    status_->setObjectName("ViewerStatus");
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(open_);
    top->addWidget(export_);
    top->addSpacing(16);
    top->addWidget(new QLabel(QTr(ViewerText::SyncFilter), this));
    top->addWidget(sync_box_);
    top->addWidget(new QLabel(QTr(ViewerText::FuelFilter), this));
    top->addWidget(fuel_box_);
    top->addSpacing(16);
    top->addWidget(status_, 1);
    connect(open_, &QPushButton::clicked, this, &LogViewer::OpenWithDialog);
    connect(export_, &QPushButton::clicked, this, &LogViewer::ExportWithDialog);
    connect(sync_box_, &QComboBox::currentIndexChanged, this, &LogViewer::ReadFilterBoxes);
    connect(fuel_box_, &QComboBox::currentIndexChanged, this, &LogViewer::ReadFilterBoxes);

    // The time plots: one axis rect each, stacked, one time axis for all.
    time_plot_ = new QCustomPlot(this);
    time_plot_->setObjectName("ViewerTimePlots");
    PlainLocale(time_plot_);
    time_plot_->setMouseTracking(true);
    time_plot_->plotLayout()->clear();
    time_plot_->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    // Pans and zooms redraw only what changed; a 30,000-point line is thinned
    // to the pixels it covers.
    // Thin lines without antialiasing: an hour of passes pans at frame rate.
    time_plot_->setNotAntialiasedElements(QCP::aeAll);
    time_plot_->setPlottingHint(QCP::phFastPolylines, true);
    // The cursors on a layer of their own: moving them redraws that layer only.
    time_plot_->addLayer("cursor", time_plot_->layer("main"), QCustomPlot::limAbove);
    time_plot_->layer("cursor")->setMode(QCPLayer::lmBuffered);
    for (int k = 0; k < kTimeRects; ++k) {
        auto* rect = new QCPAxisRect(time_plot_);
        rect->setRangeDrag(Qt::Horizontal);
        rect->setRangeZoom(Qt::Horizontal);
        rect->setMinimumMargins(QMargins(60, 4, 10, 4));
        time_plot_->plotLayout()->addElement(k, 0, rect);
        rects_[static_cast<std::size_t>(k)] = rect;
        auto* a = time_plot_->addGraph(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft));
        auto* b = time_plot_->addGraph(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft));
        a->setAdaptiveSampling(true);
        b->setAdaptiveSampling(true);
        first_[static_cast<std::size_t>(k)] = a;
        second_[static_cast<std::size_t>(k)] = b;
        auto* cursor = new QCPItemStraightLine(time_plot_);
        cursor->setLayer("cursor");
        cursor->setClipAxisRect(rect);
        cursor->point1->setAxes(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft));
        cursor->point2->setAxes(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft));
        cursor->setPen(Pen(kCursorColour, 1));
        cursor->setVisible(false);
        cursors_[static_cast<std::size_t>(k)] = cursor;
        if (k + 1 < kTimeRects) rect->axis(QCPAxis::atBottom)->setTickLabels(false);
    }
    // The rects line up their left edges, so one time is one column of pixels.
    auto* margins = new QCPMarginGroup(time_plot_);
    for (auto* rect : rects_) rect->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
    LinkTimeAxes();
    connect(time_plot_, &QCustomPlot::mouseMove, this, [this](QMouseEvent* event) {
        if (content_ == Content::None) return;
        MoveCursorTo(rects_[0]->axis(QCPAxis::atBottom)->pixelToCoord(event->position().x()));
    });

    // The map chart of a recording with its histogram underneath.
    map_plot_ = new QCustomPlot(this);
    map_plot_->setObjectName("ViewerMapPlot");
    // Never sized to nothing while hidden (a device log): it would draw into no buffer.
    map_plot_->setMinimumSize(360, 280);
    PlainLocale(map_plot_);
    map_plot_->plotLayout()->insertRow(0);
    map_plot_->plotLayout()->addElement(0, 0, new QCPTextElement(map_plot_, QString(), QFont(font().family(), 10, QFont::Bold)));
    auto* map_rect = map_plot_->axisRect();
    map_curve_ = map_plot_->addGraph();
    map_curve_->setName(QTr(ViewerText::SeriesMap));
    map_curve_->setPen(Pen(kMapColour, 1.6));
    map_curve_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 4));
    scatter_ = map_plot_->addGraph();
    scatter_->setName(QTr(ViewerText::SeriesPasses));
    scatter_->setLineStyle(QCPGraph::lsNone);
    scatter_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, QColor(200, 40, 40, 60), 3));
    scatter_->setAdaptiveSampling(true);
    map_plot_->setNotAntialiasedElements(QCP::aeScatters);
    map_rect->axis(QCPAxis::atBottom)->setLabel(QTr(ViewerText::AxisEngineSpeed));
    map_rect->axis(QCPAxis::atLeft)->setLabel(QTr(ViewerText::AxisAdvance));
    map_plot_->legend->setVisible(true);
    map_rect->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    bars_rect_ = new QCPAxisRect(map_plot_);
    map_plot_->plotLayout()->addElement(2, 0, bars_rect_);
    map_plot_->plotLayout()->setRowStretchFactor(2, 0.45);
    bars_ = new QCPBars(bars_rect_->axis(QCPAxis::atBottom), bars_rect_->axis(QCPAxis::atLeft));
    bars_->setPen(Qt::NoPen);
    bars_->setBrush(kTint);
    bars_->removeFromLegend();
    bars_rect_->axis(QCPAxis::atLeft)->setLabel(QTr(ViewerText::HistogramAxis));
    auto* map_margins = new QCPMarginGroup(map_plot_);
    map_rect->setMarginGroup(QCP::msLeft | QCP::msRight, map_margins);
    bars_rect_->setMarginGroup(QCP::msLeft | QCP::msRight, map_margins);
    connect(map_rect->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::rangeChanged),
            bars_rect_->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::setRange));

    grid_ = new QTableWidget(kGridRows, kGridColumns, this);
    grid_->setObjectName("ViewerGrid");
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    grid_->verticalHeader()->setVisible(false);
    grid_->horizontalHeader()->setVisible(false);
    grid_->horizontalHeader()->setDefaultSectionSize(52);
    grid_->verticalHeader()->setDefaultSectionSize(20);
    grid_->setFixedSize(52 * kGridColumns + 4, 20 * kGridRows + 4);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int c = 0; c < kGridColumns; ++c)
        for (int r = 0; r < kGridRows; ++r) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            grid_->setItem(r, c, item);
        }

    auto* right = new QWidget(this);
    auto* right_layout = new QVBoxLayout(right);
    right_layout->setContentsMargins(0, 0, 0, 0);
    right_layout->addWidget(map_plot_, 1);
    right_layout->addWidget(grid_, 0, Qt::AlignHCenter);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(time_plot_);
    split->addWidget(right);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    right->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
}

void LogViewer::LinkTimeAxes() {
    for (auto* rect : rects_) {
        connect(rect->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
                [this](const QCPRange& range) {
                    if (linking_) return;
                    linking_ = true;
                    for (auto* other : rects_) other->axis(QCPAxis::atBottom)->setRange(range);
                    linking_ = false;
                });
    }
}

void LogViewer::RequestMaps() {
    // The maps live on the device thread; a copy comes back queued.
    QPointer<LogViewer> self(this);
    ctx_.device().Post([self](Program& p) {
        const TimingMaps maps = p.maps.document.Maps();
        QMetaObject::invokeMethod(qApp, [self, maps] {
            if (self) self->SetMaps(maps);
        }, Qt::QueuedConnection);
    });
}

void LogViewer::SetMaps(const TimingMaps& maps) {
    maps_ = maps;
    if (content_ == Content::Recording) UpdateMapView();
}

void LogViewer::OpenWithDialog() {
    const QString path =
        QFileDialog::getOpenFileName(this, QTr(ViewerText::OpenTitle), QString(), QTr(ViewerText::OpenFilter));
    if (!path.isEmpty()) Open(path);
}

void LogViewer::Open(const QString& path) {
    if (reader_.joinable()) reader_.join();
    SetStatus(QTr(ViewerText::Reading).arg(QFileInfo(path).fileName()));
    open_->setEnabled(false);
    RequestMaps();
    QPointer<LogViewer> self(this);
    reader_ = std::thread([self, path] {
        auto loaded = std::make_shared<Loaded>();
        loaded->path = path;
        const std::filesystem::path file(path.toStdU16String());
        if (path.endsWith(".csv", Qt::CaseInsensitive)) loaded->recording = ReadRecording(file, &loaded->error);
        else loaded->log = ReadDeviceLog(file, &loaded->error);
        // Queued to the application, checked there: the window may be gone.
        QMetaObject::invokeMethod(qApp, [self, loaded] {
            if (self) self->Show(loaded);
        }, Qt::QueuedConnection);
    });
}

void LogViewer::Show(const std::shared_ptr<Loaded>& loaded) {
    open_->setEnabled(true);
    if (!loaded->recording && !loaded->log) {
        const QString why = QTr(ViewerText::Refused).arg(QString::fromStdString(loaded->error));
        SetStatus(why);
        emit refused(why);
        return;
    }
    file_name_ = QFileInfo(loaded->path).fileName();
    recording_ = std::move(loaded->recording);
    log_ = std::move(loaded->log);
    published_.reset();
    if (recording_) ShowRecording();
    else ShowDeviceLog();
    export_->setEnabled(true);
    emit shown();
}

void LogViewer::ShowRecording() {
    content_ = Content::Recording;
    const auto& passes = recording_->passes;
    good_passes_.clear();
    good_passes_.reserve(passes.size());
    for (std::size_t i = 0; i < passes.size(); ++i)
        if (!passes[i].failed) good_passes_.push_back(i);
    const std::size_t n = good_passes_.size();
    auto t = Vec(n), rpm = Vec(n), throttle = Vec(n), applied = Vec(n), map_value = Vec(n), sync = Vec(n),
         gas = Vec(n);
    for (std::size_t k = 0; k < n; ++k) {
        const auto& p = passes[good_passes_[k]];
        const auto& s = p.snapshot;
        const auto i = static_cast<qsizetype>(k);
        t[i] = p.ms / 1000.0;
        rpm[i] = s.engine_speed;
        throttle[i] = s.ThrottlePercent();
        applied[i] = s.AdvanceDegrees();
        map_value[i] = p.map_value ? *p.map_value : qQNaN();
        sync[i] = s.Synchronisation() == 1 ? 1.0 : 0.0;
        gas[i] = s.Gas() ? 1.0 : 0.0;
    }
    struct Series {
        QCPGraph* graph;
        const QVector<double>* values;
        QColor colour;
        ViewerText name;
        bool steps;
    };
    const Series series[] = {
        {first_[0], &rpm, kSpeedColour, ViewerText::AxisEngineSpeed, false},
        {second_[0], nullptr, {}, {}, false},
        {first_[1], &throttle, kThrottleColour, ViewerText::AxisThrottle, false},
        {second_[1], nullptr, {}, {}, false},
        {first_[2], &applied, kAppliedColour, ViewerText::SeriesApplied, false},
        {second_[2], &map_value, kMapColour, ViewerText::SeriesMapValue, false},
        {first_[3], &sync, kSyncColour, ViewerText::SeriesSync, true},
        {second_[3], &gas, kGasColour, ViewerText::SeriesGas, true},
    };
    for (const auto& s : series) {
        if (!s.values) {
            s.graph->data()->clear();
            continue;
        }
        if (s.steps) {
            // A step line needs only the passes where the value changes (and
            // the last): an hour of passes is then a few hundred points.
            QVector<double> keys, values;
            const auto& v = *s.values;
            for (qsizetype i = 0; i < v.size(); ++i)
                if (i == 0 || i + 1 == v.size() || v[i] != v[i - 1]) {
                    keys.push_back(t[i]);
                    values.push_back(v[i]);
                }
            s.graph->setData(keys, values, true);
        } else {
            s.graph->setData(t, *s.values, true);
        }
        s.graph->setPen(Pen(s.colour));
        s.graph->setName(QTr(s.name));
        s.graph->setLineStyle(s.steps ? QCPGraph::lsStepLeft : QCPGraph::lsLine);
    }
    // Gas sits just above synchronisation so the two steps stay apart.
    for (auto& d : *second_[3]->data()) d.value = d.value * 0.8 + 0.1;
    const ViewerText labels[kTimeRects] = {ViewerText::AxisEngineSpeed, ViewerText::AxisThrottle,
                                           ViewerText::AxisAdvance, ViewerText::AxisSyncFuel};
    for (int k = 0; k < kTimeRects; ++k) {
        auto* rect = rects_[static_cast<std::size_t>(k)];
        rect->axis(QCPAxis::atLeft)->setLabel(QTr(labels[k]));
        rect->axis(QCPAxis::atLeft)->rescale(true);
    }
    // A little room above and below, so extremes do not sit on the frame.
    for (int k : {0, 2}) {
        auto* y = rects_[static_cast<std::size_t>(k)]->axis(QCPAxis::atLeft);
        const QCPRange r = y->range();
        const double pad = std::max(r.size() * 0.05, 0.5);
        y->setRange(r.lower - pad, r.upper + pad);
    }
    rects_[0]->axis(QCPAxis::atLeft)->setRangeLower(0);
    rects_[1]->axis(QCPAxis::atLeft)->setRange(0, 105);
    rects_[3]->axis(QCPAxis::atLeft)->setRange(-0.2, 1.2);
    rects_[kTimeRects - 1]->axis(QCPAxis::atBottom)->setLabel(QTr(ViewerText::AxisTime));
    const double end = n ? t[static_cast<qsizetype>(n - 1)] : 1.0;
    rects_[0]->axis(QCPAxis::atBottom)->setRange(n ? t[0] : 0.0, std::max(end, (n ? t[0] : 0.0) + 1.0));
    for (auto* c : cursors_) c->setVisible(false);
    time_plot_->replot();

    // The time plots keep the larger share when the chart comes back.
    if (!map_plot_->parentWidget()->isVisible()) {
        map_plot_->parentWidget()->setVisible(true);
        if (auto* split = qobject_cast<QSplitter*>(map_plot_->parentWidget()->parentWidget())) {
            const int w = std::max(split->width(), 900);
            split->setSizes({w * 11 / 20, w - w * 11 / 20});
        }
    }
    UpdateMapView();

    QString status = QTr(ViewerText::ShownRecording).arg(file_name_).arg(n);
    if (recording_->first_bad_line)
        status += " — " + QTr(ViewerText::FirstBadLine)
                              .arg(recording_->first_bad_line)
                              .arg(QString::fromStdString(recording_->first_bad_reason));
    SetStatus(status);
}

void LogViewer::ShowDeviceLog() {
    content_ = Content::DeviceLog;
    good_passes_.clear();
    const auto& rows = log_->rows;
    const std::size_t n = rows.size();
    auto key = Vec(n), t = Vec(n), rtc = Vec(n), syn = Vec(n), err = Vec(n), l = Vec(n);
    for (std::size_t k = 0; k < n; ++k) {
        const auto i = static_cast<qsizetype>(k);
        key[i] = rows[k].index;
        t[i] = rows[k].t;
        rtc[i] = rows[k].rtc;
        syn[i] = rows[k].syn_2b;
        err[i] = rows[k].ngt_err;
        l[i] = rows[k].l;
    }
    // The field names are the file's own; the program gives them no meaning.
    struct Series {
        QCPGraph* graph;
        const QVector<double>* values;
        QColor colour;
        const char* name;
    };
    const Series series[] = {
        {first_[0], &t, kSpeedColour, "T"},       {second_[0], nullptr, {}, ""},
        {first_[1], &rtc, kThrottleColour, "RTC"}, {second_[1], nullptr, {}, ""},
        {first_[2], &err, kAppliedColour, "NGT_ERR"}, {second_[2], nullptr, {}, ""},
        {first_[3], &syn, kSyncColour, "SYN_2b"}, {second_[3], &l, kGasColour, "L"},
    };
    // Entries are not in time order in general: a step per entry, by number.
    for (const auto& s : series) {
        if (!s.values) {
            s.graph->data()->clear();
            continue;
        }
        s.graph->setData(key, *s.values, false);
        s.graph->setPen(Pen(s.colour));
        s.graph->setName(QString::fromLatin1(s.name));
        s.graph->setLineStyle(QCPGraph::lsStepCenter);
    }
    const char* labels[kTimeRects] = {"T", "RTC", "NGT_ERR", "SYN_2b / L"};
    for (int k = 0; k < kTimeRects; ++k) {
        auto* rect = rects_[static_cast<std::size_t>(k)];
        rect->axis(QCPAxis::atLeft)->setLabel(QString::fromLatin1(labels[k]));
        rect->axis(QCPAxis::atLeft)->rescale(true);
        const QCPRange r = rect->axis(QCPAxis::atLeft)->range();
        rect->axis(QCPAxis::atLeft)->setRange(r.lower - 0.5, r.upper + 0.5);
    }
    rects_[kTimeRects - 1]->axis(QCPAxis::atBottom)->setLabel(QTr(ViewerText::AxisEntry));
    rects_[0]->axis(QCPAxis::atBottom)->setRange(-0.5, kLogEntryCount - 0.5);
    for (auto* c : cursors_) c->setVisible(false);
    time_plot_->replot();
    map_plot_->parentWidget()->setVisible(false);

    QString status = QTr(ViewerText::ShownDeviceLog).arg(file_name_).arg(n);
    if (log_->first_bad_line)
        status += " — " + QTr(ViewerText::FirstBadLine)
                              .arg(log_->first_bad_line)
                              .arg(QString::fromStdString(log_->first_bad_reason));
    SetStatus(status);
}

MapKind LogViewer::ShownMap() const {
    if (filter_.gas) return *filter_.gas ? MapKind::LPG : MapKind::Petrol;
    // Both fuels: the map of the fuel the recording spent most passes on.
    std::size_t on_gas = 0;
    for (std::size_t i : good_passes_) on_gas += recording_->passes[i].snapshot.Gas() ? 1 : 0;
    return on_gas * 2 >= good_passes_.size() ? MapKind::LPG : MapKind::Petrol;
}

void LogViewer::UpdateMapView() {
    if (!recording_) return;
    const MapKind kind = ShownMap();
    auto* title = qobject_cast<QCPTextElement*>(map_plot_->plotLayout()->element(0, 0));
    if (title)
        title->setText(QTr(ViewerText::ScatterTitle)
                           .arg(QTr(kind == MapKind::LPG ? ViewerText::FuelGas : ViewerText::FuelPetrol)));

    QVector<double> sx, sy;
    sx.reserve(static_cast<qsizetype>(good_passes_.size()));
    sy.reserve(static_cast<qsizetype>(good_passes_.size()));
    double top_rpm = 0;
    for (std::size_t i : good_passes_) {
        const auto& s = recording_->passes[i].snapshot;
        if (filter_.gas && s.Gas() != *filter_.gas) continue;
        if (filter_.synchronised_only && s.Synchronisation() != 1) continue;
        sx.push_back(s.engine_speed);
        sy.push_back(s.AdvanceDegrees());
        top_rpm = std::max(top_rpm, static_cast<double>(s.engine_speed));
    }
    scatter_->setData(sx, sy);

    histogram_.fill(0);
    QVector<double> mx, my, hx, hy;
    if (maps_) {
        const TimingMap& map = (*maps_)[kind];
        histogram_ = TimeAtMapPoints(*recording_, map, kind, filter_);
        for (int p = 0; p < MapPointCount; ++p) {
            mx.push_back(map.x[static_cast<std::size_t>(p)]);
            my.push_back(map.y[static_cast<std::size_t>(p)]);
            hy.push_back(histogram_[static_cast<std::size_t>(p)]);
            top_rpm = std::max(top_rpm, map.x[static_cast<std::size_t>(p)]);
        }
        hx = mx;
        // Bars as wide as the narrowest gap between points, so none overlap.
        double gap = 0;
        for (int p = 1; p < MapPointCount; ++p) {
            const double d = mx[p] - mx[p - 1];
            if (d > 0 && (gap == 0 || d < gap)) gap = d;
        }
        bars_->setWidth(gap > 0 ? gap * 0.8 : 10);
    }
    map_curve_->setData(mx, my, true);
    bars_->setData(hx, hy, true);
    map_plot_->xAxis->setRange(0, std::max(top_rpm * 1.03, 1000.0));
    map_plot_->yAxis->rescale(true);
    const QCPRange y = map_plot_->yAxis->range();
    map_plot_->yAxis->setRange(y.lower - 1, y.upper + 1);
    bars_rect_->axis(QCPAxis::atLeft)->rescale(true);
    bars_rect_->axis(QCPAxis::atLeft)->setRangeLower(0);
    if (bars_rect_->axis(QCPAxis::atLeft)->range().upper <= 0) bars_rect_->axis(QCPAxis::atLeft)->setRangeUpper(1);
    // A chart not laid out yet is drawn by its first resize.
    if (!map_plot_->viewport().isEmpty()) map_plot_->replot(QCustomPlot::rpQueuedReplot);

    // The grid: seconds at each point, tinted by their share of the longest.
    const double most = *std::max_element(histogram_.begin(), histogram_.end());
    for (int p = 0; p < MapPointCount; ++p) {
        const double s = histogram_[static_cast<std::size_t>(p)];
        auto* item = grid_->item(p % kGridRows, p / kGridRows);
        item->setText(s > 0 ? QString::number(s, 'f', 1) : QString());
        QColor c = kTint;
        c.setAlphaF(most > 0 ? 0.08 + 0.8 * s / most : 0.0);
        item->setBackground(s > 0 ? QBrush(c) : QBrush());
    }
}

void LogViewer::SetFilter(const RecordingFilter& filter) {
    sync_box_->blockSignals(true);
    fuel_box_->blockSignals(true);
    sync_box_->setCurrentIndex(filter.synchronised_only ? 1 : 0);
    fuel_box_->setCurrentIndex(!filter.gas ? 0 : *filter.gas ? 1 : 2);
    sync_box_->blockSignals(false);
    fuel_box_->blockSignals(false);
    filter_ = filter;
    UpdateMapView();
}

void LogViewer::ReadFilterBoxes() {
    RecordingFilter f;
    f.synchronised_only = sync_box_->currentIndex() == 1;
    if (fuel_box_->currentIndex() == 1) f.gas = true;
    if (fuel_box_->currentIndex() == 2) f.gas = false;
    filter_ = f;
    UpdateMapView();
}

void LogViewer::MoveCursorTo(double key) {
    if (content_ == Content::None) return;
    for (auto* c : cursors_) {
        c->point1->setCoords(key, 0);
        c->point2->setCoords(key, 1);
        c->setVisible(true);
    }
    time_plot_->layer("cursor")->replot();
    if (content_ != Content::Recording || good_passes_.empty()) return;
    // The pass under the cursor: the last one that began at or before it.
    const auto& passes = recording_->passes;
    const long ms = std::lround(key * 1000.0);
    auto it = std::upper_bound(good_passes_.begin(), good_passes_.end(), ms,
                               [&](long v, std::size_t i) { return v < passes[i].ms; });
    const std::size_t index = it == good_passes_.begin() ? good_passes_.front() : *(it - 1);
    if (published_ == index) return;
    published_ = index;
    LiveSample sample;
    sample.snapshot = passes[index].snapshot;
    if (maps_) sample.points = OperatingPoints(sample.snapshot, *maps_);
    sample.ms = passes[index].ms;
    sample.playback = true;
    sample.made = std::chrono::steady_clock::now();
    feed_.Publish(sample);
}

void LogViewer::Retranslate(const TextMapper& mapper) {
    for (auto* button : {open_, export_}) button->setText(mapper.Map(button->text()));
    for (auto* box : {sync_box_, fuel_box_})
        for (int i = 0; i < box->count(); ++i) box->setItemText(i, mapper.Map(box->itemText(i)));
    status_->setText(mapper.Map(status_->text()));
    for (auto* plot : {time_plot_, map_plot_}) {
        for (auto* axis : plot->findChildren<QCPAxis*>()) axis->setLabel(mapper.Map(axis->label()));
        for (int i = 0; i < plot->plottableCount(); ++i)
            plot->plottable(i)->setName(mapper.Map(plot->plottable(i)->name()));
        plot->replot(QCustomPlot::rpQueuedReplot);
    }
    if (auto* title = qobject_cast<QCPTextElement*>(map_plot_->plotLayout()->element(0, 0)))
        title->setText(mapper.Map(title->text()));
}

int LogViewer::PointCount() const { return first_[0]->dataCount(); }

QString LogViewer::Status() const { return status_->text(); }

void LogViewer::SetStatus(const QString& text) { status_->setText(text); }

void LogViewer::ExportWithDialog() {
    QString path = QFileDialog::getSaveFileName(this, QTr(ViewerText::ExportTitle), QFileInfo(file_name_).completeBaseName() + ".png",
                                                QTr(ViewerText::ExportFilter));
    if (path.isEmpty()) return;
    if (!path.endsWith(".png", Qt::CaseInsensitive)) path += ".png";
    ExportPng(path);
}

bool LogViewer::ExportPng(const QString& path) {
    QStringList written;
    auto fail = [&](const QString& file) {
        SetStatus(QTr(ViewerText::ExportFailed).arg(file));
        return false;
    };
    if (!time_plot_->savePng(path, time_plot_->width(), time_plot_->height())) return fail(path);
    written << QFileInfo(path).fileName();
    if (content_ == Content::Recording) {
        const QString stem = path.endsWith(".png", Qt::CaseInsensitive) ? path.left(path.size() - 4) : path;
        const QString map_path = stem + "-map.png", grid_path = stem + "-grid.png";
        if (!map_plot_->savePng(map_path, map_plot_->width(), map_plot_->height())) return fail(map_path);
        written << QFileInfo(map_path).fileName();
        if (!grid_->grab().save(grid_path, "PNG")) return fail(grid_path);
        written << QFileInfo(grid_path).fileName();
    }
    SetStatus(QTr(ViewerText::Exported).arg(written.join(", ")));
    return true;
}

LogViewer& ShowLogViewer(QWidget* owner, UiContext& ctx, LiveFeed& feed) {
    auto* viewer = owner->findChild<LogViewer*>(QString(), Qt::FindDirectChildrenOnly);
    if (!viewer) viewer = new LogViewer(ctx, feed, owner);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return *viewer;
}

}  // namespace tovrel::ui
