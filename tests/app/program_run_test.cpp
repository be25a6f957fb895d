// The program's loop ends once the main window has gone, however its
// windows were closed.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "app/program_run.h"

namespace {

// Ends a loop that would otherwise never end, with a code of its own.
constexpr int kStillRunning = 7;

}  // namespace

class ProgramRunTest : public QObject {
    Q_OBJECT

private slots:
    void endsWithTheMainWindow_data() {
        QTest::addColumn<bool>("windowShownAfterClose");
        QTest::newRow("closed alone") << false;
        // As when Windows closes every window of the program in one turn
        // and a window moved over from a closing dialog is shown again.
        QTest::newRow("window shown again in the same turn") << true;
    }

    void endsWithTheMainWindow() {
        QFETCH(bool, windowShownAfterClose);
        auto* main = new QWidget;
        main->setAttribute(Qt::WA_DeleteOnClose);
        auto* other = new QWidget(main, Qt::Window);
        main->show();
        QTimer::singleShot(0, main, [main, other, windowShownAfterClose] {
            main->close();
            if (windowShownAfterClose) other->show();
        });
        QTimer fuse;
        fuse.setSingleShot(true);
        connect(&fuse, &QTimer::timeout, [] { QCoreApplication::exit(kStillRunning); });
        fuse.start(10000);
        QCOMPARE(lomi::RunUntilMainWindowGone(main), 0);
    }
};

QTEST_MAIN(ProgramRunTest)
#include "program_run_test.moc"
