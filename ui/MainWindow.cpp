#include "MainWindow.h"
#include "PortHelp.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>

#include <QApplication>
#include <algorithm>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleFactory>
#include <QTabBar>

#include "Calculations.h"
#include "ConfigFile.h"
#include "ConfigurationReadWrite.h"
#include "Dataextractor.h"
#include "Gui2.h"
#include "LogFile.h"
#include "MapChart.h"
#include "MapEditing.h"
#include "MapEditor.h"
#include "MapGrid.h"
#include "Pages.h"
#include "QtScreen.h"
#include "Program.h"
#include "RestoreFlow.h"
#include "RestorePointsDialog.h"
#include "Shell.h"
#include "QtTexts.h"
#include "ViewerTexts.h"

namespace tovrel::ui {

namespace {

constexpr int kContentWidth = 1100, kContentHeight = 642;

// Tab captions, in page order.
constexpr UiText kPageCaptions[page::Count] = {
    UiText::PageSettings,
    UiText::PageLPGChart,
    UiText::PageLPGGrid,
    UiText::PagePetrolChart,
    UiText::PagePetrolGrid,
    UiText::PageLPGLoadChart,
    UiText::PageLPGLoadGrid,
    UiText::PagePetrolLoadChart,
    UiText::PagePetrolLoadGrid,
    UiText::PageLPG3D,
    UiText::PagePetrol3D,
    UiText::PageFirmware,
    UiText::PageHelp,
    UiText::PageOscilloscope,
    UiText::PageThrottle,
};

// Tabs as narrow as the captions allow, so that the page row fits the
// window as the pages were laid out for.
class NarrowTabsStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace) return 10;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Edits of the maps and the configuration files wait for a running
// transfer: changed under it, the maps on the screen, in the file and in
// the device would part.
void UnlessLineBusy(Program& p, const std::function<void(Program&)>& call) {
    if (p.link.LineBusy()) {
        p.screen.ShowNotice(Tr(kLineBusyMessage));
        return;
    }
    call(p);
}

QFont PixelFont(const QFont& base, int pixels, bool bold) {
    QFont f = base;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->move(x, y);
    l->setProperty(kAutoSizeProperty, true);
    l->adjustSize();
    return l;
}

}  // namespace

MainWindow::MainWindow(UiContext& ctx) : ctx_(ctx) {
    setObjectName(Q(shell::MainWindow));
    setWindowTitle(Q(shell::MainCaption));
    // System menu and minimise button, no maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFont(PixelFont(font(), 11, false));

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("TForm2Scroll");
    scroll->setFrameShape(QFrame::NoFrame);
    content_ = new QWidget;
    content_->setObjectName("TForm2Client");
    content_->setFixedSize(kContentWidth, kContentHeight);
    scroll->setWidget(content_);
    setCentralWidget(scroll);

    BuildMenus();
    BuildTopRow();
    BuildPages();
    // The status bar under the pages: the outcome of the last firmware update
    // with its time, kept after the update's log has been emptied, and the
    // maps' state against the variator. The "Правка" menu goes after "Файл".
    statusBar()->setObjectName("StatusBar");
    auto* outcome = new QLabel(statusBar());
    outcome->setObjectName(Q(kUpdateOutcomeStatus));
    statusBar()->addWidget(outcome);
    editing_ = new MapEditing(ctx_, *this, pages_);
    if (auto* update = menuBar()->findChild<QMenu*>("N5")) menuBar()->insertMenu(update->menuAction(), editing_->Menu());
    statusBar()->addPermanentWidget(editing_->SyncLabel());
    resize(kContentWidth, kContentHeight + menuBar()->sizeHint().height() + 8 + statusBar()->sizeHint().height());

    // The two service hot keys act wherever the program has the focus.
    const struct {
        Qt::Key key;
        int id;
    } hot_keys[] = {{Qt::Key_T, shell::HotKeyTables}, {Qt::Key_U, shell::HotKeyService}};
    for (const auto& h : hot_keys) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | h.key), this);
        shortcut->setObjectName(h.id == shell::HotKeyTables ? "HotKeyTables" : "HotKeyService");
        shortcut->setContext(Qt::ApplicationShortcut);
        const int id = h.id;
        connect(shortcut, &QShortcut::activated, this,
                [this, id] { ctx_.Forward([id](Program& p) { gui2::ApplicationEvents1Message(p, id); }); });
    }
    connect(this, &MainWindow::firstActivated, this,
            [this] { ctx_.Forward([](Program& p) { gui2::FormActivate(p); }); });
}

void MainWindow::BuildTopRow() {
    QWidget* area = content_;
    const QFont bold = PixelFont(font(), 11, true);

    auto* write = new QPushButton(QTr(UiText::WriteEepromButton), area);
    write->setObjectName("WriteData");
    write->setGeometry(4, 8, 323, 25);
    write->setFont(bold);
    connect(write, &QPushButton::clicked, this,
            [this] { ctx_.Forward([](Program& p) { WriteDataClick(p.link, p.maps); }); });

    auto* read = new QPushButton(QTr(UiText::ReadEepromButton), area);
    read->setObjectName("ReadData");
    read->setGeometry(4, 39, 323, 25);
    read->setFont(bold);
    connect(read, &QPushButton::clicked, this, [this] {
        if (editing_ && !editing_->AskUnsaved(EditText::AskRead, false)) return;
        ctx_.Forward([](Program& p) { ReadDataClick(p.link, p.maps); });
    });

    MakeLabel(area, "Label1", QTr(UiText::PortLabel), 333, 6);
    auto* port = new QComboBox(area);
    port->setObjectName("ComboBox1");
    port->setEditable(true);
    port->setMaxVisibleItems(20);
    port->setGeometry(386, 3, 41, 21);
    for (int n = 1; n <= 254; ++n) port->addItem(QString::number(n));
    port->setEditText("0");
    AttachPortHelp(port);

    auto* progress_text = MakeLabel(area, "LabelProgress", QTr(UiText::ProgressLabel), 339, 30);
    progress_text->setFont(bold);
    {
        QPalette p = progress_text->palette();
        p.setColor(QPalette::WindowText, Qt::red);
        progress_text->setPalette(p);
    }
    progress_text->adjustSize();
    progress_text->hide();

    auto* bar = new QProgressBar(area);
    bar->setObjectName("ProgressBar1");
    bar->setGeometry(339, 45, 751, 17);
    bar->setRange(0, 79);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->hide();

    auto* status = new QLabel(QTr(UiText::StatusDisconnected), area);
    status->setObjectName("Label2");
    status->setGeometry(446, -4, 513, 28);
    status->setAlignment(Qt::AlignCenter);
    status->setFont(PixelFont(font(), 21, true));
    status->setAutoFillBackground(true);
    {
        QPalette p = status->palette();
        p.setColor(QPalette::Window, QColor(255, 0, 0));
        status->setPalette(p);
    }

    auto* templ = new QPushButton(QTr(UiText::TemplateButton), area);
    templ->setObjectName("Button1");
    templ->setGeometry(977, 1, 110, 25);
    connect(templ, &QPushButton::clicked, this, [this] {
        ctx_.Forward([](Program& p) { UnlessLineBusy(p, [](Program& q) { Button1Click(q.screen, q.maps); }); });
    });

    auto* start_log = new QPushButton("Start LOG", area);
    start_log->setObjectName("StartLOGButton");
    start_log->setGeometry(915, 25, 60, 20);
    start_log->hide();
    connect(start_log, &QPushButton::clicked, this,
            [this] { ctx_.Forward([](Program& p) { StartLOGButtonClick(p.live); }); });
    auto* logs = new QCheckBox("LOGs ", area);
    logs->setObjectName("LOGsCheckBox");
    // Up to the counter beside it; the caption's trailing blank may go.
    logs->setGeometry(977, 26, std::min(logs->sizeHint().width(), 1025 - 977), 17);
    logs->hide();
    MakeLabel(area, "LOGsCounterLabel", "0", 1025, 27)->hide();

    MakeLabel(area, "TAP_FirmwareTimerDivisionLabel", "0", 1059, 27)->hide();
    MakeLabel(area, "Label31", "RPM", 992, 62)->hide();
    MakeLabel(area, "Lowest_Motor_RPM_Label", "0", 1059, 62)->hide();
}

void MainWindow::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");

    auto* connection = bar->addMenu(QTr(UiText::ConnectionMenu));
    connection->setObjectName("N8");
    auto* connect_item = connection->addAction(QTr(UiText::ConnectItem));
    connect_item->setObjectName("N9");
    connect(connect_item, &QAction::triggered, this, [this] { ctx_.Forward([](Program& p) { gui2::N9Click(p); }); });
    connection->addSeparator()->setObjectName("N10");
    auto* auto_item = connection->addAction(QTr(UiText::AutoSelectItem));
    auto_item->setObjectName("N4");
    connect(auto_item, &QAction::triggered, this, [this] { ctx_.Forward([](Program& p) { gui2::N4Click(p); }); });
    connection->addSeparator()->setObjectName("N11");
    connection->addSeparator()->setObjectName("N13");
    connection->setSeparatorsCollapsible(false);
    auto* disconnect_item = connection->addAction(QTr(UiText::DisconnectItem));
    disconnect_item->setObjectName("N12");
    connect(disconnect_item, &QAction::triggered, this, [this] {
        if (editing_ && !editing_->AskUnsaved(EditText::AskDisconnect, true)) return;
        ctx_.Forward([](Program& p) { gui2::N12Click(p); });
    });

    auto* file = bar->addMenu(QTr(UiText::FileMenu));
    file->setObjectName("N1");
    auto* open = file->addAction(QTr(UiText::OpenItem));
    open->setObjectName("N2");
    connect(open, &QAction::triggered, this, [this] {
        if (editing_ && !editing_->AskUnsaved(EditText::AskFileLoad, false)) return;
        ctx_.Forward([](Program& p) { UnlessLineBusy(p, [](Program& q) { N2Click(q.screen, q.maps); }); });
    });
    auto* save = file->addAction(QTr(UiText::SaveItem));
    save->setObjectName("N3");
    connect(save, &QAction::triggered, this, [this] {
        ctx_.Forward([](Program& p) { UnlessLineBusy(p, [](Program& q) { N3Click(q.screen, q.maps); }); });
    });
    BuildRestoreMenuItems(file);
    // Opened by the desktop, which owns the live feed the viewer's cursor drives.
    file->addSeparator();
    file->addAction(QTr(ViewerText::MenuItem))->setObjectName("LogViewerItem");

    auto* update = bar->addMenu(QTr(UiText::UpdateMenu));
    update->setObjectName("N5");
    update->menuAction()->setVisible(false);
    auto* help = bar->addMenu(QTr(UiText::HelpMenu));
    help->setObjectName("N6");

    // Each language by its own name, whichever is active: the menu is
    // found by a user who cannot read the present one.
    auto* language = bar->addMenu(QStringLiteral("Язык / Language"));
    language->setObjectName("LanguageMenu");
    languages_ = new QActionGroup(language);
    languages_->setExclusive(true);
    for (texts::Language l : texts::kLanguages) {
        auto* item = language->addAction(l == texts::Language::English ? QStringLiteral("English")
                                                                        : QStringLiteral("Русский"));
        item->setObjectName(QStringLiteral("Language_") + texts::LanguageCode(l));
        item->setCheckable(true);
        item->setData(static_cast<int>(l));
        languages_->addAction(item);
        connect(item, &QAction::triggered, this, [this, l] { emit languageChosen(static_cast<int>(l)); });
    }
    ShowLanguage(texts::Language::Russian);
}

void MainWindow::ShowLanguage(texts::Language language) {
    for (QAction* item : languages_->actions())
        item->setChecked(item->data().toInt() == static_cast<int>(language));
    if (editing_) editing_->Retranslate();
}

// Compare and restore points, after the file items.
void MainWindow::BuildRestoreMenuItems(QMenu* file) {
    file->addSeparator();
    auto item = [this, file](UiText text, const char* name, std::function<void(Program&)> call) {
        auto* action = file->addAction(QTr(text));
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, call] {
            ctx_.Forward([call](Program& p) { UnlessLineBusy(p, call); });
        });
    };
    item(UiText::CompareFileItem, "CompareFileItem", [](Program& p) { CompareEditorWithFile(p); });
    item(UiText::CompareDeviceItem, "CompareDeviceItem", [](Program& p) { CompareEditorWithDevice(p); });
    item(UiText::EndCompareItem, "EndCompareItem", [](Program& p) { EndComparison(p); });
    auto* points = file->addAction(QTr(UiText::RestorePointsItem));
    points->setObjectName("RestorePointsItem");
    connect(points, &QAction::triggered, this, [this] {
        RestorePointsDialog dialog(ctx_, DefaultRestorePointDirectory(), this);
        dialog.exec();
    });
}

void MainWindow::BuildPages() {
    pages_ = new QTabWidget(content_);
    pages_->setObjectName(Q(shell::PageControl));
    pages_->setGeometry(0, 82, 1100, 560);
    auto* tab_style = new NarrowTabsStyle(QApplication::style()->name());
    tab_style->setParent(pages_);
    pages_->tabBar()->setStyle(tab_style);
    for (int i = 0; i < page::Count; ++i) {
        auto* sheet = new QWidget;
        sheet->setObjectName(Q(shell::TabSheet(i)));
        pages_->addTab(sheet, QTr(kPageCaptions[i]));
    }
    auto page = [this](int i) { return pages_->widget(i); };
    BuildSettingsPage(ctx_, page(0));
    BuildMapChartPage(ctx_, page(1), MapKind::LPG);
    BuildMapGridPage(ctx_, page(2), MapKind::LPG);
    BuildMapChartPage(ctx_, page(3), MapKind::Petrol);
    BuildMapGridPage(ctx_, page(4), MapKind::Petrol);
    BuildMapChartPage(ctx_, page(5), MapKind::LPGLoadDependence);
    BuildMapGridPage(ctx_, page(6), MapKind::LPGLoadDependence);
    BuildMapChartPage(ctx_, page(7), MapKind::PetrolLoadDependence);
    BuildMapGridPage(ctx_, page(8), MapKind::PetrolLoadDependence);
    // A compare drawn on a map's chart is offered on its grid as well, as
    // differences (key D).
    for (int chart_page : {1, 3, 5, 7}) {
        auto* chart = page(chart_page)->findChild<MapChart*>();
        auto* grid = page(chart_page + 1)->findChild<MapGrid*>();
        if (chart && grid) chart->on_compare = [grid](const std::vector<double>& theirs) { grid->SetComparison(theirs); };
    }
    Build3DPage(ctx_, page(9), false);
    Build3DPage(ctx_, page(10), true);
    BuildFirmwarePage(ctx_, page(11));
    BuildHelpPage(ctx_, page(12));
    BuildOscilloscopePage(ctx_, page(13));
    BuildThrottlePage(ctx_, page(14));
    for (int i : shell::HiddenTablePages) pages_->setTabVisible(i, false);
    pages_->setCurrentIndex(0);
    ConnectPageChange(ctx_, pages_);
}

bool MainWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && !activated_) {
        activated_ = true;
        emit firstActivated();
    }
    return QMainWindow::event(e);
}

// A close never cuts a procedure short where that would harm the car: a
// firmware update must finish first (the window stays), a write finishes
// with its commit and the window closes after it; anything else is asked to
// stop and the window closes once it has ended (a fraction of a second).
void MainWindow::closeEvent(QCloseEvent* e) {
    const DeviceSession::State state = ctx_.session->Current();
    if (state.busy) {
        e->ignore();
        switch (state.kind) {
            case ProcedureKind::FirmwareUpdate:
                close_pending_ = false;
                ctx_.screen().ShowNotice(Tr(kCloseRefusedDuringUpdateMessage));
                return;
            case ProcedureKind::Write:
                if (!close_pending_) ctx_.screen().ShowNotice(Tr(kCloseWaitsForWriteMessage));
                close_pending_ = true;
                return;
            case ProcedureKind::Ordinary:
                close_pending_ = true;
                ctx_.session->RequestStop();
                return;
        }
    }
    if (editing_ && !editing_->AskUnsaved(EditText::AskClose, true)) {
        close_pending_ = false;
        e->ignore();
        return;
    }
    close_pending_ = false;
    emit closing();
    // Nothing queued after the close puts a frame on the line.
    ctx_.session->Close();
    ctx_.Forward([](Program& p) { gui2::FormClose(p); });
    QMainWindow::closeEvent(e);
}

void MainWindow::SessionChanged(const DeviceSession::State& state) {
    if (!state.busy && close_pending_) close();
}

}  // namespace tovrel::ui
