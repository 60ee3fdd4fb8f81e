// The decimal separator of the numbers shown follows the window's language;
// files keep '.'; a switch of language writes the shown numbers anew.
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <string_view>

#include "Desktop.h"
#include "Language.h"
#include "MainWindow.h"
#include "MapChart.h"
#include "MapGrid.h"
#include "NumberText.h"
#include "Program.h"
#include "Variator.h"

using namespace tovrel;
using namespace tovrel::ui;

namespace {

class DecimalSeparatorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<sim::Variator> sim_;
    std::unique_ptr<Desktop> desk_;

    void Start() {
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
        desk_->ShowMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(desk_->window()));
        QVERIFY(desk_->device.WaitIdle(20000));
    }
    template <class T>
    T* Find(std::string_view name) const {
        return desk_->window()->findChild<T*>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
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
        SetDecimalSeparator('.');
        ::unsetenv("TOVREL_PORT_DIR");
    }

    // Russian shows what the user's locale shows, English always '.'; the
    // shown text reads back to itself, and a file's text never changes.
    void shownFormByLanguageAndLocale() {
        struct Case {
            Language language;
            char locale;
            double value;
            const char* shown;
            const char* file;
        };
        const Case cases[] = {
            {Language::Russian, ',', 9.5, "9,5", "9.5"},
            {Language::Russian, ',', -2.5, "-2,5", "-2.5"},
            {Language::Russian, ',', 9000.4, "9000,4", "9000.4"},
            {Language::Russian, ',', 36, "36", "36"},
            {Language::Russian, '.', 9.5, "9.5", "9.5"},
            {Language::English, ',', 9.5, "9.5", "9.5"},
            {Language::English, ',', 0.1 + 0.2, "0.3", "0.3"},
            {Language::English, '.', -0.25, "-0.25", "-0.25"},
        };
        for (const auto& c : cases) {
            const QByteArray what = QByteArray(c.shown) + (c.language == Language::Russian ? " ru" : " en");
            SetDecimalSeparator(DecimalSeparatorFor(c.language, c.locale));
            QVERIFY2(FormatGeneral(c.value) == c.shown, what.constData());
            QVERIFY2(FormatFileNumber(c.value) == c.file, what.constData());
            const auto back = ParseGeneral(c.shown);
            QVERIFY2(back && FormatGeneral(*back) == c.shown, what.constData());
        }
    }

    // A Russian window in a decimal-comma locale shows "9,5" in its grid and
    // on its chart's ticks; the switch to English writes both with '.'.
    void switchWritesTheShownNumbersAnew() {
        Start();
        if (QTest::currentTestFailed()) return;
        SetDecimalSeparator(',');
        desk_->device.Post([](Program& p) {
            p.maps.document.SetPoint(MapKind::Petrol, 13, 9.5, MapEditCause::Replace);  // column 2, row 4
            RefreshAllMapViews(p.screen, p.maps.document.Maps());
        });
        QVERIFY(desk_->device.WaitIdle(20000));
        auto* grid = Find<MapGrid>(FindMapControls(MapKind::Petrol)->grid);
        auto* chart = Find<MapChart>(FindMapControls(MapKind::Petrol)->chart);
        QVERIFY(grid && chart);
        QTRY_COMPARE(grid->CellText(2, 4), QString("9,5"));
        chart->replot();
        QCOMPARE(chart->locale().decimalPoint(), QString(","));

        QVERIFY(desk_->SetLanguage(Language::English));
        QCOMPARE(DecimalSeparator(), '.');
        QVERIFY(desk_->device.WaitIdle(20000));
        QTRY_COMPARE(grid->CellText(2, 4), QString("9.5"));
        chart->replot();
        QCOMPARE(chart->locale().decimalPoint(), QString("."));
        // The document itself is untouched by the new form.
        double y = 0;
        desk_->device.Post([&y](Program& p) { y = p.maps.document.Y(MapKind::Petrol, 13); });
        QVERIFY(desk_->device.WaitIdle(20000));
        QCOMPARE(y, 9.5);
    }
};

}  // namespace

QTEST_MAIN(DecimalSeparatorTest)
#include "decimal_separator_test.moc"
