// 設定 → キャッシュを削除: the question names the cache's size, No keeps
// it, Yes removes the records folder and nothing beside it, and an absent
// cache is said to be absent. The window stays free while the files are
// counted and removed.
#include <QAction>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/main_window_session.h"
#include "ui/gui_test_helpers.h"

using namespace lomi;
namespace t = lomi::test;
namespace fs = std::filesystem;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Answers the next message box with the button of the given role, or its
// default when there is none, and records what it showed.
t::ModalWatch Answer(t::SeenMessage* seen, QMessageBox::StandardButton button) {
    return t::WhenModal<QMessageBox>([seen, button](QMessageBox* box) {
        seen->shown = true;
        seen->text = box->text();
        QAbstractButton* chosen = box->button(button);
        if (chosen == nullptr) chosen = box->defaultButton();
        chosen->click();
    });
}

}  // namespace

class RecordCacheMenuTest : public QObject {
    Q_OBJECT

private slots:
    void theQuestionNamesTheSizeAndOnlyYesRemoves() {
        struct Case {
            const char* name;
            int bytes;  // of the one cache file; -1: no records folder
            QMessageBox::StandardButton answer;
            const char* told;
            bool removed;
        };
        const Case cases[] = {
            {"no cache", -1, QMessageBox::Ok, "キャッシュはありません。", false},
            {"answered No", 2'600, QMessageBox::No,
             "キャッシュ（3 KB）を削除しますか？\n次の読み込みと集計では、ファイルをすべて読み直"
             "します。",
             false},
            {"answered Yes", 2'500'000, QMessageBox::Yes,
             "キャッシュ（2.5 MB）を削除しますか？\n次の読み込みと集計では、ファイルをすべて読み"
             "直します。",
             true},
        };
        for (const Case& c : cases) {
            t::MainWindowSession s;
            const fs::path cache = s.home / "cache";
            const fs::path records = cache / "records";
            const fs::path beside = cache / "qt" / "keep.txt";
            fs::create_directories(beside.parent_path());
            std::ofstream(beside) << "kept";
            if (c.bytes >= 0) {
                fs::create_directories(records / "0123456789abcdef");
                std::ofstream(records / "0123456789abcdef" / "x.records")
                    << std::string(static_cast<std::size_t>(c.bytes), 'r');
            }
            s.state.RecordCache.folder = records.string();

            t::SeenMessage seen;
            const auto answer = Answer(&seen, c.answer);
            s.window->findChild<QAction*>("MenuClearCache")->trigger();
            QVERIFY2(QTest::qWaitFor([&] { return seen.shown; }, 10000), c.name);
            QCOMPARE(seen.text, U(c.told));
            const bool kept = c.bytes >= 0 && !c.removed;
            QVERIFY2(QTest::qWaitFor([&] { return fs::exists(records) == kept; }, 10000), c.name);
            QVERIFY2(fs::exists(beside), c.name);
        }
    }
};

QTEST_MAIN(RecordCacheMenuTest)
#include "record_cache_menu_test.moc"
