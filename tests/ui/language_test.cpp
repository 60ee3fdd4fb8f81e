// English beside Russian in the window: the window's catalogue fully
// translated, a switch at run time that leaves no Russian caption on any
// page and comes back to the very same Russian texts, the start dialog's
// choice read back after a switch, the mapping of texts shown with values
// and in memos, and the language kept in the settings.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <map>
#include <memory>

#include "AppTexts.h"
#include "Desktop.h"
#include "DashTexts.h"
#include "EditTexts.h"
#include "ViewerTexts.h"
#include "LiveTexts.h"
#include "FirmwareTexts.h"
#include "Language.h"
#include "LinkTexts.h"
#include "MainWindow.h"
#include "MapChart.h"
#include "MapsTexts.h"
#include "OscilloscopeTexts.h"
#include "Program.h"
#include "RestoreTexts.h"
#include "SettingsTexts.h"
#include "StartDialog.h"
#include "TranslationCheck.h"
#include "UiTexts.h"
#include "Variator.h"
#include "View3DWidget.h"

using namespace tovrel;
using namespace tovrel::ui;

namespace {

// Every text a user reads on the widgets under `root`, by where it is.
std::map<QString, QString> ShownTexts(QObject* root) {
    std::map<QString, QString> out;
    QList<QObject*> objects = root->findChildren<QObject*>();
    objects.prepend(root);
    int unnamed = 0;
    for (QObject* o : objects) {
        const QString at = (o->objectName().isEmpty() ? QString("#%1").arg(unnamed++) : o->objectName()) + "/" +
                           o->metaObject()->className();
        if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow()) out[at + ".title"] = w->windowTitle();
        if (auto* x = qobject_cast<QLabel*>(o)) out[at] = x->text();
        else if (auto* x = qobject_cast<QAbstractButton*>(o)) out[at] = x->text();
        else if (auto* x = qobject_cast<QGroupBox*>(o)) out[at] = x->title();
        else if (auto* x = qobject_cast<QMenu*>(o)) out[at] = x->title();
        else if (auto* x = qobject_cast<QAction*>(o)) out[at] = x->text();
        else if (auto* x = qobject_cast<QPlainTextEdit*>(o)) out[at] = x->toPlainText();
        else if (auto* x = qobject_cast<QLineEdit*>(o)) out[at] = x->text();
        if (auto* tabs = qobject_cast<QTabWidget*>(o))
            for (int i = 0; i < tabs->count(); ++i) out[at + QString(".tab%1").arg(i)] = tabs->tabText(i);
        if (auto* chart = qobject_cast<MapChart*>(o)) {
            out[at + ".title"] = chart->Title();
            out[at + ".x"] = chart->xAxis->label();
            out[at + ".y"] = chart->yAxis->label();
        }
        if (auto* view = qobject_cast<View3DWidget*>(o)) {
            out[at + ".title"] = view->title();
            out[at + ".x"] = view->xCaption();
            out[at + ".y"] = view->yCaption();
        }
    }
    return out;
}

bool Cyrillic(const QString& s) {
    for (QChar c : s)
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF) return true;
    return false;
}

// The language menu names each language in its own words.
bool LanguageMenu(const QString& text) {
    return text == QString("Язык / Language") || text == QString("Русский");
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<sim::Variator> sim_;
    std::unique_ptr<Desktop> desk_;

    void Start(bool window) {
        ::setenv("TOVREL_PORT_DIR", dir_->path().toLocal8Bit().constData(), 1);
        sim::Options o;
        o.port_dir = dir_->path().toStdString();
        o.port_number = 1;
        o.mode = 1;
        sim_ = std::make_unique<sim::Variator>(o);
        sim_->Start();
        const std::string where = dir_->path().toStdString();
        desk_ = std::make_unique<Desktop>([where](Screen& s, Canvas& c) {
            auto p = std::make_unique<Program>(s, c);
            p->link.default_port_dir = where;
            p->link.port_dir = where;
            p->settings.program_dir = where;
            p->StartOption = 0;
            return p;
        });
        desk_->screen.dialogs_suppressed = true;
        if (!window) return;
        desk_->ShowMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(desk_->window()));
        desk_->window()->activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(desk_->window()->findChild<QLabel*>("Label2")->text(), QString("Подключен"), 20000);
        QVERIFY(desk_->device.WaitIdle(20000));
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }
    void cleanup() {
        if (desk_) QVERIFY(desk_->Stop(20000));
        desk_.reset();
        sim_.reset();
        QVERIFY(ApplyLanguage(*qApp, Language::Russian));
        ::unsetenv("TOVREL_PORT_DIR");
    }

    // Every catalogue text, the window's own included, has its English one
    // with the same placeholders and edge blanks, no two alike, no Russian
    // left in it.
    void englishCoversEveryCatalogue() {
        std::set<TextKey> catalogue;
        AddCatalogue<LinkText>(catalogue);
        AddCatalogue<MapsText>(catalogue);
        AddCatalogue<SettingsText>(catalogue);
        AddCatalogue<FirmwareText>(catalogue);
        AddCatalogue<OscilloscopeText>(catalogue);
        AddCatalogue<AppText>(catalogue);
        AddCatalogue<UiText>(catalogue);
        AddCatalogue<RestoreText>(catalogue);
        AddCatalogue<EditText>(catalogue);
        AddCatalogue<DashText>(catalogue);
        AddCatalogue<ViewerText>(catalogue);
        AddCatalogue<LiveText>(catalogue);
        const auto faults = TranslationFaults(Language::English, catalogue, false);
        QVERIFY2(faults.empty(), faults.empty() ? "" : faults.front().c_str());
        // The window's .qm says what the built-in table says.
        texts::Translator qm;
        QVERIFY(LoadTranslator(Language::English, qm));
        for (const auto& row : texts::BuiltInTable(Language::English))
            QCOMPARE(QString::fromStdString(qm(row.context, row.source)), QString::fromUtf8(row.translation));
    }

    // A switch to English while connected: every page, menu and chart says
    // it in English at once; the switch back gives the Russian texts byte
    // for byte.
    void everyCaptionFollowsTheSwitchAndBack() {
        Start(true);
        if (QTest::currentTestFailed()) return;
        const auto russian = ShownTexts(desk_->window());
        QVERIFY(russian.size() > 100);

        QVERIFY(desk_->SetLanguage(Language::English));
        QCOMPARE(ActiveLanguage(), Language::English);
        QCOMPARE(desk_->window()->findChild<QLabel*>("Label2")->text(), QString("Connected"));
        QStringList left;
        for (const auto& [where, text] : ShownTexts(desk_->window()))
            if (Cyrillic(text) && !LanguageMenu(text)) left << where + ": " + text;
        QVERIFY2(left.isEmpty(), qPrintable(left.join('\n')));
        // Qt's own dialogs are Qt's English.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Cancel"));
        // Texts the logic makes from now on are English as well.
        desk_->ctx.Forward([](Program& p) { p.screen.ShowMessage(Tr(LinkText::LineBusy)); });
        QVERIFY(desk_->device.WaitIdle(5000));
        QCOMPARE(QString::fromStdString(desk_->screen.Messages().back()),
                 QString("Wait for the current exchange with the variator to finish: command not carried out."));

        QVERIFY(desk_->SetLanguage(Language::Russian));
        QTest::qWait(100);  // the second pass of the switch
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Отмена"));
        const auto back = ShownTexts(desk_->window());
        for (const auto& [where, text] : russian) {
            auto it = back.find(where);
            QVERIFY2(it != back.end(), qPrintable(where));
            QVERIFY2(it->second == text, qPrintable(where + ": " + it->second + " | was: " + text));
        }
    }

    // The start dialog's choice is read back from the caption of the chosen
    // item: after a switch the mirror holds the English caption, which the
    // logic knows as that option.
    void startDialogChoiceAfterSwitch() {
        Start(false);
        auto& dialog = desk_->MakeStartDialog();
        QVERIFY(desk_->device.WaitIdle(5000));
        QVERIFY(desk_->SetLanguage(Language::English));
        QCOMPARE(dialog.windowTitle(), QString("Start-up"));
        const auto items = dialog.options()->findChildren<QRadioButton*>();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[1]->text(), QString("Connect without reading the configuration."));
        items[1]->click();
        dialog.continueButton()->click();
        QVERIFY(desk_->device.WaitIdle(5000));
        QVERIFY(desk_->screen.Messages().empty());  // no "No such option."
        std::atomic<int> option{-1};
        desk_->device.Post([&](Program& p) { option = p.StartOption; });
        QVERIFY(desk_->device.WaitIdle(5000));
        QCOMPARE(option.load(), 1);
    }

    // Texts with values and memo lines are recognised; what no catalogue
    // has stays as it is.
    void mappingOfShownTexts_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("english");
        QTest::newRow("caption") << "Не подключен" << "Not connected";
        QTest::newRow("trailing blank") << "Карта TPS для газа " << "LPG TPS map ";
        QTest::newRow("pattern") << "Подключились к com-порту 12" << "Connected to COM port 12";
        QTest::newRow("pattern with a text for a value")
            << "Файл не сохранён: газовая карта TPS не прочитана из вариатора."
            << "File not saved: the LPG TPS map has not been read from the variator.";
        QTest::newRow("number and unit") << "4503 об/мин" << "4503 rpm";
        QTest::newRow("memo lines, one unknown")
            << "Файл прошивки выбран\n/tmp/x.evf0\nFLASH очищена" << "Firmware file chosen\n/tmp/x.evf0\nFLASH erased";
        QTest::newRow("memo line with a value")
            << "Подключились к com-порту 3\nFLASH очищена" << "Connected to COM port 3\nFLASH erased";
        QTest::newRow("whole help") << QString::fromStdString(Tr(UiText::HelpText))
                                    << QString::fromStdString(texts::BuiltInTranslator(Language::English)(
                                           "ui", CatalogueOf(UiText{}).entries[static_cast<int>(UiText::HelpText)].source));
        QTest::newRow("doubled blanks") << QString::fromStdString(Tr(UiText::PedalAxis))
                                        << "Throttle pedal position.      0 - pedal released.     80 - pedal fully pressed.";
        QTest::newRow("no catalogue text") << "3900" << "3900";
        QTest::newRow("file data") << "Номер COM-порта по умолчанию: 3" << "Номер COM-порта по умолчанию: 3";
    }
    void mappingOfShownTexts() {
        QFETCH(QString, shown);
        QFETCH(QString, english);
        const TextMapper to_english({}, texts::BuiltInTranslator(Language::English));
        QCOMPARE(to_english.Map(shown), english);
        const TextMapper to_russian(texts::BuiltInTranslator(Language::English), {});
        QCOMPARE(to_russian.Map(english), shown);
    }

    // The kept choice wins over the locale; without one (or with one the
    // program does not know) the locale decides.
    void startLanguageFromSettingsAndLocale() {
        const QString ini = dir_->filePath("settings.ini");
        QSettings settings(ini, QSettings::IniFormat);
        ::setenv("LC_ALL", "en_US.UTF-8", 1);
        QCOMPARE(StartLanguage(settings), Language::English);
        RememberLanguage(settings, Language::Russian);
        QCOMPARE(QSettings(ini, QSettings::IniFormat).value(kLanguageKey).toString(), QString("ru"));
        QCOMPARE(StartLanguage(settings), Language::Russian);
        settings.setValue(kLanguageKey, "xx");
        QCOMPARE(StartLanguage(settings), Language::English);
        ::setenv("LC_ALL", "C", 1);
        QCOMPARE(StartLanguage(settings), Language::Russian);
        ::setenv("LC_ALL", "C.UTF-8", 1);
    }

    // The menu item switches and keeps the choice.
    void menuSwitchesAndRemembers() {
        Start(true);
        if (QTest::currentTestFailed()) return;
        QSettings settings(dir_->filePath("menu.ini"), QSettings::IniFormat);
        desk_->settings = &settings;
        auto* english = desk_->window()->findChild<QAction*>("Language_en");
        auto* russian = desk_->window()->findChild<QAction*>("Language_ru");
        QVERIFY(english && russian);
        QVERIFY(russian->isChecked());
        english->trigger();
        QCOMPARE(ActiveLanguage(), Language::English);
        QVERIFY(english->isChecked() && !russian->isChecked());
        QCOMPARE(settings.value(kLanguageKey).toString(), QString("en"));
        QCOMPARE(desk_->window()->findChild<QMenu*>("N8")->title(), QString("Connection"));
    }
};

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
