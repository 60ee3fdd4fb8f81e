#include "Dashboard.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <qcustomplot.h>

#include "DashTexts.h"
#include "Desktop.h"
#include "LiveRecorder.h"
#include "MainWindow.h"
#include "Monitor.h"
#include "NumberText.h"
#include "PlaybackBar.h"
#include "Program.h"
#include "QtTexts.h"

namespace tovrel::ui {

namespace {

constexpr const char* kVisibleKey = "dashboard/visible";

QLabel* ValueLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(QStringLiteral("n/a"), parent);
    label->setObjectName(name);
    label->setMinimumWidth(110);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// Starts a run as the settings page's button does, unless one runs.
void StartMonitorIfIdle(Program& p) {
    auto live = p.Live();
    if (live.guard.RealtimeReadingActive) return;
    GetRealtimeParametersButtonClick(live);
}

bool TextFieldHasFocus() {
    QWidget* w = QApplication::focusWidget();
    if (!w) return false;
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QTextEdit*>(w) ||
        qobject_cast<QPlainTextEdit*>(w))
        return true;
    auto* combo = qobject_cast<QComboBox*>(w);
    return combo && combo->isEditable();
}

}  // namespace

Dashboard::Dashboard(Desktop& desktop, QMainWindow* window)
    : QDockWidget(QTr(DashText::Title), window), desktop_(desktop), window_(window) {
    setObjectName("Dashboard");
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    auto* body = new QWidget(this);
    body->setObjectName("DashboardBody");
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(6, 2, 6, 4);
    auto* top = new QHBoxLayout;
    column->addLayout(top, 1);

    // The values, each under its caption.
    auto* values = new QGridLayout;
    values->setVerticalSpacing(2);
    const struct {
        DashText caption;
        const char* name;
        QLabel** label;
    } rows[] = {
        {DashText::EngineSpeed, "DashEngineSpeed", &speed_},
        {DashText::Throttle, "DashThrottle", &throttle_},
        {DashText::Advance, "DashAdvance", &advance_},
        {DashText::Fuel, "DashFuel", &fuel_},
        {DashText::Synchronisation, "DashSynchronisation", &sync_},
        {DashText::CpuTemperature, "DashCpuTemperature", &temperature_},
    };
    int r = 0;
    for (const auto& row : rows) {
        values->addWidget(new QLabel(QTr(row.caption), body), r, 0);
        *row.label = ValueLabel(body, row.name);
        values->addWidget(*row.label, r, 1);
        ++r;
    }
    monitor_ = new QPushButton(QTr(DashText::StartMonitor), body);
    monitor_->setObjectName("DashMonitorButton");
    continuous_ = new QCheckBox(QTr(DashText::Continuous), body);
    continuous_->setObjectName("DashContinuous");
    record_ = new QPushButton(QTr(DashText::StartRecording), body);
    record_->setObjectName("DashRecordButton");
    open_ = new QPushButton(QTr(DashText::OpenRecording), body);
    open_->setObjectName("DashOpenButton");
    values->addWidget(monitor_, r, 0);
    values->addWidget(continuous_, r, 1);
    ++r;
    values->addWidget(record_, r, 0);
    values->addWidget(open_, r, 1);
    top->addLayout(values);

    // The strip chart: engine speed on the left axis, throttle and the
    // angles on the right one.
    chart_ = new QCustomPlot(body);
    chart_->setObjectName("DashChart");
    chart_->setMinimumSize(600, 150);
    chart_->setNoAntialiasingOnDrag(true);
    chart_->yAxis2->setVisible(true);
    chart_->xAxis->setLabel(QTr(DashText::ChartSeconds));
    chart_->yAxis->setRange(0, 7000);
    chart_->yAxis2->setRange(-10, 100);
    chart_->legend->setVisible(true);
    chart_->legend->setFont(font());
    // One row at the top, see-through, so that it hides little of the lines.
    chart_->legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    chart_->legend->setBrush(QColor(255, 255, 255, 180));
    chart_->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    auto graph = [this](QCPAxis* y, QColor colour, DashText name) {
        QCPGraph* g = chart_->addGraph(chart_->xAxis, y);
        g->setPen(QPen(colour, 1.5));
        g->setName(QTr(name));
        g->setAdaptiveSampling(true);
        return g;
    };
    speed_graph_ = graph(chart_->yAxis, QColor(0, 90, 200), DashText::ChartEngineSpeed);
    throttle_graph_ = graph(chart_->yAxis2, QColor(0, 150, 60), DashText::ChartThrottle);
    advance_graph_ = graph(chart_->yAxis2, QColor(210, 40, 40), DashText::ChartAdvance);
    map_graph_ = graph(chart_->yAxis2, QColor(230, 140, 0), DashText::ChartMapValue);
    map_graph_->setPen(QPen(QColor(230, 140, 0), 1.5, Qt::DashLine));
    chart_->xAxis->setRange(-kChartSeconds, 0);
    top->addWidget(chart_, 1);

    playback_ = new PlaybackBar(desktop_.live_feed, desktop_.device, body);
    column->addWidget(playback_);
    setWidget(body);

    recorder_ = new LiveRecorder(desktop_.live_feed, desktop_.live_crc, this);

    replot_ = new QTimer(this);
    replot_->setSingleShot(true);
    replot_->setInterval(16);
    connect(replot_, &QTimer::timeout, this, [this] { chart_->replot(); });

    connect(&desktop_.live_feed, &LiveFeed::sample, this, &Dashboard::OnSample);
    connect(&desktop_.live_feed, &LiveFeed::monitorRunningChanged, this, &Dashboard::OnMonitorRunning);
    connect(monitor_, &QPushButton::clicked, this, &Dashboard::ToggleMonitor);
    connect(record_, &QPushButton::clicked, this, &Dashboard::ToggleRecording);
    connect(open_, &QPushButton::clicked, this, &Dashboard::OpenRecordingDialog);
    connect(playback_, &PlaybackBar::refused, this, [this](const QString& m) { Status(m, 5000); });

    connect(recorder_, &LiveRecorder::recordingChanged, this, &Dashboard::ShowRecordingState);
    connect(recorder_, &LiveRecorder::fileStarted, this,
            [this](const QString& path) { Status(QTr(DashText::RecordingStarted).arg(path)); });
    connect(recorder_, &LiveRecorder::stopped, this, [this](const QString& path, qulonglong rows) {
        Status(QTr(DashText::RecordingStopped).arg(rows).arg(path), 10000);
    });
    connect(recorder_, &LiveRecorder::writeFailed, this, [this](const QString& path, qulonglong rows) {
        Status(QTr(DashText::RecordingWriteFailed).arg(path).arg(rows));
    });
    connect(recorder_, &LiveRecorder::createFailed, this,
            [this](const QString& why) { Status(QTr(DashText::RecordingNotStarted).arg(why)); });
    connect(recorder_, &LiveRecorder::marked, this,
            [this](long ms) { Status(QTr(DashText::Marker).arg(ms), 3000); });

    // Space marks only while recording, so that it presses buttons otherwise.
    marker_ = new QShortcut(QKeySequence(Qt::Key_Space), window_);
    marker_->setObjectName("DashMarkerShortcut");
    marker_->setContext(Qt::WindowShortcut);
    marker_->setEnabled(false);
    connect(marker_, &QShortcut::activated, this, &Dashboard::MarkNow);
}

void Dashboard::Status(const QString& text, int timeout_ms) {
    if (window_) window_->statusBar()->showMessage(text, timeout_ms);
}

void Dashboard::ToggleMonitor() {
    if (desktop_.live_feed.MonitorRunning()) {
        stop_asked_ = true;
    } else if (playback_->IsPlaying()) {
        Status(QTr(DashText::MonitorDuringPlayback), 5000);
        return;
    } else {
        stop_asked_ = false;
    }
    // The same handler as the settings page's button, with its refusals.
    desktop_.ctx.Forward([](Program& p) {
        auto live = p.Live();
        GetRealtimeParametersButtonClick(live);
    });
}

void Dashboard::OnMonitorRunning(bool running) {
    monitor_->setText(running ? QTr(DashText::StopMonitor) : QTr(DashText::StartMonitor));
    if (running) {
        last_pass_ = -1;
        return;
    }
    const bool chain = continuous_->isChecked() && !stop_asked_ && last_pass_ >= 0;
    stop_asked_ = false;
    if (!chain) return;
    // The next run only when this one went through all its passes on a
    // connected line: a stop, a disconnect or a silent line ends the chain.
    const int last = last_pass_;
    QPointer<Dashboard> self(this);
    desktop_.ctx.Forward([self, last](Program& p) {
        if (!p.link.IsConnected() || last + 1 < p.live.monitor_passes) return;
        StartMonitorIfIdle(p);
        QMetaObject::invokeMethod(
            self.data(), [self] { if (self) ++self->chained_; }, Qt::QueuedConnection);
    });
}

void Dashboard::OnSample(const LiveSample& sample) {
    const RealtimeSnapshot& s = sample.snapshot;
    if (!sample.playback) last_pass_ = s.pass;
    speed_->setText(QTr(DashText::EngineSpeedValue).arg(s.engine_speed));
    throttle_->setText(QTr(DashText::ThrottleValue).arg(s.ThrottlePercent()));
    advance_->setText(QTr(DashText::AdvanceValue).arg(QString::fromStdString(FormatGeneral(s.AdvanceDegrees()))));
    fuel_->setText(s.Gas() ? QTr(DashText::Gas) : QTr(DashText::Petrol));
    sync_->setText(s.Synchronisation() == 1 ? QTr(DashText::Synchronised) : QTr(DashText::NotSynchronised));
    temperature_->setText(
        QTr(DashText::TemperatureValue).arg(QString::fromStdString(FormatGeneral(CpuTemperature(s.temperature_raw)))));

    // One time line for the chart: a new run or a switch between live and
    // playback continues from where the last sample was drawn.
    if (sample.ms < last_ms_ || sample.playback != last_playback_) {
        // A live run after a live run: the real pause between them.
        double pause = 0;
        if (!sample.playback && !last_playback_ && last_ms_ >= 0)
            pause = std::max(0.0, std::chrono::duration<double>(sample.made - last_made_).count());
        chart_base_ = chart_last_ + pause - sample.ms / 1000.0;
    }
    last_ms_ = sample.ms;
    last_made_ = sample.made;
    last_playback_ = sample.playback;
    const double t = chart_base_ + sample.ms / 1000.0;
    chart_last_ = t;
    speed_graph_->addData(t, s.engine_speed);
    throttle_graph_->addData(t, s.ThrottlePercent());
    advance_graph_->addData(t, s.AdvanceDegrees());
    map_graph_->addData(t, RecordedMapValue(sample));
    for (QCPGraph* g : {speed_graph_, throttle_graph_, advance_graph_, map_graph_})
        g->data()->removeBefore(t - kChartSeconds);
    chart_->xAxis->setRange(t - kChartSeconds, t);
    ScheduleReplot();
}

void Dashboard::ScheduleReplot() {
    if (!replot_->isActive()) replot_->start();
}

void Dashboard::ToggleRecording() {
    if (recorder_->IsRecording()) recorder_->Stop();
    else recorder_->Start();
}

void Dashboard::ShowRecordingState(bool recording) {
    record_->setText(recording ? QTr(DashText::StopRecording) : QTr(DashText::StartRecording));
    marker_->setEnabled(recording);
}

bool Dashboard::MarkNow() {
    if (TextFieldHasFocus()) return false;
    return recorder_->Mark();
}

void Dashboard::OpenRecordingDialog() {
    QString start = QString::fromStdString(recorder_->Directory().string());
    const QString path = QFileDialog::getOpenFileName(window_, QTr(DashText::OpenTitle), start, QTr(DashText::FileFilter));
    if (!path.isEmpty()) OpenRecording(path);
}

bool Dashboard::OpenRecording(const QString& path) {
    QString error, warning;
    if (!playback_->Open(path, &error, &warning)) {
        Status(error);
        return false;
    }
    if (!warning.isEmpty()) Status(warning);
    else Status(QString());
    return true;
}

void Dashboard::Retranslate(const TextMapper& mapper) {
    // The named controls here and the menu items are no mirrored controls:
    // their texts are changed here.
    setWindowTitle(mapper.Map(windowTitle()));
    for (QLabel* label : findChildren<QLabel*>())
        if (!label->objectName().isEmpty()) label->setText(mapper.Map(label->text()));
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        if (!button->objectName().isEmpty()) button->setText(mapper.Map(button->text()));
    if (window_) {
        for (QAction* action : window_->findChildren<QAction*>())
            if (action->objectName() == "DashboardItem" || action->objectName() == "RecordItem" ||
                action->objectName() == "OpenRecordingItem")
                action->setText(mapper.Map(action->text()));
        if (auto* view = window_->findChild<QMenu*>("ViewMenu")) view->setTitle(mapper.Map(view->title()));
    }
    for (int g = 0; g < chart_->graphCount(); ++g) chart_->graph(g)->setName(mapper.Map(chart_->graph(g)->name()));
    chart_->xAxis->setLabel(mapper.Map(chart_->xAxis->label()));
    ScheduleReplot();
}

Dashboard* InstallDashboard(Desktop& desktop) {
    MainWindow* window = desktop.window();
    auto* dock = new Dashboard(desktop, window);
    const int height = window->height();
    window->addDockWidget(Qt::BottomDockWidgetArea, dock);

    QAction* toggle = dock->toggleViewAction();
    toggle->setObjectName("DashboardItem");
    QMenuBar* bar = window->menuBar();
    auto* view = new QMenu(QTr(DashText::ViewMenu), bar);
    view->setObjectName("ViewMenu");
    if (auto* help = bar->findChild<QMenu*>("N6")) bar->insertMenu(help->menuAction(), view);
    else bar->addMenu(view);
    view->addAction(toggle);
    auto* record = view->addAction(QTr(DashText::RecordItem));
    record->setObjectName("RecordItem");
    record->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    record->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(record, &QAction::triggered, dock, &Dashboard::ToggleRecording);
    window->addAction(record);
    if (auto* file = bar->findChild<QMenu*>("N1")) {
        auto* open = file->addAction(QTr(DashText::OpenRecordingItem));
        open->setObjectName("OpenRecordingItem");
        QObject::connect(open, &QAction::triggered, dock, &Dashboard::OpenRecordingDialog);
    }

    if (desktop.settings) {
        dock->setVisible(desktop.settings->value(kVisibleKey, true).toBool());
        QSettings* settings = desktop.settings;
        // Only the user's choice counts: the dock also hides when the
        // window closes.
        QObject::connect(toggle, &QAction::triggered, dock,
                         [settings](bool on) { settings->setValue(kVisibleKey, on); });
    }
    // The pages keep their size: the window grows by the dashboard, as far
    // as the screen has room (a laptop's 768 lines); the fitter can hide it.
    if (dock->isVisibleTo(window)) {
        int wanted = height + dock->sizeHint().height();
        if (const QScreen* screen = window->screen()) {
            const int frame = window->frameGeometry().height() - window->geometry().height();
            wanted = std::min(wanted, screen->availableGeometry().height() - std::max(frame, 0));
        }
        window->resize(window->width(), std::max(height, wanted));
    }
    return dock;
}

}  // namespace tovrel::ui
