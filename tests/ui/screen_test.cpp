// The screen mirror between the device thread and the widgets: what the
// logic sets reaches the widgets, what it reads comes from the mirror, the
// user's edits arrive before their events, dialogs block the device thread
// only, and a pump lets a second press in.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <atomic>
#include <functional>
#include <memory>

#include "Desktop.h"
#include "DeviceThread.h"
#include "ModalAnswer.h"
#include "ImageCanvas.h"
#include "Program.h"
#include "QtScreen.h"

using namespace tovrel;
using namespace tovrel::ui;
using tovrel::test::WhenModal;

namespace {

struct RecordingGrid : GridControl {
    struct Cell {
        int c, r;
        std::string text;
    };
    std::vector<Cell> cells;
    void ApplyCellText(int column, int row, const std::string& text) override { cells.push_back({column, row, text}); }
};

struct RecordingSeries : SeriesSink {
    std::vector<ChartPoint> points;
    std::map<int, Rgb> colours;
    int full_sets = 0, point_sets = 0;
    bool on_gui_thread = true;
    void Check() { on_gui_thread = on_gui_thread && QThread::currentThread() == qApp->thread(); }
    void ApplySeries(const std::string&, const std::vector<ChartPoint>& p) override {
        Check();
        points = p;
        colours.clear();
        ++full_sets;
    }
    void ApplyPointY(const std::string&, int index, double y) override {
        Check();
        points.at(static_cast<std::size_t>(index)).y = y;
        ++point_sets;
    }
    void ApplyPointColour(const std::string&, int index, std::optional<Rgb> colour) override {
        Check();
        if (colour) colours[index] = *colour;
        else colours.erase(index);
    }
};

// A label that applies its colour itself.
struct CustomLabel : QLabel, ScreenControl {
    std::optional<Rgb> colour;
    bool ApplyProperty(Property property, const PropertyValue& value) override {
        if (property != Property::Colour) return false;
        colour = std::get<Rgb>(value);
        return true;
    }
};

}  // namespace

class ScreenTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QtScreen> screen;
    std::unique_ptr<DeviceThread> device;
    std::unique_ptr<ImageCanvas> canvas;
    std::unique_ptr<QWidget> root;
    QTabWidget* tabs = nullptr;
    RecordingGrid grid;
    RecordingSeries series;

    template <class W>
    W* Add(const char* name) {
        auto* w = new W(root.get());
        w->setObjectName(name);
        return w;
    }
    // Runs `call` on the device thread and waits for it (and for its
    // changes to reach the widgets).
    void OnDevice(DeviceThread::Call call) {
        device->Post(std::move(call));
        QVERIFY(device->WaitIdle(10000));
    }

    // Runs `call` on the device thread and waits for it without letting the
    // GUI thread apply what it set: the frame is not over yet.
    void SetWithinFrame(const DeviceThread::Call& call) {
        std::atomic<bool> done{false};
        device->Post([&](Program& p) {
            call(p);
            done = true;
        });
        QElapsedTimer clock;
        clock.start();
        while (!done && clock.elapsed() < 10000) QThread::msleep(1);
        QVERIFY(done);
    }

private slots:
    void init() {
        screen = std::make_unique<QtScreen>();
        device = std::make_unique<DeviceThread>(*screen);
        canvas = std::make_unique<ImageCanvas>(100, 50);
        root = std::make_unique<QWidget>();
        root->setObjectName("TForm2");
        Add<QLabel>("Label2")->setText("Не подключен");
        Add<QLineEdit>("Edit1")->setText("12");
        Add<QCheckBox>("CheckBox1")->setText("двигать график целиком");
        Add<QProgressBar>("ProgressBar1")->setRange(0, 79);
        Add<QSpinBox>("SpinEdit1")->setRange(0, 100);
        Add<QPushButton>("Button1")->setText("Старт");
        Add<QPlainTextEdit>("Memo1")->setReadOnly(true);
        auto* combo = Add<QComboBox>("ComboBox1");
        combo->setEditable(true);
        combo->addItems({"1", "2"});
        combo->setEditText("0");
        auto* group = Add<QGroupBox>("RadioGroup1");
        for (int i = 0; i < 3; ++i) new QRadioButton(QString("item %1").arg(i), group);
        group->findChildren<QRadioButton*>()[0]->setChecked(true);
        auto* custom = new CustomLabel;
        custom->setParent(root.get());
        custom->setObjectName("Custom1");
        auto* menu = new QMenu(root.get());
        menu->setObjectName("N8");
        menu->addAction("Отключиться")->setObjectName("N12");
        tabs = Add<QTabWidget>("PageControl1");
        for (const char* name : {"TabSheet0", "TabSheet1", "TabSheet2"}) {
            auto* page = new QWidget;
            page->setObjectName(name);
            tabs->addTab(page, name);
        }
        root->show();
        screen->AddRoot(root.get());
        screen->SetPageControl(tabs);
        screen->RegisterGrid("StringGridLPG", &grid);
        screen->RegisterSeries("LineSeries1", &series);
        grid.cells.clear();
        series = RecordingSeries{};
        device->Start([this] { return std::make_unique<Program>(*screen, *canvas); });
    }

    void cleanup() {
        QVERIFY(device->Stop(10000));
        device.reset();
        root.reset();
        screen.reset();
    }

    // What the widgets held when the screen was attached is what the logic
    // reads before it set anything.
    void startingValuesAreMirrored() {
        std::string label, button, combo, item1, edit;
        int radio = -1;
        bool tab_visible = false;
        OnDevice([&](Program& p) {
            label = p.screen.controls().Text("Label2");
            button = p.screen.controls().Text("Button1");
            combo = p.screen.controls().Text("ComboBox1");
            item1 = p.screen.controls().Text("ComboBox1[1]");
            edit = p.screen.controls().Text("Edit1");
            radio = p.screen.controls().Number("RadioGroup1", Property::Position);
            tab_visible = p.screen.controls().IsVisible("TabSheet2");
        });
        QCOMPARE(label, std::string("Не подключен"));
        QCOMPARE(button, std::string("Старт"));
        QCOMPARE(combo, std::string("0"));
        QCOMPARE(item1, std::string("2"));
        QCOMPARE(edit, std::string("12"));
        QCOMPARE(radio, 0);
        QVERIFY(tab_visible);
    }

    // A Set is visible to the next Get at once, on the device thread, and
    // reaches the widget on the GUI thread.
    void setReachesTheWidgetsAndGetReadsTheMirror() {
        struct Case {
            const char* control;
            Property property;
            PropertyValue value;
        };
        const Case cases[] = {
            {"Label2", Property::Text, std::string("Подключен")},
            {"Label2", Property::Opaque, true},
            {"Label2", Property::Colour, colours::Green},
            {"CheckBox1", Property::Checked, true},
            {"ProgressBar1", Property::Position, 200},  // clamped on the bar, kept in the mirror
            {"ProgressBar1", Property::Visible, false},
            {"SpinEdit1", Property::Text, std::string("42")},
            {"Edit1", Property::Enabled, false},
            {"N12", Property::Enabled, false},
            {"N8", Property::Visible, false},
            {"TabSheet2", Property::Visible, false},
            {"TabSheet1", Property::Text, std::string("Карта")},
            {"ComboBox1[3]", Property::Text, std::string("4")},
            {"RadioGroup1", Property::Position, 2},
            {"RadioGroup1[1]", Property::Text, std::string("второй")},
            {"TForm2", Property::Text, std::string("60-2 TOVREL GUI VERSION 41.02.26")},
        };
        std::vector<PropertyValue> read_back;
        OnDevice([&](Program& p) {
            for (const auto& c : cases) {
                p.screen.controls().Set(c.control, c.property, c.value);
                read_back.push_back(p.screen.controls().Get(c.control, c.property));
            }
        });
        for (std::size_t i = 0; i < std::size(cases); ++i) QVERIFY2(read_back[i] == cases[i].value, cases[i].control);

        auto* label = root->findChild<QLabel*>("Label2");
        QCOMPARE(label->text(), QString("Подключен"));
        QCOMPARE(label->palette().color(QPalette::Window), QColor(0, 128, 0));
        QVERIFY(label->autoFillBackground());
        QVERIFY(root->findChild<QCheckBox*>("CheckBox1")->isChecked());
        auto* bar = root->findChild<QProgressBar*>("ProgressBar1");
        QCOMPARE(bar->value(), 79);
        QVERIFY(bar->isHidden());
        QCOMPARE(root->findChild<QSpinBox*>("SpinEdit1")->value(), 42);
        QVERIFY(!root->findChild<QLineEdit*>("Edit1")->isEnabled());
        QVERIFY(!root->findChild<QAction*>("N12")->isEnabled());
        QVERIFY(!root->findChild<QMenu*>("N8")->menuAction()->isVisible());
        QVERIFY(!tabs->isTabVisible(2));
        QCOMPARE(tabs->tabText(1), QString("Карта"));
        auto* combo = root->findChild<QComboBox*>("ComboBox1");
        QCOMPARE(combo->count(), 4);
        QCOMPARE(combo->itemText(3), QString("4"));
        QCOMPARE(combo->currentText(), QString("0"));
        auto radios = root->findChild<QGroupBox*>("RadioGroup1")->findChildren<QRadioButton*>();
        QVERIFY(!radios[0]->isChecked());
        QVERIFY(radios[2]->isChecked());
        QCOMPARE(radios[1]->text(), QString("второй"));
        QCOMPARE(root->windowTitle(), QString("60-2 TOVREL GUI VERSION 41.02.26"));
    }

    void customControlsGridsAndPagesTakeTheirShare() {
        OnDevice([](Program& p) {
            p.screen.controls().SetColour("Custom1", colours::Yellow);
            p.screen.controls().SetText("Custom1", "7");
            p.screen.controls().SetText(GridCell("StringGridLPG", 2, 3), "-1.5");
            p.screen.controls().SetText(GridCell("StringGridNone", 1, 1), "x");
            p.screen.SelectPage(2);
        });
        auto* custom = root->findChild<CustomLabel*>("Custom1");
        QVERIFY(custom->colour == colours::Yellow);
        QCOMPARE(custom->text(), QString("7"));  // left to the generic code
        QCOMPARE(grid.cells.size(), std::size_t(1));
        QCOMPARE(grid.cells[0].c, 2);
        QCOMPARE(grid.cells[0].r, 3);
        QCOMPARE(grid.cells[0].text, std::string("-1.5"));
        QCOMPARE(tabs->currentIndex(), 2);
        // The user's tab click is what SelectedPage then reads.
        tabs->setCurrentIndex(1);
        int page = -1;
        OnDevice([&](Program& p) { page = p.screen.SelectedPage(); });
        QCOMPARE(page, 1);
    }

    // A memo's text set and lines appended within one frame apply as one,
    // in order.
    void memoLinesAppendInOrder() {
        OnDevice([](Program& p) {
            p.screen.controls().AppendLine("Memo1", "old");
            p.screen.controls().SetText("Memo1", "first");
            for (int i = 0; i < 100; ++i) p.screen.controls().AppendLine("Memo1", "line " + std::to_string(i));
        });
        const auto lines = root->findChild<QPlainTextEdit*>("Memo1")->toPlainText().split('\n');
        QCOMPARE(lines.size(), 101);
        QCOMPARE(lines.front(), QString("first"));
        QCOMPARE(lines.back(), QString("line 99"));
        OnDevice([](Program& p) { p.screen.controls().AppendLine("Memo1", "after"); });
        QCOMPARE(root->findChild<QPlainTextEdit*>("Memo1")->toPlainText().split('\n').size(), 102);
    }

    // The user's typing is in the mirror when the handler it triggers reads
    // it; a forwarded edit of a widget without a signal is captured too.
    void userEditsArriveBeforeTheirEvents() {
        auto* edit = root->findChild<QLineEdit*>("Edit1");
        edit->clear();
        QTest::keyClicks(edit, "345");
        auto* combo = root->findChild<QComboBox*>("ComboBox1");
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), "7");
        root->findChild<QCheckBox*>("CheckBox1")->click();
        root->findChild<QGroupBox*>("RadioGroup1")->findChildren<QRadioButton*>()[1]->click();
        std::string text, port;
        bool checked = false;
        int item = -1;
        device->Post([&](Program& p) {
            text = p.screen.controls().Text("Edit1");
            port = p.screen.controls().Text("ComboBox1");
            checked = p.screen.controls().IsChecked("CheckBox1");
            item = p.screen.controls().Number("RadioGroup1", Property::Position);
        });
        QVERIFY(device->WaitIdle(10000));
        QCOMPARE(text, std::string("345"));
        QCOMPARE(port, std::string("7"));
        QVERIFY(checked);
        QCOMPARE(item, 1);
    }

    // A user's edit and a logic Set of the same control within one frame:
    // the later of the two is what the widget shows and what the logic
    // reads, whichever order they came in.
    void laterOfUserEditAndSetWinsInWidgetAndMirror_data() {
        QTest::addColumn<bool>("user_last");
        QTest::newRow("set queued, then the user's edit") << true;
        QTest::newRow("user's edit, then a set in the same frame") << false;
    }
    void laterOfUserEditAndSetWinsInWidgetAndMirror() {
        QFETCH(bool, user_last);
        auto* edit = root->findChild<QLineEdit*>("Edit1");
        auto* check = root->findChild<QCheckBox*>("CheckBox1");
        auto* spin = root->findChild<QSpinBox*>("SpinEdit1");
        auto radios = root->findChild<QGroupBox*>("RadioGroup1")->findChildren<QRadioButton*>();
        auto radio_checked = [radios] {
            for (int i = 0; i < radios.size(); ++i)
                if (radios[i]->isChecked()) return std::to_string(i);
            return std::string("none");
        };
        struct CellGrid : GridControl {
            std::string& cell;
            explicit CellGrid(std::string& c) : cell(c) {}
            void ApplyCellText(int, int, const std::string& text) override { cell = text; }
        };
        std::string cell = "0";
        CellGrid grid_e(cell);
        screen->RegisterGrid("StringGridE", &grid_e);
        struct Case {
            const char* name;
            std::function<void(Program&)> set;  // device thread
            std::function<void()> edit;         // GUI thread, as the user does it
            std::function<std::string()> widget;
            std::function<std::string(Program&)> mirror;
            std::string set_value, user_value;
        };
        const Case cases[] = {
            {"typed text", [](Program& p) { p.screen.controls().SetText("Edit1", "100"); },
             [edit] {
                 edit->selectAll();
                 QTest::keyClicks(edit, "7");
             },
             [edit] { return edit->text().toStdString(); }, [](Program& p) { return p.screen.controls().Text("Edit1"); },
             "100", "7"},
            // The set leaves the box as it shows; the click ticks it.
            {"check box", [](Program& p) { p.screen.controls().SetChecked("CheckBox1", false); }, [check] { check->click(); },
             [check] { return std::string(check->isChecked() ? "1" : "0"); },
             [](Program& p) { return std::string(p.screen.controls().IsChecked("CheckBox1") ? "1" : "0"); }, "0", "1"},
            {"spin box", [](Program& p) { p.screen.controls().SetText("SpinEdit1", "42"); },
             [spin] { QTest::keyClick(spin, Qt::Key_Up); }, [spin] { return spin->text().toStdString(); },
             [](Program& p) { return p.screen.controls().Text("SpinEdit1"); }, "42", "1"},
            {"radio group", [](Program& p) { p.screen.controls().Set("RadioGroup1", Property::Position, 2); },
             [radios] { radios[1]->click(); }, radio_checked,
             [](Program& p) { return std::to_string(p.screen.controls().Number("RadioGroup1", Property::Position)); }, "2",
             "1"},
            {"page", [](Program& p) { p.screen.SelectPage(2); }, [this] { tabs->setCurrentIndex(1); },
             [this] { return std::to_string(tabs->currentIndex()); },
             [](Program& p) { return std::to_string(p.screen.SelectedPage()); }, "2", "1"},
            // A grid cell is typed into in place and told to the screen.
            {"grid cell", [](Program& p) { p.screen.controls().SetText(GridCell("StringGridE", 1, 1), "5"); },
             [this, &cell] {
                 cell = "6";
                 screen->UserEdit(GridCell("StringGridE", 1, 1), Property::Text, cell);
             },
             [&cell] { return cell; }, [](Program& p) { return p.screen.controls().Text(GridCell("StringGridE", 1, 1)); },
             "5", "6"},
        };
        for (const auto& c : cases) {
            const int batches = screen->BatchCount();
            if (user_last) {
                SetWithinFrame(c.set);
                c.edit();
            } else {
                c.edit();
                SetWithinFrame(c.set);
            }
            // Both happened before the frame's batch was applied.
            QVERIFY2(screen->BatchCount() == batches, c.name);
            std::string mirrored;
            OnDevice([&](Program& p) { mirrored = c.mirror(p); });
            const std::string& later = user_last ? c.user_value : c.set_value;
            QVERIFY2(c.widget() == later, qPrintable(QString("%1: the widget shows %2, not %3")
                                                         .arg(c.name, QString::fromStdString(c.widget()),
                                                              QString::fromStdString(later))));
            QVERIFY2(mirrored == later, qPrintable(QString("%1: the mirror holds %2, not %3")
                                                       .arg(c.name, QString::fromStdString(mirrored),
                                                            QString::fromStdString(later))));
        }
    }

    // Destroyed widgets are forgotten: the name finds the widget made in its
    // place, which shows (and mirrors) what the logic set meanwhile; a
    // destroyed grid or chart takes nothing more, and its successor takes
    // what follows.
    void destroyedControlsAreForgotten() {
        struct WidgetGrid : QWidget, RecordingGrid {};
        struct WidgetSeries : QWidget, RecordingSeries {};
        auto set_both = [this](const std::string& text) {
            OnDevice([text](Program& p) {
                p.screen.controls().SetText(GridCell("StringGridX", 1, 1), text);
                p.screen.controls().SetSeries("SeriesX", {{0, text.size() * 1.0}});
            });
        };
        auto grid1 = std::make_unique<WidgetGrid>();
        auto series1 = std::make_unique<WidgetSeries>();
        screen->RegisterGrid("StringGridX", grid1.get());
        screen->RegisterSeries("SeriesX", series1.get());
        set_both("a");
        QCOMPARE(grid1->cells.size(), std::size_t(1));
        QCOMPARE(series1->full_sets, 1);
        grid1.reset();
        series1.reset();
        set_both("bb");
        WidgetGrid grid2;
        WidgetSeries series2;
        screen->RegisterGrid("StringGridX", &grid2);
        screen->RegisterSeries("SeriesX", &series2);
        set_both("ccc");
        QCOMPARE(grid2.cells.size(), std::size_t(1));
        QCOMPARE(grid2.cells[0].text, std::string("ccc"));
        QVERIFY((series2.points == std::vector<ChartPoint>{{0, 3.0}}));

        OnDevice([](Program& p) { p.screen.controls().SetText("Label2", "a"); });
        delete root->findChild<QLabel*>("Label2");
        SetWithinFrame([](Program& p) { p.screen.controls().SetText("Label2", "b"); });
        auto* successor = Add<QLabel>("Label2");
        successor->setText("as designed");
        screen->Watch(successor);
        std::string mirrored;
        OnDevice([&](Program& p) { mirrored = p.screen.controls().Text("Label2"); });
        QCOMPARE(successor->text(), QString("b"));
        QCOMPARE(mirrored, std::string("b"));
    }

    // A procedure that pumps takes the second press in its middle, on its
    // own thread; the window keeps running meanwhile.
    void pumpRunsTheCallsQueuedMeanwhile() {
        std::atomic<bool> started{false};
        std::atomic<bool> stop{false};
        std::vector<std::string> order;
        Qt::HANDLE device_id = nullptr, second_id = nullptr;
        device->Post([&](Program& p) {
            device_id = QThread::currentThreadId();
            started = true;
            order.push_back("start");
            for (int i = 0; i < 5000 && !stop; ++i) {
                p.screen.Pump();
                QThread::msleep(1);
            }
            order.push_back(stop ? "stopped by the second press" : "ran out");
        });
        QTRY_VERIFY_WITH_TIMEOUT(started.load(), 5000);
        // The GUI thread is free while the procedure runs.
        QTest::qWait(20);
        device->Post([&](Program&) {
            second_id = QThread::currentThreadId();
            order.push_back("second press");
            stop = true;
        });
        QVERIFY(device->WaitIdle(10000));
        QCOMPARE(order, (std::vector<std::string>{"start", "second press", "stopped by the second press"}));
        QCOMPARE(second_id, device_id);
        QVERIFY(device_id != QThread::currentThreadId());
    }

    // A message box blocks the device thread, not the window, until the user
    // closes it; what was set before it is on the widgets by then.
    void messageBlocksTheDeviceThreadUntilClosed() {
        std::atomic<bool> after{false};
        device->Post([&](Program& p) {
            p.screen.controls().SetText("Label2", "Подключен");
            p.screen.ShowMessage("Вариатор отключен");
            after = true;
        });
        QString title, text, label;
        bool blocked = false;
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            label = root->findChild<QLabel*>("Label2")->text();
            QTest::qWait(50);
            blocked = !after;
            box->button(QMessageBox::Ok)->click();
        });
        QVERIFY(device->WaitIdle(10000));
        QCOMPARE(title, QString("Message"));
        QCOMPARE(text, QString("Вариатор отключен"));
        QCOMPARE(label, QString("Подключен"));
        QVERIFY(blocked);
        QVERIFY(after);
        QCOMPARE(screen->Messages(), std::vector<std::string>{"Вариатор отключен"});
    }

    // A risky step asks on the GUI thread; only "Да" says yes, and Enter or
    // closing the box refuses.
    void confirmAnswersTheDeviceThread() {
        struct Case {
            const char* name;
            int answer;  // 0 yes, 1 no, 2 Enter, 3 Escape
            bool expected;
        } cases[] = {{"yes", 0, true}, {"no", 1, false}, {"enter", 2, false}, {"escape", 3, false}};
        for (const auto& c : cases) {
            std::atomic<int> result{-1};
            device->Post([&](Program& p) { result = p.screen.Confirm("Записать в EEPROM?") ? 1 : 0; });
            QString title;
            WhenModal<QMessageBox>([&](QMessageBox* box) {
                title = box->windowTitle();
                if (c.answer == 0) box->button(QMessageBox::Yes)->click();
                else if (c.answer == 1) box->button(QMessageBox::No)->click();
                else QTest::keyClick(box, c.answer == 2 ? Qt::Key_Return : Qt::Key_Escape);
            });
            QVERIFY2(device->WaitIdle(10000), c.name);
            QCOMPARE(title, QString("Message"));
            QVERIFY2(result == (c.expected ? 1 : 0), c.name);
        }
        screen->dialogs_suppressed = true;
        std::atomic<int> result{-1};
        device->Post([&](Program& p) { result = p.screen.Confirm("Записать в EEPROM?") ? 1 : 0; });
        QVERIFY(device->WaitIdle(5000));
        QCOMPARE(result.load(), 0);
    }

    // An error that escapes a handler goes to the error display; the next
    // handler runs as usual.
    void escapedErrorsAreShown() {
        screen->dialogs_suppressed = true;
        device->Post([](Program&) { throw std::runtime_error("'x' is not a valid integer value"); });
        bool ran = false;
        device->Post([&](Program&) { ran = true; });
        QVERIFY(device->WaitIdle(5000));
        QVERIFY(ran);
        QCOMPARE(screen->Errors(), std::vector<std::string>{"'x' is not a valid integer value"});
    }

    // The file dialog runs on the GUI thread with the filter of the logic;
    // its answer (or its cancel) comes back to the device thread.
    void fileDialogAnswersTheDeviceThread() {
        QTemporaryDir dir;
        const QString path = dir.filePath("config.xml");
        std::optional<std::string> chosen = std::string("unset");
        device->Post([&](Program& p) { chosen = p.screen.ChooseFile("SaveDialog1", FileDialogMode::Save, "Text Files|*.xml"); });
        QString name;
        QFileDialog::AcceptMode mode{};
        QStringList filters;
        WhenModal<QFileDialog>([&](QFileDialog* dialog) {
            name = dialog->objectName();
            mode = dialog->acceptMode();
            filters = dialog->nameFilters();
            dialog->selectFile(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QVERIFY(device->WaitIdle(10000));
        QCOMPARE(name, QString("SaveDialog1"));
        QCOMPARE(mode, QFileDialog::AcceptSave);
        QCOMPARE(filters, QStringList{"Text Files (*.xml)"});
        QVERIFY(chosen);
        QCOMPARE(QString::fromStdString(*chosen), path);

        device->Post([&](Program& p) { chosen = p.screen.ChooseFile("OpenDialog1", FileDialogMode::Open, "*.evf0"); });
        WhenModal<QFileDialog>([&](QFileDialog* dialog) {
            mode = dialog->acceptMode();
            QMetaObject::invokeMethod(dialog, "reject");
        });
        QVERIFY(device->WaitIdle(10000));
        QCOMPARE(mode, QFileDialog::AcceptOpen);
        QVERIFY(!chosen);
    }

    // A save dialog adds the filter's extension to a name typed without
    // it, so that the open dialog's filter shows the file afterwards.
    void savedNameGetsTheFilterExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("saved");
        const QString xml = "Text Files (*.xml)";
        QTest::newRow("bare name") << "/d/my_car" << xml << "/d/my_car.xml";
        QTest::newRow("has it") << "/d/car.xml" << xml << "/d/car.xml";
        QTest::newRow("other case") << "/d/car.XML" << xml << "/d/car.XML";
        QTest::newRow("other extension") << "/d/car.v2" << xml << "/d/car.v2.xml";
        QTest::newRow("trailing dot") << "/d/car." << xml << "/d/car.xml";
        QTest::newRow("dotted folder") << "/d.xml/car" << xml << "/d.xml/car.xml";
        QTest::newRow("bare filter") << "/d/image" << "*.evf0" << "/d/image.evf0";
        QTest::newRow("second pattern") << "/d/a.log" << "Logs (*.txt *.log)" << "/d/a.log";
        QTest::newRow("first pattern") << "/d/a" << "Logs (*.txt *.log)" << "/d/a.txt";
        QTest::newRow("any file") << "/d/a" << "All (*)" << "/d/a";
        QTest::newRow("any extension") << "/d/a" << "*.*" << "/d/a";
        QTest::newRow("no filter") << "/d/a" << "" << "/d/a";
    }
    void savedNameGetsTheFilterExtension() {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, saved);
        QCOMPARE(WithFilterExtension(typed, filter), saved);
    }

    // Through the real dialog: the typed "my_car" comes back as my_car.xml,
    // and when that file exists, the question about replacing it names it.
    void saveDialogAddsTheExtensionToATypedName() {
        QTemporaryDir dir;
        auto type_and_save = [&](const QString& typed, std::function<void()> before_accept = {}) {
            std::optional<std::string> chosen;
            device->Post([&](Program& p) {
                chosen = p.screen.ChooseFile("SaveDialog1", FileDialogMode::Save, "Text Files|*.xml");
            });
            WhenModal<QFileDialog>([&](QFileDialog* dialog) {
                dialog->setDirectory(dir.path());
                auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
                if (!edit) return dialog->reject();
                edit->setFocus();
                QTest::keyClicks(edit, typed);
                if (before_accept) before_accept();
                QTest::keyClick(edit, Qt::Key_Return);
            });
            if (!device->WaitIdle(10000)) chosen = "(the dialog did not end)";
            return chosen;
        };
        auto chosen = type_and_save("my_car");
        QVERIFY(chosen);
        QCOMPARE(QString::fromStdString(*chosen), dir.filePath("my_car.xml"));

        QFile existing(dir.filePath("old.xml"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        QString question;
        chosen = type_and_save("old", [&] {
            WhenModal<QMessageBox>([&](QMessageBox* box) {
                question = box->text();
                box->button(QMessageBox::Yes)->click();
            });
        });
        QVERIFY2(question.contains("old.xml"), qPrintable(question));
        QVERIFY(chosen);
        QCOMPARE(QString::fromStdString(*chosen), dir.filePath("old.xml"));

        // The open dialog does not make up names.
        device->Post([&](Program& p) {
            chosen = p.screen.ChooseFile("OpenDialog1", FileDialogMode::Open, "Text Files|*.xml");
        });
        WhenModal<QFileDialog>([&](QFileDialog* dialog) {
            dialog->selectFile(dir.filePath("old.xml"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QVERIFY(device->WaitIdle(10000));
        QVERIFY(chosen);
        QCOMPARE(QString::fromStdString(*chosen), dir.filePath("old.xml"));
    }

    // Qt's own buttons and dialogs speak Russian once the program loaded
    // Qt's Russian translation; without the file they stay English.
    void qtTextsAreRussian() {
        auto yes_text = [] {
            QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No);
            return box.button(QDialogButtonBox::Yes)->text();
        };
        QTemporaryDir empty;
        QVERIFY(!UseRussianQtTexts(*qApp, empty.path()));
        QCOMPARE(yes_text(), QString("&Yes"));

        // The Windows build's tests under wine are told where Qt's texts are.
        QTranslator* russian = UseRussianQtTexts(*qApp, qEnvironmentVariable("TOVREL_QT_TRANSLATIONS"));
        QVERIFY(russian);
        QCOMPARE(yes_text(), QString("&Да"));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString("Отмена"));
        QCoreApplication::removeTranslator(russian);
        delete russian;
        QCOMPARE(yes_text(), QString("&Yes"));
    }

    // Hundreds of point changes in a burst cost a few batches on the GUI
    // thread, never more than one per frame, and end in the mirror's values.
    void seriesChangesAreCoalescedPerFrame() {
        QElapsedTimer clock;
        const int batches_before = screen->BatchCount();
        clock.start();
        OnDevice([](Program& p) {
            std::vector<ChartPoint> points;
            for (int i = 0; i < 80; ++i) points.push_back({double(i * 100), 0});
            p.screen.controls().SetSeries("LineSeries1", points);
            for (int round = 0; round < 20; ++round) {
                for (int i = 0; i < 80; ++i) p.screen.controls().SetPointY("LineSeries1", i, round + i / 10.0);
                p.screen.controls().SetPointColour("LineSeries1", round, colours::Red);
                QThread::msleep(2);
            }
            p.screen.controls().SetPointY("LineSeries1", 80, 99);  // outside the series: nothing
        });
        const qint64 elapsed = clock.elapsed();
        const int batches = screen->BatchCount() - batches_before;
        QVERIFY2(batches <= elapsed / QtScreen::kFrameMs + 2,
                 qPrintable(QString("%1 batches in %2 ms").arg(batches).arg(elapsed)));
        QVERIFY(series.point_sets + series.full_sets * 80 < 20 * 80);
        QVERIFY(series.on_gui_thread);
        QCOMPARE(series.points.size(), std::size_t(80));
        for (int i = 0; i < 80; ++i) QCOMPARE(series.points[i].y, 19 + i / 10.0);
        QCOMPARE(series.colours.size(), std::size_t(20));
        QVERIFY(series.colours[7] == colours::Red);
        std::vector<ChartPoint> mirrored;
        OnDevice([&](Program& p) { mirrored = p.screen.controls().Series("LineSeries1"); });
        QVERIFY(mirrored == series.points);
    }

    // Changes made as one update (a map moved by a key press) reach the
    // chart together: frames that pass in the middle of it draw none of it.
    void groupedChangesReachTheWidgetTogether() {
        OnDevice([](Program& p) {
            std::vector<ChartPoint> points;
            for (int i = 0; i < 80; ++i) points.push_back({double(i * 100), 0});
            p.screen.controls().SetSeries("LineSeries1", points);
        });
        std::atomic<bool> half{false}, go_on{false};
        device->Post([&](Program& p) {
            Controls::Update together(p.screen.controls());
            for (int i = 0; i < 40; ++i) p.screen.controls().SetPointY("LineSeries1", i, 1);
            half = true;
            while (!go_on) QThread::msleep(1);
            for (int i = 40; i < 80; ++i) p.screen.controls().SetPointY("LineSeries1", i, 1);
        });
        QTRY_VERIFY_WITH_TIMEOUT(half.load(), 5000);
        QTest::qWait(5 * QtScreen::kFrameMs);
        const int applied_meanwhile = series.point_sets;
        go_on = true;
        QVERIFY(device->WaitIdle(5000));
        QTRY_COMPARE(series.points[79].y, 1.0);
        QCOMPARE(applied_meanwhile, 0);
        for (int i = 0; i < 80; ++i) QCOMPARE(series.points[i].y, 1.0);
    }

    // Stopping serves a dialog the device thread still waits on, and a
    // closed window shows no more dialogs.
    void stopServesAWaitingDialog() {
        device->Post([](Program& p) { p.screen.ShowMessage("one"); });
        WhenModal<QMessageBox>([](QMessageBox* box) { QTimer::singleShot(50, box, &QMessageBox::accept); });
        QVERIFY(device->Stop(5000));
        screen->dialogs_suppressed = true;
        screen->ShowMessage("two");
        QCOMPARE(screen->Messages().size(), std::size_t(2));
    }
};

QTEST_MAIN(ScreenTest)
#include "screen_test.moc"
