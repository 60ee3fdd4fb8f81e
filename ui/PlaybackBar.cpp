#include "PlaybackBar.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "DashTexts.h"
#include "DeviceThread.h"
#include "Program.h"
#include "QtTexts.h"

namespace tovrel::ui {

namespace {

const QElapsedTimer& Clock() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock;
}

QString SpeedText(double speed) { return QString::number(speed) + QStringLiteral("×"); }

}  // namespace

LiveSample PlaybackSample(const RecordedPass& pass, const TimingMaps& maps) {
    LiveSample sample;
    sample.snapshot = pass.snapshot;
    sample.points = OperatingPoints(pass.snapshot, maps);
    sample.ms = pass.ms;
    sample.playback = true;
    sample.made = std::chrono::steady_clock::now();
    return sample;
}

PlaybackBar::PlaybackBar(LiveFeed& feed, DeviceThread& device, QWidget* parent)
    : QWidget(parent), feed_(feed), device_(device) {
    setObjectName("PlaybackBar");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    name_ = new QLabel(this);
    name_->setObjectName("PlaybackName");
    play_ = new QPushButton(QTr(DashText::Play), this);
    play_->setObjectName("PlaybackPlay");
    back_ = new QPushButton(QTr(DashText::StepBack), this);
    back_->setObjectName("PlaybackStepBack");
    forward_ = new QPushButton(QTr(DashText::StepForward), this);
    forward_->setObjectName("PlaybackStepForward");
    for (auto* b : {back_, forward_}) b->setFixedWidth(28);
    speed_ = new QComboBox(this);
    speed_->setObjectName("PlaybackSpeed");
    for (double s : kSpeeds) speed_->addItem(SpeedText(s), s);
    speed_->setCurrentIndex(2);
    position_ = new QLabel(this);
    position_->setObjectName("PlaybackPosition");
    close_ = new QPushButton(QTr(DashText::ClosePlayback), this);
    close_->setObjectName("PlaybackClose");
    row->addWidget(name_, 1);
    for (QWidget* w : std::initializer_list<QWidget*>{play_, back_, forward_, speed_, position_, close_}) row->addWidget(w);

    timer_ = new QTimer(this);
    timer_->setInterval(16);
    connect(timer_, &QTimer::timeout, this, &PlaybackBar::Tick);
    connect(play_, &QPushButton::clicked, this, [this] {
        if (IsPlaying()) Pause();
        else Play();
    });
    connect(back_, &QPushButton::clicked, this, [this] { Step(-1); });
    connect(forward_, &QPushButton::clicked, this, [this] { Step(+1); });
    connect(speed_, &QComboBox::currentIndexChanged, this, [this](int) { SetSpeed(speed_->currentData().toDouble()); });
    connect(close_, &QPushButton::clicked, this, &PlaybackBar::Close);
    // The monitor and a playback would both move the same views: a run
    // started from the settings page pauses the playback.
    connect(&feed_, &LiveFeed::monitorRunningChanged, this, [this](bool running) {
        if (running) Pause();
    });
    UpdateButtons();
    setVisible(false);
}

PlaybackBar::~PlaybackBar() = default;

double PlaybackBar::Now() const { return Clock().nsecsElapsed() / 1e9; }

bool PlaybackBar::Open(const QString& path, QString* error, QString* warning) {
    std::string why;
    auto read = ReadRecording(path.toStdString(), &why);
    if (!read) {
        if (error) *error = QTr(DashText::OpenFailed).arg(QString::fromStdString(why));
        return false;
    }
    Close();
    recording_ = std::make_unique<Recording>(std::move(*read));
    playback_ = std::make_unique<Playback>(*recording_);
    playback_->SetSpeed(speed_->currentData().toDouble(), Now());
    const QString name = QFileInfo(path).fileName();
    name_->setText(QTr(DashText::Opened).arg(name).arg(recording_->passes.size()));
    name_->setToolTip(path);
    if (warning) {
        *warning = recording_->first_bad_line == 0
                       ? QString()
                       : QTr(DashText::FirstBadLine)
                             .arg(name)
                             .arg(recording_->first_bad_line)
                             .arg(QString::fromStdString(recording_->first_bad_reason));
    }
    FetchMaps();
    setVisible(true);
    ShowPosition();
    UpdateButtons();
    return true;
}

void PlaybackBar::Close() {
    const bool was_playing = IsPlaying();
    timer_->stop();
    play_pending_ = false;
    playback_.reset();
    recording_.reset();
    setVisible(false);
    if (was_playing) emit playingChanged(false);
}

void PlaybackBar::FetchMaps() {
    const int fetch = ++fetches_;
    QPointer<PlaybackBar> self(this);
    device_.Post([self, fetch](Program& p) {
        TimingMaps maps = p.maps.document.Maps();
        QMetaObject::invokeMethod(
            self.data(),
            [self, fetch, maps = std::move(maps)] {
                if (!self || fetch != self->fetches_) return;
                self->maps_ = maps;
                if (self->play_pending_ && self->playback_) {
                    self->play_pending_ = false;
                    self->playback_->Play(self->Now());
                    self->timer_->start();
                }
            },
            Qt::QueuedConnection);
    });
}

bool PlaybackBar::Play() {
    if (!playback_ || IsPlaying()) return false;
    if (feed_.MonitorRunning()) {
        emit refused(QTr(DashText::PlaybackDuringMonitor));
        return false;
    }
    // From the start again once the end was reached.
    if (playback_->Finished()) {
        playback_ = std::make_unique<Playback>(*recording_);
        playback_->SetSpeed(speed_->currentData().toDouble(), Now());
    }
    // The maps may have been edited since the last fetch.
    play_pending_ = true;
    FetchMaps();
    UpdateButtons();
    emit playingChanged(true);
    return true;
}

void PlaybackBar::Pause() {
    if (!IsPlaying()) return;
    play_pending_ = false;
    if (playback_->Playing()) playback_->Pause(Now());
    timer_->stop();
    UpdateButtons();
    emit playingChanged(false);
}

void PlaybackBar::Step(int direction) {
    if (!playback_ || IsPlaying() || !maps_) return;
    if (const auto index = playback_->Step(direction)) Show(*index);
    ShowPosition();
}

void PlaybackBar::SetSpeed(double speed) {
    if (playback_) playback_->SetSpeed(speed, Now());
    const int index = speed_->findData(speed);
    if (index >= 0 && index != speed_->currentIndex()) speed_->setCurrentIndex(index);
}

void PlaybackBar::Tick() {
    if (!playback_ || !maps_) return;
    const auto [first, last] = playback_->Advance(Now());
    for (std::size_t i = first; i < last; ++i) Show(i);
    ShowPosition();
    if (playback_->Finished()) {
        playback_->Pause(Now());
        timer_->stop();
        UpdateButtons();
        emit playingChanged(false);
    }
}

void PlaybackBar::Show(std::size_t index) { feed_.Publish(PlaybackSample(recording_->passes[index], *maps_)); }

void PlaybackBar::ShowPosition() {
    const std::size_t total = recording_ ? recording_->passes.size() : 0;
    position_->setText(QTr(DashText::Position).arg(Position()).arg(total));
}

void PlaybackBar::UpdateButtons() {
    play_->setText(IsPlaying() ? QTr(DashText::Pause) : QTr(DashText::Play));
    back_->setEnabled(playback_ && !IsPlaying());
    forward_->setEnabled(playback_ && !IsPlaying());
}

}  // namespace tovrel::ui
