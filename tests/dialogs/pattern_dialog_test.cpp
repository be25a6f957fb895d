// The pattern dialog on its own: what OK does before and after it hands the
// choice to the opener, and how the opener's answer decides whether the
// dialog closes.
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

// A dialog whose opener records what it was given and answers result.
struct Case {
    lomi::ProgramState state;
    Opened opened;
    bool result = true;
    PatternDialog dialog;

    explicit Case(std::int16_t con2 = 1)
        : state(Initial(con2)),
          dialog(state, [this](const lomi::PatternSelections& chosen, QWidget* over) {
              ++opened.calls;
              opened.maskWhenCalled = state.PatternFileMask;
              opened.con4WhenCalled = state.Con4;
              opened.chosen = chosen;
              opened.over = over;
              opened.openingFlag = dialog.Opening();
              // While the opener runs the dialog refuses OK and ｷｬﾝｾﾙ.
              dialog.Command1_Click();
              dialog.Command2_Click();
              opened.refusedMeanwhile = dialog.isVisible() && opened.calls == 1;
              return result;
          }) {
        dialog.show();
    }

    static lomi::ProgramState Initial(std::int16_t con2) {
        lomi::ProgramState state;
        state.Con1 = 7;
        state.Con2 = con2;
        state.Con3 = 3;
        state.Con4 = 1;
        return state;
    }
};

}  // namespace

class PatternDialogTest : public QObject {
    Q_OBJECT

private slots:
    void okStoresTheChoiceThenOpensAndCloses() {
        Case c;
        t::PickText(c.dialog.Combo(4), "ボックス");
        c.dialog.Command1_Click();
        QCOMPARE(c.opened.calls, 1);
        QCOMPARE(c.opened.maskWhenCalled, std::string("P*Q1RB.txt"));
        QCOMPARE(c.opened.con4WhenCalled, 2);
        QCOMPARE(c.opened.chosen.con1, 7);
        QCOMPARE(c.opened.chosen.con4, 2);
        QCOMPARE(c.opened.over, &c.dialog);
        QVERIFY(c.opened.openingFlag);
        QVERIFY(c.opened.refusedMeanwhile);
        QVERIFY(!c.dialog.isVisible());
        QCOMPARE(c.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(c.dialog.Chosen().con4, 2);
        QVERIFY(!c.dialog.Opening());
    }

    void aFailedOpenKeepsTheDialogOpenWithTheNewChoiceStored() {
        Case c;
        c.result = false;
        t::PickText(c.dialog.Combo(2), "３位");
        c.dialog.Command1_Click();
        QCOMPARE(c.opened.calls, 1);
        QVERIFY(c.dialog.isVisible());
        QCOMPARE(c.state.Con2, 3);
        QCOMPARE(c.state.PatternFileMask, std::string("P*Q3RN.txt"));
        // ｷｬﾝｾﾙ works again once the opener has returned.
        t::Click(c.dialog.findChild<QPushButton*>("Command2"));
        QVERIFY(!c.dialog.isVisible());
        QCOMPARE(c.dialog.result(), int(QDialog::Rejected));
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
            QCOMPARE(t::AccessibleLabel(c.dialog.Combo(s.number)), U(s.frame));
            QCOMPARE(t::AccessibleDescription(c.dialog.Combo(s.number)), U(s.purpose));
        }
        QCOMPARE(t::AccessibleName(c.dialog.findChild<QPushButton*>("Command2")), U("ｷｬﾝｾﾙ"));
    }

    void aSelectorWithoutChoiceStopsBeforeAnythingIsStored() {
        Case c(0);
        t::SeenMessage seen;
        const auto answer = t::AnswerMessage(&seen, &c.dialog);
        c.dialog.Command1_Click();
        QTRY_VERIFY(seen.shown);
        QCOMPARE(seen.text, U("選択されていない項目があります。"));
        QCOMPARE(c.opened.calls, 0);
        QCOMPARE(c.state.PatternFileMask, std::string());
        QVERIFY(c.dialog.isVisible());
    }
};

QTEST_MAIN(PatternDialogTest)
#include "pattern_dialog_test.moc"
