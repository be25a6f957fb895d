// The pattern dialog opened from the main window: what it opens on, its two
// messages, the state each way out leaves behind, the mask, and loads that
// fail or find nothing.
#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "app/main_window.h"
#include "app/main_window_session.h"
#include "app/worked_example.h"
#include "dialogs/pattern_dialog.h"
#include "support/temp_folder.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/gui_test_helpers.h"
#include "ui/held_load.h"
#include "ui/progress_window.h"
#include "ui/text_box.h"

using lomi::MainWindow;
using lomi::PatternDialog;
namespace t = lomi::test;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

struct Session : t::MainWindowSession {
    explicit Session(std::int16_t con1 = 7, std::int16_t con2 = 1, std::int16_t con3 = 3,
                     std::int16_t con4 = 1,
                     lomi::ui::PatternLoader::LoadFunction load = lomi::LoadPattern)
        : MainWindowSession({con1, con2, con3, con4}, {}, std::move(load)) {}
    explicit Session(t::HeldLoad& held) : Session(7, 1, 3, 1, held.Function()) {}

    // Presses OK and returns the message that it showed, if any.
    static t::SeenMessage PressOk(PatternDialog* d) {
        t::SeenMessage seen;
        const QPointer<PatternDialog> dialog = d;
        const auto answer = t::AnswerMessage(&seen, dialog);
        t::Click(Button(dialog, "OkButton"));
        if (!QTest::qWaitFor([&] { return !dialog || !dialog->Opening(); }, 10000))
            QTest::qFail("the load did not end", __FILE__, __LINE__);
        QCoreApplication::processEvents();
        return seen;
    }

    QString Report() const { return window->ReportBox()->Text(); }
};

QStringList Items(const lomi::ui::ComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->ListCount(); ++i) items << combo->List(i);
    return items;
}

}  // namespace

class OpenPatternTest : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheStoredSelectionsWithTheFocusOnCancel() {
        Session s;
        QVERIFY(s.WithDialog([&](const QPointer<PatternDialog>& d) {
            QCOMPARE(d->windowTitle(), U("ﾌｧｲﾙを開く"));
            // The form's 3360 × 2430 twips, grown by the row of 全パターン and 中止.
            QCOMPARE(d->size(), QSize(224, 195));
            QCOMPARE(Items(d->Selector(1)),
                     (QStringList{U("Ｔ値"), U("Ｆ値"), U("Ｒ値"), U("Ｚ値"), U("単勝人気"),
                                  U("複勝人気"), U("仮単人気")}));
            QCOMPARE(Items(d->Selector(2)),
                     (QStringList{U("１位"), U("２位"), U("３位"), U("４位"), U("５位")}));
            QCOMPARE(Items(d->Selector(4)), (QStringList{U("流し"), U("ボックス")}));
            QCOMPARE(d->Selector(3)->ItemData(6), 7);
            QCOMPARE(d->Selector(1)->Text(), U("仮単人気"));
            QCOMPARE(d->Selector(2)->Text(), U("１位"));
            QCOMPARE(d->Selector(3)->Text(), U("Ｒ値"));
            QCOMPARE(d->Selector(4)->Text(), U("流し"));
            QTRY_COMPARE(QApplication::focusWidget(), Session::Button(d, "CancelButton"));
            // The axis selectors sit in the frame 軸馬, the partner selectors in ひも.
            QCOMPARE(d->Selector(2)->parentWidget()->objectName(), QString("AxisFrame"));
            QCOMPARE(d->Selector(4)->parentWidget()->objectName(), QString("PartnerFrame"));
        }));
    }

    void enterRightAfterOpeningPressesCancel() {
        Session s;
        t::WriteWorkedExample(s.data.Path());
        bool closed = false;
        QVERIFY(s.WithDialog([&](const QPointer<PatternDialog>& d) {
            QTRY_COMPARE(QApplication::focusWidget(), Session::Button(d, "CancelButton"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            closed = (!d || !d->isVisible());
        }));
        QVERIFY(closed);
        QCOMPARE(s.Report(), QString());
        QCOMPARE(s.state.PatternFileMask, std::string());
    }

    void aStoredSelectionOfZeroOrOutOfRangeOpensEmptyAndIsRefused() {
        Session s(7, 0, 9, 1);
        QVERIFY(s.WithDialog([&](const QPointer<PatternDialog>& d) {
            QCOMPARE(d->Selector(2)->Text(), QString());
            QCOMPARE(d->Selector(2)->ListIndex(), -1);
            QCOMPARE(d->Selector(3)->ListIndex(), -1);
            const t::SeenMessage seen = Session::PressOk(d);
            QVERIFY(seen.shown);
            QCOMPARE(seen.text, U("選択されていない項目があります。"));
            QCOMPARE(seen.title, U("Lomi"));
            QCOMPARE(seen.buttons, 1);
            QVERIFY(d->isVisible());
        }));
        QCOMPARE(s.state.Pattern.axisRank, 0);
        QCOMPARE(s.state.Pattern.partnerIndex, 9);
        QCOMPARE(s.state.PatternFileMask, std::string());
    }

    void typedTextPicksNoItem() {
        Session s;
        t::WriteWorkedExample(s.data.Path());
        QVERIFY(s.WithDialog([&](const QPointer<PatternDialog>& d) {
            t::PickText(d->Selector(1), "Ｔ値");
            t::TypeInto(d->Selector(3), U("Ｆ値"));  // the exact text of an item, typed
            QCOMPARE(d->Selector(3)->ListIndex(), -1);
            const t::SeenMessage seen = Session::PressOk(d);
            QCOMPARE(seen.text, U("選択されていない項目があります。"));
            QVERIFY(d->isVisible());
            QCOMPARE(d->Selector(3)->Text(), U("Ｆ値"));  // the user's entry stays
        }));
        QCOMPARE(s.state.Pattern.axisIndex, 7);
        QCOMPARE(s.state.Pattern.partnerIndex, 3);
        QCOMPARE(s.Report(), QString());
    }

    void fileNotFoundKeepsTheNewChoiceAndTheOldData() {
        Session s;
        t::WriteWorkedExample(s.data.Path());
        QVERIFY(s.WithDialog(
            [](const QPointer<PatternDialog>& d) { QVERIFY(!Session::PressOk(d).shown); }));
        QCOMPARE(s.Report(), t::WorkedExampleReport());

        QVERIFY(s.WithDialog([&](const QPointer<PatternDialog>& d) {
            t::PickText(d->Selector(4), "ボックス");
            const t::SeenMessage seen = Session::PressOk(d);
            QCOMPARE(seen.text, U("FILE NOT FOUND."));
            QCOMPARE(seen.title, U("Lomi"));
            QVERIFY(d->isVisible());
            QCOMPARE(s.state.Pattern.betStyle, 2);
            QCOMPARE(s.state.PatternFileMask, std::string("P*Q1RB.txt"));
        }));
        // Cancelled after the message: the old data and report stay, the new
        // choice is what the dialog opens on next.
        QCOMPARE(s.Report(), t::WorkedExampleReport());
        QCOMPARE(s.state.RecordCount(), 6);
        QCOMPARE(s.window->PatternDescription()->text(), U("仮単人気の１位からＲ値への流し馬券"));
        QCOMPARE(s.window->ConditionSelector(1)->ListCount(), 3);
        QVERIFY(s.WithDialog(
            [](PatternDialog* d) { QCOMPARE(d->Selector(4)->Text(), U("ボックス")); }));
    }

    void aDataFolderThatCannotBeSearchedIsFileNotFound() {
        Session s;
        s.state.DataFolder = (s.data / "no-such-folder").string();
        QVERIFY(s.WithDialog(
            [](PatternDialog* d) { QCOMPARE(Session::PressOk(d).text, U("FILE NOT FOUND.")); }));
    }

    void escAndTheCloseBoxChangeNothing() {
        Session s(1, 5, 6, 2);
        QVERIFY(s.WithDialog([](const QPointer<PatternDialog>& d) {
            t::PickText(d->Selector(1), "Ｚ値");
            QTest::keyClick(d->Selector(1)->lineEdit(), Qt::Key_Escape);  // Esc inside a selector
            QVERIFY(!d || !d->isVisible());
        }));
        QVERIFY(s.WithDialog([](const QPointer<PatternDialog>& d) {
            QCOMPARE(d->Selector(1)->Text(), U("Ｔ値"));  // a new opening starts afresh
            t::PickText(d->Selector(2), "２位");
            d->close();
            QVERIFY(!d || !d->isVisible());
        }));
        QCOMPARE(s.state.Pattern.axisIndex, 1);
        QCOMPARE(s.state.Pattern.axisRank, 5);
        QCOMPARE(s.state.Pattern.partnerIndex, 6);
        QCOMPARE(s.state.Pattern.betStyle, 2);
        QCOMPARE(s.state.PatternFileMask, std::string());
    }

    void theSameIndexForAxisAndPartnersIsAccepted() {
        Session s;
        t::WriteTicketFile(s.data.Path(), "p20010415t1tn.TXT",
                           {t::HeaderLine(2001, 4, 15),
                            t::Race(1, 12, 18, 5, 6, 1, 18, "0032", "0014", "00158", "00052", 2)});
        auto* tally = s.window->findChild<QPushButton*>("TallyButton");
        tally->setFocus();
        QVERIFY(s.WithDialog([](const QPointer<PatternDialog>& d) {
            t::PickText(d->Selector(1), "Ｔ値");
            t::PickText(d->Selector(3), "Ｔ値");
            QVERIFY(!Session::PressOk(d).shown);
            QVERIFY(!d || !d->isVisible());
        }));
        QCOMPARE(s.state.PatternFileMask, std::string("P*T1TN.txt"));
        QCOMPARE(s.window->PatternDescription()->text(), U("Ｔ値の１位からＴ値への流し馬券"));
        QCOMPARE(Items(s.window->ConditionSelector(2)),
                 (QStringList{U("全抽出"), U("１２レース")}));
        QCOMPARE(Items(s.window->ConditionSelector(4)), (QStringList{U("全抽出"), U("４歳上")}));
        QVERIFY(s.Report().startsWith(U("総ﾚｰｽ：1  抽出ﾚｰｽ：1\n")));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        // The tally button, disabled during the load, has its focus back.
        QCOMPARE(s.window->focusWidget(), tally);
    }

    void filesWithoutDataLinesLeaveOnlyAllRacesAndFileNotOpen() {
        Session s;
        t::WriteTicketFile(s.data.Path(), "P010415Q1RN.txt", {t::HeaderLine(2001, 4, 15)});
        QVERIFY(s.WithDialog(
            [](const QPointer<PatternDialog>& d) { QVERIFY(!Session::PressOk(d).shown); }));
        for (int n = 1; n <= 8; ++n) {
            QCOMPARE(Items(s.window->ConditionSelector(n)), QStringList{U("全抽出")});
            QCOMPARE(s.window->ConditionSelector(n)->ListIndex(), 0);
        }
        QCOMPARE(s.window->PatternDescription()->text(), U("FILE NOT OPEN."));
        QCOMPARE(s.Report(), QString());
    }

    void theOrMoreBoxKeepsItsStateAcrossALoad() {
        Session s;
        t::WriteWorkedExample(s.data.Path());
        s.window->OrMoreBox()->setChecked(true);
        QVERIFY(s.WithDialog(
            [](const QPointer<PatternDialog>& d) { QVERIFY(!Session::PressOk(d).shown); }));
        QCOMPARE(s.window->OrMoreBox()->isChecked(), true);
        // Every selector on 全抽出: 以上 with no runner count restricts nothing.
        QCOMPARE(s.Report(), t::WorkedExampleReport());
    }

    void aLoadThatFailsKeepsThePreviousPatternAndNamesTheFile() {
        Session s;
        t::WriteWorkedExample(s.data.Path());
        QVERIFY(s.WithDialog(
            [](const QPointer<PatternDialog>& d) { QVERIFY(!Session::PressOk(d).shown); }));
        s.window->OrMoreBox()->setChecked(true);
        t::PickText(s.window->ConditionSelector(3), "１６頭");
        t::Click(s.window->findChild<QPushButton*>("TallyButton"));
        const QString report = s.Report();

        // More distinct race dates than a condition list can count.
        std::vector<std::string> lines;
        for (int i = 0; i < 32768; ++i) {
            lines.push_back(t::HeaderLine(1000 + i / 372, 1 + (i / 31) % 12, 1 + i % 31));
            lines.push_back(t::Race(5, 1, 8, 1, 1, 1, 12, "0100", "0100", "00000", "00000", 1));
        }
        t::WriteTicketFile(s.data.Path(), "P_many_days_T1RN.txt", lines);
        QVERIFY(s.WithDialog([&](const QPointer<PatternDialog>& d) {
            t::PickText(d->Selector(1), "Ｔ値");
            const t::SeenMessage seen = Session::PressOk(d);
            QVERIFY(seen.shown);
            QVERIFY2(seen.text.contains(U("P_many_days_T1RN.txt")), qPrintable(seen.text));
            QCOMPARE(seen.title, U("Lomi"));
            QVERIFY(d->isVisible());
        }));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(s.state.Pattern.axisIndex, 1);  // the choice was taken, as with FILE NOT FOUND
        QCOMPARE(s.state.RecordCount(), 6);
        QCOMPARE(s.Report(), report);
        QCOMPARE(s.window->PatternDescription()->text(), U("仮単人気の１位からＲ値への流し馬券"));
        QCOMPARE(s.window->ConditionSelector(3)->Text(), U("１６頭"));
        QCOMPARE(s.window->ConditionSelector(1)->ListCount(), 3);
    }

    void whileALoadRunsNoOtherLoadOrTallyIsAccepted() {
        t::HeldLoad held;
        held.holding = false;
        Session s(held);
        t::WriteWorkedExample(s.data.Path());
        QVERIFY(s.WithDialog(
            [](const QPointer<PatternDialog>& d) { QVERIFY(!Session::PressOk(d).shown); }));
        t::PickText(s.window->ConditionSelector(1), "東京");
        held.holding = true;
        s.window->OpenMenuChosen();
        PatternDialog* d = s.window->OpenPatternDialog();
        t::Click(Session::Button(d, "OkButton"));
        // OK returned at once; the load runs and the window waits for nothing.
        QVERIFY(s.window->LoadRunning());
        QTRY_COMPARE(held.entered.load(), 1);
        QVERIFY(!s.window->StartPatternLoad(s.window.get()));
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QVERIFY(!s.window->findChild<QPushButton*>("OpenButton")->isEnabled());
        QVERIFY(!s.window->findChild<QPushButton*>("TallyButton")->isEnabled());
        QVERIFY(!s.window->findChild<QAction*>("OpenAction")->isEnabled());
        QVERIFY(!s.window->findChild<QMenu*>("AnalysisMenu")->menuAction()->isEnabled());
        s.window->RunTally();  // refused: the venue selector on 東京 would change the report
        QCOMPARE(s.Report(), t::WorkedExampleReport());
        QTRY_VERIFY(s.window->LoadProgressWindow() && s.window->LoadProgressWindow()->isVisible());
        QCOMPARE(s.window->LoadProgressWindow()->parentWidget(), d);
        held.Release();
        QVERIFY(s.WaitForLoad());
        QVERIFY(!s.window->OpenPatternDialog());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(s.window->findChild<QPushButton*>("TallyButton")->isEnabled());
        QVERIFY(s.window->findChild<QMenu*>("AnalysisMenu")->menuAction()->isEnabled());
        // The load completed: selectors refilled, first report over all races.
        QCOMPARE(s.window->ConditionSelector(1)->Text(), U("全抽出"));
        QCOMPARE(s.Report(), t::WorkedExampleReport());
        t::PickText(s.window->ConditionSelector(1), "東京");
        t::Click(s.window->findChild<QPushButton*>("TallyButton"));
        QVERIFY(s.Report() != t::WorkedExampleReport());
    }

    void cancelInTheProgressWindowKeepsTheOldDataWithoutAMessage() {
        t::HeldLoad held;
        held.holding = false;
        Session s(held);
        t::WriteWorkedExample(s.data.Path());
        QVERIFY(s.WithDialog(
            [](const QPointer<PatternDialog>& d) { QVERIFY(!Session::PressOk(d).shown); }));
        t::WriteTicketFile(s.data.Path(), "P010506T2FB.txt",
                           {t::HeaderLine(2001, 5, 6),
                            t::Race(9, 1, 8, 1, 1, 2, 8, "0150", "0110", "00000", "00320", 1)});
        held.holding = true;
        bool stayedOpen = false;
        QVERIFY(s.WithDialog([&](const QPointer<PatternDialog>& d) {
            t::PickText(d->Selector(1), "Ｔ値");
            t::PickText(d->Selector(2), "２位");
            t::PickText(d->Selector(3), "Ｆ値");
            t::PickText(d->Selector(4), "ボックス");
            t::Click(Session::Button(d, "OkButton"));
            QTRY_VERIFY(s.window->LoadProgressWindow());
            t::Click(s.window->LoadProgressWindow()->CancelButton());
            QVERIFY(!s.window->LoadRunning());
            stayedOpen = d->isVisible();
        }));
        QVERIFY(stayedOpen);
        QCOMPARE(s.state.PatternFileMask, std::string("P*T2FB.txt"));
        QCOMPARE(s.state.RecordCount(), 6);
        QCOMPARE(s.Report(), t::WorkedExampleReport());
        QCOMPARE(s.window->PatternDescription()->text(), U("仮単人気の１位からＲ値への流し馬券"));
        QCOMPARE(s.window->ConditionSelector(1)->ListCount(), 3);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

#ifndef _WIN32
    // POSIX by nature: permission bits that make a file unreadable.
    void anUnreadableFileIsNamedInTheMessage() {
        if (geteuid() == 0) QSKIP("the superuser reads every file");
        Session s;
        const auto file =
            t::WriteTicketFile(s.data.Path(), "P010415Q1RN.txt", {t::HeaderLine(2001, 4, 15)});
        std::filesystem::permissions(file, std::filesystem::perms::none);
        QVERIFY(s.WithDialog([&](const QPointer<PatternDialog>& d) {
            const t::SeenMessage seen = Session::PressOk(d);
            QVERIFY2(seen.text.contains(U("P010415Q1RN.txt")), qPrintable(seen.text));
            QVERIFY(d->isVisible());
        }));
        QCOMPARE(s.window->ConditionSelector(1)->ListCount(), 0);
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    }
#endif
};

QTEST_MAIN(OpenPatternTest)
#include "open_pattern_test.moc"
