// The main window's 分析(A) menu: disabled until a pattern is tallied, its
// windows open on the latest tally and follow the next ones, and the report
// is saved as the report box shows it.
#include <memory>
#include <string>

#include <QAction>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTest>

#include "app/main_window.h"
#include "app/main_window_session.h"
#include "app/worked_example.h"
#include "dialogs/breakdown_window.h"
#include "dialogs/pattern_dialog.h"
#include "dialogs/profit_chart_window.h"
#include "dialogs/save_results.h"
#include "support/temp_folder.h"
#include "ui/combo_box.h"
#include "ui/gui_test_helpers.h"
#include "ui/text_box.h"

using namespace lomi;
namespace t = lomi::test;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

struct Session : t::MainWindowSession {
    Session() { t::WriteWorkedExample(data.Path()); }

    void Load() {
        t::Click(window->findChild<QPushButton*>("OpenButton"));
        t::Click(window->OpenPatternDialog()->findChild<QPushButton*>("OkButton"));
        QVERIFY(WaitForLoad());
    }
};

}  // namespace

class AnalysisMenuTest : public QObject {
    Q_OBJECT

private slots:
    void menuIsEnabledOnceAPatternIsTallied() {
        Session s;
        QCOMPARE(s.window->MenuBreakdown()->text(), U("内訳(&U)..."));
        QCOMPARE(s.window->MenuChart()->text(), U("損益グラフ(&G)..."));
        QCOMPARE(s.window->MenuSave()->text(), U("結果を保存(&S)..."));
        for (QAction* action :
             {s.window->MenuBreakdown(), s.window->MenuChart(), s.window->MenuSave()}) {
            QVERIFY(!action->isEnabled());
        }
        s.Load();
        QTRY_COMPARE(s.window->ReportBox()->Text(), t::WorkedExampleReport());
        for (QAction* action :
             {s.window->MenuBreakdown(), s.window->MenuChart(), s.window->MenuSave()}) {
            QVERIFY(action->isEnabled());
        }
    }

    void windowsFollowEveryTally() {
        Session s;
        s.Load();
        QTRY_VERIFY(s.window->MenuBreakdown()->isEnabled());
        s.window->MenuBreakdown()->trigger();
        s.window->MenuChart()->trigger();
        BreakdownWindow* breakdown = s.window->Breakdown();
        ProfitChartWindow* chart = s.window->Chart();
        QVERIFY(breakdown && breakdown->isVisible());
        QVERIFY(chart && chart->isVisible());
        QCOMPARE(breakdown->Current().total, s.state.Tally);
        QCOMPARE(breakdown->Current().groups.size(), std::size_t{2});  // 東京, 中山
        QCOMPARE(chart->Line(0)->points().last().y(), 180.0);          // 単勝 profit

        // 開催 東京 and the tally button: both windows show the new tally.
        t::PickText(s.window->ConditionSelector(1), "東京");
        t::Click(s.window->findChild<QPushButton*>("TallyButton"));
        QCOMPARE(breakdown->Current().total.ExtractedRaces, 3);
        QCOMPARE(breakdown->Current().total, s.state.Tally);
        QCOMPARE(chart->Line(0)->points().last().y(), -70.0);  // 230 back on 300 staked

        // A second open brings the same window forward.
        s.window->MenuBreakdown()->trigger();
        QCOMPARE(s.window->Breakdown(), breakdown);
    }

    void saveWritesTheReportAsShownAfterItsPattern() {
        Session s;
        s.Load();
        QTRY_VERIFY(s.window->MenuSave()->isEnabled());
        const t::TempFolder out;
        const auto path = out / "集計.txt";
        bool saved = false;
        const auto watch = t::WhenModal<SaveResults>([&](SaveResults* dialog) {
            saved = dialog->SaveTo(QString::fromStdString(path.string()));
            dialog->reject();
        });
        s.window->MenuSave()->trigger();
        QVERIFY(saved);
        // The pattern and the conditions first, then the report as shown.
        std::string expected = s.window->PatternDescription()->text().toStdString() +
                               "\n条件: 全抽出\n\n" + t::WorkedExampleReport().toStdString();
        for (std::size_t at = 0; (at = expected.find('\n', at)) != std::string::npos; at += 2) {
            expected.insert(at, "\r");
        }
        QCOMPARE(t::ReadBytes(path), expected);
    }
};

QTEST_MAIN(AnalysisMenuTest)
#include "analysis_menu_test.moc"
