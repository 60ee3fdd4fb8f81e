// The editing tools of the map pages in the window, against the in-process
// simulated variator: selections on charts and grids, the operations from
// the keys, undo and redo with repeated steps merged, the spreadsheet
// clipboard and the questions before edits would be lost.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <cstring>
#include <memory>

#include "ConfigFile.h"
#include "Desktop.h"
#include "MainWindow.h"
#include "MapChart.h"
#include "MapClipboard.h"
#include "MapControls.h"
#include "MapEditing.h"
#include "MapGrid.h"
#include "ModalAnswer.h"
#include "NumberText.h"
#include "Program.h"
#include "StartDialog.h"
#include "Variator.h"

using namespace tovrel;
using namespace tovrel::ui;

namespace {

sim::Configuration Ramps() {
    sim::Configuration c;
    for (int i = 0; i < 80; ++i) {
        c.maps[0][static_cast<std::size_t>(i)] = static_cast<std::int16_t>(500 + i * 10);  // 5.00 .. 12.90 degrees
        c.maps[1][static_cast<std::size_t>(i)] = static_cast<std::int16_t>(-300 + i * 5);
        c.maps[2][static_cast<std::size_t>(i)] = static_cast<std::int16_t>(20 + i);         // 20 .. 99 percent
        c.maps[3][static_cast<std::size_t>(i)] = 100;
    }
    c.tps_min = 300;
    c.tps_max = 3500;
    c.start_timeout = 30;
    return c;
}

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

class MapEditingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<sim::Variator> variator;
    std::unique_ptr<Desktop> desktop;

    MainWindow* Window() const { return desktop->window(); }
    MapEditing* Editing() const { return Window()->editing(); }
    MapChart* Chart(MapKind k) const { return Window()->findChild<MapChart*>(Q(FindMapControls(k)->chart)); }
    MapGrid* Grid(MapKind k) const { return Window()->findChild<MapGrid*>(Q(FindMapControls(k)->grid)); }
    QString Status() const { return Window()->statusBar()->currentMessage(); }

    // Until the device thread has run what was queued and the window has
    // what it sent back.
    void Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QVERIFY(desktop->device.WaitIdle(30000));
            desktop->screen.Flush();
            QCoreApplication::processEvents();
        }
    }
    TimingMap Map(MapKind kind) {
        TimingMap m{};
        desktop->device.Post([&m, kind](Program& p) { m = p.maps.document.Map(kind); });
        [&] { QVERIFY(desktop->device.WaitIdle(30000)); }();
        return m;
    }
    static bool SameBytes(const TimingMap& a, const TimingMap& b) {
        return std::memcmp(a.y.data(), b.y.data(), sizeof a.y) == 0;
    }
    void ShowPage(int page) {
        Window()->pages()->setCurrentIndex(page);
        Settle();
    }
    void ClickPoint(MapKind k, int point, Qt::KeyboardModifiers mods = {}) {
        auto* chart = Chart(k);
        chart->replot();
        QTest::mouseClick(chart, Qt::LeftButton, mods, chart->PointPosition(point).toPoint());
    }
    void ClickCell(MapKind k, int point, Qt::KeyboardModifiers mods = {}) {
        auto* grid = Grid(k);
        const QRect r = grid->visualRect(grid->model()->index(point % 10 + 1, point / 10 + 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, mods, r.center());
    }
    void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(w, static_cast<Qt::Key>(key), mods);
        Settle();
    }
private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        ::setenv("TOVREL_PORT_DIR", dir->path().toUtf8().constData(), 1);
        sim::Options o;
        o.port_dir = dir->path().toStdString();
        o.port_number = 1;
        o.mode = 1;
        variator = std::make_unique<sim::Variator>(o);
        variator->SetEeprom(Ramps());
        variator->SetWorking(Ramps());
        variator->Start();
        const std::string path = dir->path().toStdString();
        desktop = std::make_unique<Desktop>([path](Screen& s, Canvas& c) {
            auto p = std::make_unique<Program>(s, c);
            p->link.sleep_ms = [](int) {};
            p->link.default_port_dir = path;
            p->link.port_dir = path;
            p->settings.program_dir = path;
            return p;
        });
        // Connect and read: the editor starts equal to the variator.
        tovrel::test::WhenModal<StartDialog>([](StartDialog* d) {
            d->options()->findChildren<QRadioButton*>()[0]->click();
            d->continueButton()->click();
        });
        desktop->RunStartDialog();
        // A message of the logic (a reply lost on a busy machine) is no
        // question of these tests and must not wait for an answer.
        desktop->screen.dialogs_suppressed = true;
        desktop->ShowMainWindow();
        QVERIFY(QTest::qWaitForWindowActive(Window()));
        Settle();
        QCOMPARE(Map(MapKind::LPG).y[79], 12.9);
        QVERIFY(Editing()->Stack()->isClean());
        QVERIFY(Editing()->UnsavedMaps(true).isEmpty());
    }
    void cleanup() {
        QVERIFY(desktop->Stop(20000));
        desktop.reset();
        variator.reset();
        ::unsetenv("TOVREL_PORT_DIR");
        dir.reset();
    }

    // The chart's Shift+click range and the grid's cells are one selection;
    // the keys act in point order; the result is limited and named; repeated
    // steps on the same selection are one undo step; undo gives back the
    // exact bytes.
    void keysActOnTheSharedSelection() {
        const auto* c = FindMapControls(MapKind::LPG);
        ShowPage(c->chart_page);
        const TimingMap read = Map(MapKind::LPG);
        ClickPoint(MapKind::LPG, 10);
        ClickPoint(MapKind::LPG, 14, Qt::ShiftModifier);
        QCOMPARE(Editing()->Selection(MapKind::LPG), (std::vector<int>{10, 11, 12, 13, 14}));
        QCOMPARE(Grid(MapKind::LPG)->SelectedPoints(), (std::vector<int>{10, 11, 12, 13, 14}));
        QCOMPARE(Chart(MapKind::LPG)->Selection().size(), 5u);

        const int before = Editing()->Stack()->count();
        for (int i = 0; i < 3; ++i) Key(Chart(MapKind::LPG), Qt::Key_Plus);
        TimingMap m = Map(MapKind::LPG);
        for (int p = 10; p <= 14; ++p) QCOMPARE(m.y[static_cast<std::size_t>(p)], RoundToDevice(MapKind::LPG, read.y[static_cast<std::size_t>(p)] + 0.3));
        QCOMPARE(m.y[9], read.y[9]);
        QCOMPARE(m.y[15], read.y[15]);
        QCOMPARE(Editing()->Stack()->count(), before + 1);  // three presses, one step
        QVERIFY(!Editing()->Stack()->isClean());
        QCOMPARE(Editing()->UnsavedMaps(false), QStringList{"УОЗ газ"});
        QVERIFY(Editing()->SyncLabel()->text().contains("УОЗ газ: не записана"));
        // The views follow: the chart's points and the grid's cells.
        QCOMPARE(Chart(MapKind::LPG)->PointY(12), m.y[12]);
        QCOMPARE(Grid(MapKind::LPG)->CellText(2, 3), Q(FormatGeneral(m.y[12])));

        // Interpolate the range between its ends, then smooth it.
        Chart(MapKind::LPG)->replot();
        desktop->device.Post([](Program& p) { p.maps.document.SetPoint(MapKind::LPG, 14, 20.0, MapEditCause::GridCommit); });
        Settle();
        Key(Chart(MapKind::LPG), Qt::Key_Slash);
        m = Map(MapKind::LPG);
        const double a = m.y[10], b = 20.0;
        for (int p = 10; p <= 14; ++p)
            QCOMPARE(m.y[static_cast<std::size_t>(p)], RoundToDevice(MapKind::LPG, a + (b - a) * (p - 10) / 4));

        // Ten steps up (one degree) on the whole map: the point held at 32
        // is named.
        desktop->device.Post([](Program& p) { p.maps.document.SetPoint(MapKind::LPG, 14, 31.5, MapEditCause::GridCommit); });
        Settle();
        Key(Chart(MapKind::LPG), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(Editing()->Selection(MapKind::LPG).size(), 80u);
        const TimingMap before_ten = Map(MapKind::LPG);
        Key(Chart(MapKind::LPG), Qt::Key_Plus, Qt::ShiftModifier | Qt::KeypadModifier);
        m = Map(MapKind::LPG);
        QCOMPARE(m.y[14], 32.0);
        QCOMPARE(m.y[13], RoundToDevice(MapKind::LPG, before_ten.y[13] + 1.0));
        QCOMPARE(Chart(MapKind::LPG)->Limited(), std::vector<int>{14});
        QVERIFY2(Status().contains("ограничены диапазоном -32 ... 32 точки") && Status().contains("15"), qPrintable(Status()));
        QVERIFY(!Chart(MapKind::LPG)->Limited().empty());

        // Undo everything back to the read, byte for byte; redo it all.
        const TimingMap edited = Map(MapKind::LPG);
        while (Editing()->Stack()->canUndo() && !Editing()->Stack()->isClean()) {
            Key(Window(), Qt::Key_Z, Qt::ControlModifier);
        }
        QVERIFY(SameBytes(Map(MapKind::LPG), read));
        QVERIFY(Editing()->UnsavedMaps(true).isEmpty());
        while (Editing()->Stack()->canRedo()) Key(Window(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(SameBytes(Map(MapKind::LPG), edited));
    }

    // On a grid: Shift+click selects a block; + and - type into one cell as
    // before but step a block; Ctrl+Backspace goes back to what was read.
    void gridBlockKeysAndRevert() {
        const MapKind k = MapKind::LPGLoadDependence;
        ShowPage(FindMapControls(k)->grid_page);
        const TimingMap read = Map(k);
        ClickCell(k, 0);
        ClickCell(k, 21, Qt::ShiftModifier);  // columns 1..3, rows 1..2
        QCOMPARE(Editing()->Selection(k), (std::vector<int>{0, 1, 10, 11, 20, 21}));
        QCOMPARE(Chart(k)->Selection(), (std::vector<int>{0, 1, 10, 11, 20, 21}));
        Key(Grid(k), Qt::Key_Minus);
        Key(Grid(k), Qt::Key_Minus);
        TimingMap m = Map(k);
        for (int p : {0, 1, 10, 11, 20, 21}) QCOMPARE(m.y[static_cast<std::size_t>(p)], read.y[static_cast<std::size_t>(p)] - 2);
        QCOMPARE(m.y[2], read.y[2]);
        Key(Grid(k), Qt::Key_Backspace, Qt::ControlModifier);
        QVERIFY(SameBytes(Map(k), read));

        // One cell: the minus starts typing a number, nothing is stepped.
        ClickCell(k, 5);
        Settle();
        QTest::keyClicks(Grid(k), "-");
        auto* editor = Grid(k)->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClicks(editor, "7");
        QTest::keyClick(editor, Qt::Key_Return);
        Settle();
        QCOMPARE(Map(k).y[5], -7.0);
    }

    // The "=" dialog opens with the selection's mean and sets the value.
    void setValueDialog() {
        const MapKind k = MapKind::Petrol;
        ShowPage(FindMapControls(k)->chart_page);
        ClickPoint(k, 0);
        ClickPoint(k, 1, Qt::ShiftModifier);
        auto seen = std::make_shared<double>(0);
        tovrel::test::WhenModal<QInputDialog>([seen](QInputDialog* d) {
            *seen = d->doubleValue();
            d->setDoubleValue(-4.25);
            d->accept();
        });
        Key(Chart(k), Qt::Key_Equal);
        QCOMPARE(*seen, RoundToDevice(k, (-3.00 + -2.95) / 2));
        QCOMPARE(Map(k).y[0], -4.25);
        QCOMPARE(Map(k).y[1], -4.25);
    }

    // A spreadsheet's text in both decimal styles, pasted and copied back;
    // a bad paste changes nothing and names its first bad cell.
    void clipboardRoundTrips() {
        const MapKind k = MapKind::LPG;
        ShowPage(FindMapControls(k)->grid_page);
        ClickCell(k, 0);
        const TimingMap read = Map(k);
        struct Case {
            const char* text;
            std::vector<std::pair<int, double>> want;  // point, value
            const char* refusal;                      // part of the status, empty when taken
        } cases[] = {
            {"1,5\t2,25\n3,5\t-4\n", {{0, 1.5}, {10, 2.25}, {1, 3.5}, {11, -4}}, ""},
            {"1.5;2.75\r\n", {{0, 1.5}, {10, 2.75}}, ""},
            {"7,5\n8,5\n9\n", {{0, 7.5}, {1, 8.5}, {2, 9}}, ""},  // one column, comma decimals
            {"1.5,2.5,3.5\n", {{0, 1.5}, {10, 2.5}, {20, 3.5}}, ""},
            {"1\tabc\n", {}, "строка 1, столбец 2 — «abc» не число"},
            {"1\n2\n40\n", {}, "строка 3, столбец 1 — «40» вне диапазона -32 ... 32"},
            {"1\t2\t3\t4\t5\t6\t7\t8\t9\n", {}, "не помещается"},
        };
        for (const auto& c : cases) {
            const TimingMap before = Map(k);
            QApplication::clipboard()->setText(QString::fromUtf8(c.text));
            ClickCell(k, 0);
            Key(Grid(k), Qt::Key_V, Qt::ControlModifier);
            const TimingMap after = Map(k);
            if (*c.refusal) {
                QVERIFY2(Status().contains(QString::fromUtf8(c.refusal)), qPrintable(Status()));
                QVERIFY(SameBytes(before, after));
                continue;
            }
            for (auto [p, v] : c.want) QCOMPARE(after.y[static_cast<std::size_t>(p)], v);
        }

        // Copy a block from the grid and paste it elsewhere in comma style.
        ClickCell(k, 0);
        ClickCell(k, 12, Qt::ShiftModifier);
        Key(Grid(k), Qt::Key_C, Qt::ControlModifier);
        QString text = QApplication::clipboard()->text();
        QCOMPARE(text.count('\n'), 3);
        QCOMPARE(text.count('\t'), 3 * 1);
        const TimingMap source = Map(k);
        text.replace('.', ',');
        QApplication::clipboard()->setText(text);
        ClickCell(k, 50);
        Key(Grid(k), Qt::Key_V, Qt::ControlModifier);
        const TimingMap pasted = Map(k);
        for (int dc = 0; dc < 2; ++dc)
            for (int dr = 0; dr < 3; ++dr)
                QCOMPARE(pasted.y[static_cast<std::size_t>(50 + dc * 10 + dr)], source.y[static_cast<std::size_t>(dc * 10 + dr)]);

        // A chart copy is "engine speed TAB value" and pastes back onto its points.
        ShowPage(FindMapControls(k)->chart_page);
        ClickPoint(k, 30);
        ClickPoint(k, 32, Qt::ShiftModifier);
        Key(Chart(k), Qt::Key_C, Qt::ControlModifier);
        const QString rows = QApplication::clipboard()->text();
        QVERIFY2(rows.startsWith("3000\t"), qPrintable(rows));
        QApplication::clipboard()->setText(QString("3100\t11,5\n3200\t-1\n"));
        ClickPoint(k, 70);
        Key(Chart(k), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Map(k).y[31], 11.5);
        QCOMPARE(Map(k).y[32], -1.0);
        QCOMPARE(Map(k).y[70], read.y[70]);
    }

    // A read over edits asks first, naming the map, "Нет" by default; said
    // yes, the read is one undoable step. A write and commit make it clean.
    void unsavedChangesAreAskedAbout() {
        const MapKind k = MapKind::Petrol;
        ShowPage(FindMapControls(k)->chart_page);
        ClickPoint(k, 3);
        Key(Chart(k), Qt::Key_Plus);
        const TimingMap edited = Map(k);
        QCOMPARE(Editing()->UnsavedMaps(true), QStringList{"УОЗ бензин"});

        auto asked = std::make_shared<QString>();
        const auto answer = [asked](QMessageBox::StandardButton b) {
            tovrel::test::WhenModal<QMessageBox>([asked, b](QMessageBox* box) {
                *asked = box->text();
                QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
                QCOMPARE(box->button(QMessageBox::No)->text(), QString("Нет"));
                box->button(b)->click();
            });
        };
        answer(QMessageBox::No);
        QTest::mouseClick(Window()->findChild<QPushButton*>("ReadData"), Qt::LeftButton);
        Settle();
        QVERIFY2(asked->contains("Чтение из вариатора заменит изменённые карты: УОЗ бензин"), qPrintable(*asked));
        QVERIFY(SameBytes(Map(k), edited));

        answer(QMessageBox::Yes);
        QTest::mouseClick(Window()->findChild<QPushButton*>("ReadData"), Qt::LeftButton);
        Settle();
        QVERIFY2(!SameBytes(Map(k), edited), qPrintable(QString("%1 %2 %3").arg(Map(k).y[3]).arg(edited.y[3]).arg(Status())));
        QVERIFY(Editing()->Stack()->isClean());
        // The read pressed by mistake loses nothing.
        Window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Window()));
        Key(Window(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(SameBytes(Map(k), edited));

        // Closing asks too; "Нет" keeps the window.
        asked->clear();
        answer(QMessageBox::No);
        Window()->close();
        Settle();
        QVERIFY(asked->contains("УОЗ бензин"));
        QVERIFY(Window()->isVisible());

        // Written and committed: nothing to ask, the editor is clean.
        QTest::mouseClick(Window()->findChild<QPushButton*>("WriteData"), Qt::LeftButton);
        Settle();
        QVERIFY(Editing()->UnsavedMaps(true).isEmpty());
        QVERIFY(Editing()->Stack()->isClean());
        QCOMPARE(variator->Eeprom().maps[1][3], EncodeMapValue(k, edited.y[3]));
        QVERIFY(Editing()->SyncLabel()->text().contains("УОЗ бензин: как в вариаторе"));
    }

    // Writing a map without a commit shows the working memory ahead of EEPROM.
    void writtenButNotCommitted() {
        const MapKind k = MapKind::LPG;
        ShowPage(FindMapControls(k)->chart_page);
        ClickPoint(k, 0);
        Key(Chart(k), Qt::Key_Minus);
        QTest::mouseClick(Window()->findChild<QPushButton*>("PreviouselyGASmapWriteButton"), Qt::LeftButton);
        Settle();
        QVERIFY2(Editing()->SyncLabel()->text().contains("УОЗ газ: не в EEPROM"), qPrintable(Editing()->SyncLabel()->text()));
        QCOMPARE(Editing()->UnsavedMaps(false), QStringList{});
        QCOMPARE(Editing()->UnsavedMaps(true), QStringList{"УОЗ газ"});
    }

    // A file loaded over edits is one undo step; while a transfer holds the
    // maps, an operation is refused and changes nothing.
    void fileLoadIsUndoableAndTransfersRefuseEdits() {
        const MapKind k = MapKind::PetrolLoadDependence;
        ShowPage(FindMapControls(k)->chart_page);
        const TimingMap read = Map(k);
        const int steps = Editing()->Stack()->count();
        desktop->device.Post([](Program& p) {
            TimingMap other{};
            other.y.fill(42);
            const std::string xml = ConfigurationXml(other, other, other, other, "30");
            std::string error;
            const auto content = ParseConfiguration(xml, "other.xml", &error);
            if (content) ApplyConfiguration(p.maps.document, *content);
        });
        Settle();
        QCOMPARE(Map(k).y[0], 42.0);
        QCOMPARE(Editing()->Stack()->count(), steps + 1);
        QCOMPARE(Editing()->Stack()->undoText(), QString("Загрузка файла"));
        QCOMPARE(Editing()->UnsavedMaps(false).size(), 4);
        Key(Window(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(SameBytes(Map(k), read));
        QVERIFY(Editing()->UnsavedMaps(true).isEmpty());

        desktop->device.Post([](Program& p) { ++p.maps.TransfersRunning; });
        Settle();
        ClickPoint(k, 7);
        Key(Chart(k), Qt::Key_Minus);
        QVERIFY(SameBytes(Map(k), read));
        QVERIFY2(Status().contains("идёт обмен с вариатором"), qPrintable(Status()));
        desktop->device.Post([](Program& p) { --p.maps.TransfersRunning; });
        Settle();
    }

    // The "Правка" menu shows every key.
    void editMenuShowsTheKeys() {
        QMenu* menu = Editing()->Menu();
        QCOMPARE(menu->title(), QString("Правка"));
        QStringList keys;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) keys << a->shortcut().toString(QKeySequence::PortableText);
        for (const char* k : {"Ctrl+Z", "Ctrl+Y", "Ctrl+A", "Ctrl+C", "Ctrl+V", "=", "+", "-", "Shift++", "Shift+-", "*",
                              "/", "S", "Ctrl+Backspace"})
            QVERIFY2(keys.contains(k), k);
        QVERIFY(Window()->menuBar()->actions().contains(menu->menuAction()));
    }
};

// The clipboard's parser alone.
class ClipboardParseTest : public QObject {
    Q_OBJECT
private slots:
    void numbers() {
        QCOMPARE(ParseCellNumber("1,5").value_or(-99), 1.5);
        QCOMPARE(ParseCellNumber(" -2.25 ").value_or(-99), -2.25);
        QCOMPARE(ParseCellNumber(QString::fromUtf8("\u22123")).value_or(-99), -3.0);
        QVERIFY(!ParseCellNumber("1,5.2"));
        QVERIFY(!ParseCellNumber(""));
        QVERIFY(!ParseCellNumber("nan"));
        QVERIFY(!ParseCellNumber("1e400"));
    }
    void throttleValuesAreWholePercent() {
        const auto plan = PlanPaste(MapKind::LPGLoadDependence, "99,6\n101\n", 78, false);
        QVERIFY(plan.error.isEmpty());
        QCOMPARE(plan.points, (std::vector<int>{78, 79}));
        QCOMPARE(plan.values, (std::vector<double>{100, 101}));
        QVERIFY(!PlanPaste(MapKind::LPGLoadDependence, "1\n2\n3\n", 78, false).error.isEmpty());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int status = 0;
    {
        ClipboardParseTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        MapEditingTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "map_editing_test.moc"
