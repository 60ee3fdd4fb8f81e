// The window's text catalogue: every id has its own text, and the texts are
// the Russian ones the window has always shown (a slip in an entry changes
// a caption without any other test noticing).
#include <QtTest>

#include "CatalogueCheck.h"
#include "DashTexts.h"
#include "EditTexts.h"
#include "ViewerTexts.h"
#include "LiveTexts.h"
#include "QtTexts.h"

using namespace tovrel;
using tovrel::ui::QTr;

class TextsTest : public QObject {
    Q_OBJECT

private slots:
    void everyIdHasItsOwnText() {
        const auto faults = CatalogueFaults<UiText>();
        QVERIFY2(faults.empty(), faults.empty() ? "" : faults.front().c_str());
        const auto edit_faults = CatalogueFaults<EditText>();
        QVERIFY2(edit_faults.empty(), edit_faults.empty() ? "" : edit_faults.front().c_str());
        const auto dash_faults = CatalogueFaults<DashText>();
        QVERIFY2(dash_faults.empty(), dash_faults.empty() ? "" : dash_faults.front().c_str());
        const auto viewer_faults = CatalogueFaults<ViewerText>();
        QVERIFY2(viewer_faults.empty(), viewer_faults.empty() ? "" : viewer_faults.front().c_str());
        const auto live_faults = CatalogueFaults<LiveText>();
        QVERIFY2(live_faults.empty(), live_faults.empty() ? "" : live_faults.front().c_str());
    }

    void captionsAreTheRussianOnes() {
        QCOMPARE(QTr(UiText::PageSettings), QString::fromUtf8("Настройки вариатора"));
        QCOMPARE(QTr(UiText::PageLPGLoadChart), QString::fromUtf8("Карта TPS для газа "));  // the blank is the caption's
        QCOMPARE(QTr(UiText::ConnectionMenu), QString::fromUtf8("Подключение"));
        QCOMPARE(QTr(UiText::PortMissing).arg("/dev/ttyS4"), QString::fromUtf8("/dev/ttyS4 — не найден"));
    }

    // The help is one text of 19 lines; its first and last lines as they were.
    void helpTextKeepsItsLines() {
        const QStringList lines = QTr(UiText::HelpText).split('\n');
        QCOMPARE(lines.size(), 19);
        QCOMPARE(lines.front(), QString::fromUtf8("Детальная информация о работе терминальной программы  в техническом "
                                                  "руководстве, а здесь кратко и понятно - для быстрого "));
        QCOMPARE(lines[2], QString());
        QCOMPARE(lines.back(), QString::fromUtf8("сохранены в энергонезависимой памяти вариатора и будут сброшены при "
                                                 "закрытии терминальной программы. "));
    }
};

QTEST_MAIN(TextsTest)
#include "texts_test.moc"
