// The folder the desktop program works in: its own start folder when the
// user may write there, the user's data folder when not (an installed
// program started from C:\Program Files).
#include <QtTest>
#include <filesystem>

#include "WorkingFolder.h"

namespace fs = std::filesystem;
using tovrel::ui::ChooseWorkingFolder;

namespace {

bool OnlyHomeWritable(const fs::path& p) { return p.string().rfind("/home/", 0) == 0; }

}  // namespace

class WorkingFolderTest : public QObject {
    Q_OBJECT
private slots:
    void choice_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("writable start folder stays") << "/home/fitter/maps" << "/home/fitter/maps";
        QTest::newRow("installed program's folder") << "/opt/Tovrel Terminal" << "/home/fitter/.local/share/tovrel-terminal";
        QTest::newRow("unknown start folder") << "" << "";
    }
    void choice() {
        QFETCH(QString, current);
        QFETCH(QString, chosen);
        QCOMPARE(QString::fromStdString(ChooseWorkingFolder(current.toStdString(), "/home/fitter/.local/share/tovrel-terminal",
                                                            &OnlyHomeWritable)
                                            .string()),
                 chosen);
    }
};

QTEST_GUILESS_MAIN(WorkingFolderTest)
#include "working_folder_test.moc"
