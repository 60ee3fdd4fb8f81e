#include "Desktop.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTimer>
#include <QTranslator>
#include <cstdlib>

#include "Dashboard.h"
#include "Gui2.h"
#include "Language.h"
#include "LogViewer.h"
#include "LiveOverlay.h"
#include "MainWindow.h"
#include "MapEditing.h"
#include "Monitor.h"
#include "Program.h"
#include "StartDialog.h"

namespace tovrel::ui {

bool UseTahoma(QApplication& app, const QString& path) {
    QString family = "Tahoma";
    if (path.isEmpty()) {
        if (!QFontDatabase::hasFamily(family)) return false;
    } else {
        const int id = QFontDatabase::addApplicationFont(path);
        if (id < 0) return false;
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (families.isEmpty()) return false;
        family = families.first();
    }
    QFont font(family);
    font.setPixelSize(11);
    app.setFont(font);
    return true;
}

QTranslator* UseRussianQtTexts(QCoreApplication& app, const QString& folder) {
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), "qtbase", "_", from) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

Desktop::Desktop(ProgramFactory make) {
    if (!make) {
        make = [](Screen& s, Canvas& c) {
            auto program = std::make_unique<Program>(s, c);
            // Port n is $TOVREL_PORT_DIR/COM<n> when set (the simulated variator's links).
            if (const char* dir = std::getenv("TOVREL_PORT_DIR")) program->link.port_dir = dir;
            // Commits, file loads, restores and updates keep restore points.
            program->restore_points = std::make_unique<RestorePointStore>();
            return program;
        };
    }
    // The window hears of busy and idle on its own thread.
    ctx.session->on_change = [this](const DeviceSession::State& state) {
        QMetaObject::invokeMethod(&screen, [this, state] {
            live_feed.SetMonitorRunning(state.busy && state.name == "monitor");
            if (window_) window_->SessionChanged(state);
        }, Qt::QueuedConnection);
    };
    // After every call of the window, what changed in the maps reaches the
    // editing tools as one undoable step.
    ctx.editing = std::make_shared<EditingDeviceSide>();
    device.after_call = [this, side = ctx.editing](Program& p) {
        if (auto record = side->AfterCall(p)) {
            QMetaObject::invokeMethod(&screen, [this, r = std::move(*record)] {
                if (window_ && window_->editing()) window_->editing()->Receive(r);
            }, Qt::QueuedConnection);
        }
    };
    device.Start([this, make] {
        auto program = make(screen, canvas);
        program->link.UseSession(ctx.session);
        AttachLiveFeed(*program, &live_feed, &live_crc);
        return program;
    });
}

Desktop::~Desktop() {
    // Nothing the device thread may still use goes before the thread has
    // ended: the window holds the picture it draws on.
    Stop(-1);
    canvas.SetTarget(nullptr);
    window_.reset();
    start_dialog_.reset();
}

StartDialog& Desktop::MakeStartDialog() {
    if (!start_dialog_) {
        start_dialog_ = std::make_unique<StartDialog>(ctx);
        screen.AddRoot(start_dialog_.get());
    }
    return *start_dialog_;
}

void Desktop::RunStartDialog() {
    auto& dialog = MakeStartDialog();
    // The dialog comes up as its creation left it.
    device.WaitIdle(5000);
    dialog.exec();
}

MainWindow& Desktop::ShowMainWindow() {
    if (!window_) {
        window_ = std::make_unique<MainWindow>(ctx);
        if (ctx.oscillogram_canvas) canvas.SetTarget(ctx.oscillogram_canvas);
        screen.AddRoot(window_.get());
        screen.SetPageControl(window_->pages());
        InstallDashboard(*this);
        // A closed window shows no more dialogs; what still runs ends
        // without them.
        QObject::connect(window_.get(), &MainWindow::closing, window_.get(),
                         [this] { screen.dialogs_suppressed = true; });
        window_->ShowLanguage(ActiveLanguage());
        // The live operating point over the map views (owned by the window).
        new LiveOverlay(*window_, live_feed, settings);
        QObject::connect(window_.get(), &MainWindow::languageChosen, window_.get(), [this](int chosen) {
            const auto language = static_cast<texts::Language>(chosen);
            if (SetLanguage(language) && settings) RememberLanguage(*settings, language);
            window_->ShowLanguage(ActiveLanguage());
        });
        if (auto* item = window_->findChild<QAction*>("LogViewerItem"))
            QObject::connect(item, &QAction::triggered, window_.get(),
                             [this] { ShowLogViewer(window_.get(), ctx, live_feed); });
        device.Post([](Program& p) { gui2::FormCreate(p); });
        device.WaitIdle(5000);
    }
    window_->show();
    return *window_;
}

bool Desktop::SetLanguage(texts::Language language) {
    texts::Translator from, to;
    if (!LoadTranslator(ActiveLanguage(), from) || !LoadTranslator(language, to)) return false;
    if (!ApplyLanguage(*QCoreApplication::instance(), language)) return false;
    const auto mapper = std::make_shared<const TextMapper>(from, to);
    const int generation = ++language_switches_;
    auto retranslate = [this, mapper, generation] {
        // A later switch has its own mapping.
        if (generation != language_switches_) return;
        screen.Retranslate([&](const std::string& text) { return mapper->Map(text); });
        RetranslateWidgets(start_dialog_.get(), *mapper);
        RetranslateWidgets(window_.get(), *mapper);
    };
    retranslate();
    // The numbers shown follow the language's decimal separator.
    device.Post([](Program& p) {
        RefreshAllMapViews(p.screen, p.maps.document.Maps());
        ShowMonitorNumbers(p.screen, p.live.snapshot);
    });
    // A text the device thread made in the old language just before the
    // switch reaches the mirror within a frame: translated once more.
    QTimer::singleShot(4 * QtScreen::kFrameMs, &screen, retranslate);
    if (window_) window_->ShowLanguage(language);
    return true;
}

bool Desktop::Stop(int timeout_ms) {
    // A procedure still running is asked to stop (a write and a firmware
    // update are let finish), and none begun from the queue sends anything.
    ctx.session->Close();
    screen.dialogs_suppressed = true;
    return device.Stop(timeout_ms);
}

}  // namespace tovrel::ui
