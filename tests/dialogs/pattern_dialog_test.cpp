// The pattern dialog on its own: what OK does before and after it hands the
// choice to the opener, how the load's end decides whether the dialog
// closes, and ｷｬﾝｾﾙ during the load.
#include <string>
#include <vector>

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "dialogs/pattern_dialog.h"
#include "ui/combo_box.h"
#include "ui/gui_test_helpers.h"

using lomi::PatternDialog;
namespace t = lomi::test;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

struct Opened {
    int calls = 0;
    std::string maskWhenCalled;
    std::int16_t con4WhenCalled = 0;
    lomi::PatternSelections chosen{};
    QWidget* over = nullptr;
    bool openingFlag = false;
    bool refusedMeanwhile = false;
};

// A dialog whose opener records what it was given and answers started.
struct Case {
    lomi::ProgramState state;
    Opened opened;
    bool started = true;
    PatternDialog dialog;

    explicit Case(std::int16_t con2 = 1)
        : state(Initial(con2)),
          dialog(state, [this](const lomi::PatternSelections& chosen, QWidget* over) {
              ++opened.calls;
              opened.maskWhenCalled = state.PatternFileMask;
              opened.con4WhenCalled = state.Pattern.betStyle;
              opened.chosen = chosen;
              opened.over = over;
              opened.openingFlag = dialog.Opening();
              // While the load runs the dialog refuses OK.
              dialog.OkClicked();
              opened.refusedMeanwhile = dialog.isVisible() && opened.calls == 1;
              return started;
          }) {
        dialog.show();
    }

    static lomi::ProgramState Initial(std::int16_t con2) {
        lomi::ProgramState state;
        state.Pattern.axisIndex = 7;
        state.Pattern.axisRank = con2;
        state.Pattern.partnerIndex = 3;
        state.Pattern.betStyle = 1;
        return state;
    }
};

}  // namespace

class PatternDialogTest : public QObject {
    Q_OBJECT

private slots:
    void okStoresTheChoiceThenOpensAndCloses() {
        Case c;
        t::PickText(c.dialog.Selector(4), "ボックス");
        c.dialog.OkClicked();
        QCOMPARE(c.opened.calls, 1);
        QCOMPARE(c.opened.maskWhenCalled, std::string("P*Q1RB.txt"));
        QCOMPARE(c.opened.con4WhenCalled, 2);
        QCOMPARE(c.opened.chosen.axisIndex, 7);
        QCOMPARE(c.opened.chosen.betStyle, 2);
        QCOMPARE(c.opened.over, &c.dialog);
        QVERIFY(c.opened.openingFlag);
        QVERIFY(c.opened.refusedMeanwhile);
        // OK returned with the load started; the dialog waits for its end.
        QVERIFY(c.dialog.isVisible());
        QVERIFY(c.dialog.Opening());
        c.dialog.OpenEnded(true);
        QVERIFY(!c.dialog.isVisible());
        QCOMPARE(c.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(c.dialog.Chosen().betStyle, 2);
        QVERIFY(!c.dialog.Opening());
    }

    void aFailedOrRefusedOpenKeepsTheDialogOpenWithTheNewChoiceStored() {
        for (const bool started : {true, false}) {
            Case c;
            c.started = started;
            t::PickText(c.dialog.Selector(2), "３位");
            c.dialog.OkClicked();
            if (started) c.dialog.OpenEnded(false);
            QCOMPARE(c.opened.calls, 1);
            QVERIFY(c.dialog.isVisible());
            QVERIFY(!c.dialog.Opening());
            QCOMPARE(c.state.Pattern.axisRank, 3);
            QCOMPARE(c.state.PatternFileMask, std::string("P*Q3RN.txt"));
            t::Click(c.dialog.findChild<QPushButton*>("CancelButton"));
            QVERIFY(!c.dialog.isVisible());
            QCOMPARE(c.dialog.result(), int(QDialog::Rejected));
        }
    }

    void cancelAndEscDuringTheLoadAbandonItAndKeepTheDialog() {
        for (const bool esc : {false, true}) {
            Case c;
            int abandoned = 0;
            QObject::connect(&c.dialog, &PatternDialog::openAbandoned, [&] { ++abandoned; });
            c.dialog.OkClicked();
            if (esc) {
                QTest::keyClick(&c.dialog, Qt::Key_Escape);
            } else {
                t::Click(c.dialog.findChild<QPushButton*>("CancelButton"));
            }
            QCOMPARE(abandoned, 1);
            QVERIFY(c.dialog.isVisible());
            QVERIFY(!c.dialog.Opening());
            // The abandoned load's end, should it come, changes nothing.
            c.dialog.OpenEnded(true);
            QVERIFY(c.dialog.isVisible());
        }
    }

    void screenReadersHearTheFrameAndPurposeOfEachSelector() {
        Case c;
        struct Selector {
            int number;
            const char* frame;
            const char* purpose;
        };
        for (const Selector s :
             {Selector{1, "軸馬", "軸馬の指数"}, Selector{2, "軸馬", "軸馬の順位"},
              Selector{3, "ひも", "ひもの指数"}, Selector{4, "ひも", "買い方"}}) {
            QCOMPARE(t::AccessibleLabel(c.dialog.Selector(s.number)), U(s.frame));
            QCOMPARE(t::AccessibleDescription(c.dialog.Selector(s.number)), U(s.purpose));
        }
        QCOMPARE(t::AccessibleName(c.dialog.findChild<QPushButton*>("CancelButton")), U("ｷｬﾝｾﾙ"));
    }

    void aSelectorWithoutChoiceStopsBeforeAnythingIsStored() {
        Case c(0);
        t::SeenMessage seen;
        const auto answer = t::AnswerMessage(&seen, &c.dialog);
        c.dialog.OkClicked();
        QTRY_VERIFY(seen.shown);
        QCOMPARE(seen.text, U("選択されていない項目があります。"));
        QCOMPARE(c.opened.calls, 0);
        QCOMPARE(c.state.PatternFileMask, std::string());
        QVERIFY(c.dialog.isVisible());
    }
};

QTEST_MAIN(PatternDialogTest)
#include "pattern_dialog_test.moc"
