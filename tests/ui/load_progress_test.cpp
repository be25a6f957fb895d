// A load of many files shows a wait cursor at once and a progress dialog
// counting the files read; the data arrives whole or not at all.
#include <string>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QTest>

#include "analysis/pattern_analysis.h"
#include "app/worked_example.h"
#include "data/ticket_reader.h"
#include "support/temp_folder.h"
#include "ui/load_progress.h"

namespace t = lomi::test;

namespace {

void WriteDays(const std::filesystem::path& folder, int days) {
    for (int day = 1; day <= days; ++day) {
        t::WriteTicketFile(folder, "P" + std::to_string(100 + day) + "Q1RN.txt",
                           {t::HeaderLine(2001, 4, day),
                            t::Race(5, 11, 16, 4, 6, 1, 16, "0023", "0012", "00000", "00000", 3)});
    }
}

lomi::ProgramState StateFor(const t::TempFolder& folder) {
    lomi::ProgramState state;
    state.DataFolder = folder.PathText();
    state.PatternFileMask = "P*Q1RN.txt";
    return state;
}

// Records what the progress dialog showed when it appeared and at its last
// repaint.
class ProgressWatcher : public QObject {
public:
    bool shown = false;
    bool waitCursorWhenShown = false;
    QString firstLabel;
    int maximum = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QProgressDialog*>(watched);
        if (dialog && event->type() == QEvent::Show) {
            shown = true;
            const QCursor* cursor = QApplication::overrideCursor();
            waitCursorWhenShown = cursor && cursor->shape() == Qt::WaitCursor;
            firstLabel = dialog->labelText();
            maximum = dialog->maximum();
        }
        return false;
    }
};

}  // namespace

class LoadProgressTest : public QObject {
    Q_OBJECT

private slots:
    void theCoreReportsEveryFileRead() {
        t::TempFolder folder;
        WriteDays(folder.Path(), 3);
        lomi::ProgramState state = StateFor(folder);
        std::vector<std::pair<std::size_t, std::size_t>> calls;
        const lomi::LoadResult result = lomi::LoadPatternFiles(
            state, [&](std::size_t done, std::size_t total) { calls.emplace_back(done, total); });
        QVERIFY(result.ok);
        const std::vector<std::pair<std::size_t, std::size_t>> expected = {
            {0, 3}, {1, 3}, {2, 3}, {3, 3}};
        QVERIFY(calls == expected);
        QCOMPARE(state.RecordCount(), 3);
    }

    void aSlowLoadShowsTheNumberOfFilesReadUnderAWaitCursor() {
        t::TempFolder folder;
        WriteDays(folder.Path(), 12);
        lomi::ProgramState state = StateFor(folder);
        QWidget parent;
        parent.show();
        ProgressWatcher watcher;
        qApp->installEventFilter(&watcher);
        // No delay before the dialog, so that a quick load shows it too.
        const lomi::PatternLoad load =
            lomi::ui::LoadPatternWithProgress(state.DataFolder, state.PatternFileMask, &parent, 0);
        qApp->removeEventFilter(&watcher);
        QVERIFY(load.status == lomi::LoadStatus::Loaded);
        QCOMPARE(load.data.Records.Size(), 12u);
        QVERIFY(watcher.shown);
        QVERIFY(watcher.waitCursorWhenShown);
        QCOMPARE(watcher.maximum, 12);
        QVERIFY2(watcher.firstLabel.contains(QStringLiteral(" / 12")),
                 qPrintable(watcher.firstLabel));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(!parent.findChild<QProgressDialog*>());
    }

    void aQuickLoadShowsNoDialog() {
        t::TempFolder folder;
        WriteDays(folder.Path(), 2);
        lomi::ProgramState state = StateFor(folder);
        QWidget parent;
        parent.show();
        ProgressWatcher watcher;
        qApp->installEventFilter(&watcher);
        QVERIFY(lomi::ui::LoadPatternWithProgress(state.DataFolder, state.PatternFileMask, &parent)
                    .status == lomi::LoadStatus::Loaded);
        qApp->removeEventFilter(&watcher);
        QVERIFY(!watcher.shown);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }
};

QTEST_MAIN(LoadProgressTest)
#include "load_progress_test.moc"
