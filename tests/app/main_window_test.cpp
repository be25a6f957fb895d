// The main window driven as a user drives it: start-up state, tally, loads
// through the pattern dialog, conditions, closing.
#include <memory>
#include <string>

#include <QAction>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRawFont>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include "app/main_window.h"
#include "app/main_window_session.h"
#include "app/worked_example.h"
#include "dialogs/pattern_dialog.h"
#include "settings/profile_file.h"
#include "support/temp_folder.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/gui_test_helpers.h"
#include "ui/text_box.h"

using lomi::MainWindow;
using lomi::PatternDialog;
using lomi::ui::ComboBox;
namespace t = lomi::test;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// One run of the program, its main window active.
struct Session : t::MainWindowSession {
    Session() { window->activateWindow(); }

    QPushButton* Button(const char* name) const {
        return MainWindowSession::Button(window.get(), name);
    }
    QAction* Action(const char* name) const { return window->findChild<QAction*>(name); }

    // Opens the pattern dialog with the picture button, lets choose act on
    // it, then presses OK.
    void LoadWith(const std::function<void(PatternDialog*)>& choose = {}) {
        t::Click(Button("OpenButton"));
        PatternDialog* dialog = window->OpenPatternDialog();
        QVERIFY(dialog);
        if (choose) choose(dialog);
        t::Click(dialog->findChild<QPushButton*>("OkButton"));
        QVERIFY(WaitForLoad());
    }

    QString Report() const { return window->ReportBox()->Text(); }
    QString Line(int index) const { return Report().split('\n').value(index); }
};

QStringList Items(const ComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->ListCount(); ++i) items << combo->List(i);
    return items;
}

QList<int> Data(const ComboBox* combo) {
    QList<int> data;
    for (int i = 0; i < combo->ListCount(); ++i) data << combo->ItemData(i);
    return data;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithCaptionEmptyControlsAndFocusOnTheTallyButton() {
        Session s;
        MainWindow& w = *s.window;
        QCOMPARE(w.windowTitle(), U("KestravaのTolvikｺﾝﾃｽﾄ形式買い目集計      Ver 1.02"));
        for (int n = 1; n <= 8; ++n) {
            QCOMPARE(w.ConditionSelector(n)->ListCount(), 0);
            QCOMPARE(w.ConditionSelector(n)->Text(), QString());
            QCOMPARE(w.ConditionSelector(n)->ListIndex(), -1);
            QVERIFY(w.ConditionSelector(n)->isEditable());
        }
        QCOMPARE(w.PatternDescription()->text(), QString());
        QCOMPARE(w.ReportBox()->Text(), QString());
        QCOMPARE(w.OrMoreBox()->Value(), 0);
        QCOMPARE(w.OrMoreBox()->text(), U("以上"));
        QCOMPARE(s.Button("TallyButton")->text(), U("上記の条件で抽出／集計"));
        QVERIFY(s.Button("OpenButton")->text().isEmpty());
        const QPixmap folder = s.Button("OpenButton")->icon().pixmap(QSize(16, 15));
        QVERIFY(!folder.isNull());
        QCOMPARE(folder.size(), QSize(16, 15));
        QVERIFY(!QIcon(":/window_icon.png").pixmap(QSize(16, 16)).isNull());
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_COMPARE(QApplication::focusWidget(), s.Button("TallyButton"));
    }

    void placesControlsAtFixedPositionsThatSurviveResizing() {
        Session s;
        MainWindow& w = *s.window;
        QCOMPARE(w.centralWidget()->size(), QSize(419, 237));
        QCOMPARE(w.ReportBox()->geometry(), QRect(5, 106, 410, 94));
        QCOMPARE(w.ConditionSelector(8)->geometry(), QRect(314, 76, 100, 20));
        QCOMPARE(s.Button("TallyButton")->geometry(), QRect(6, 206, 409, 28));
        QCOMPARE(w.PatternDescription()->geometry(), QRect(6, 2, 379, 18));
        // The check box keeps its place and is never cut below its own height.
        QCOMPARE(w.OrMoreBox()->x(), 38);
        QCOMPARE(w.OrMoreBox()->width(), 55);
        QVERIFY(w.OrMoreBox()->height() >= w.OrMoreBox()->sizeHint().height());
        QVERIFY(qAbs(w.OrMoreBox()->geometry().center().y() - 67) <= 1);
        const QStringList captions = {U("開催"), U("ﾚｰｽ"),  U("頭数"), U("ｸﾗｽ"),
                                      U("距離"), U("馬齢"), U("馬場"), U("日付")};
        const int selectorOf[8] = {1, 2, 3, 5, 7, 4, 6, 8};
        for (int i = 0; i < 8; ++i) {
            auto* label =
                w.findChild<QLabel*>(QStringLiteral("ConditionLabel%1").arg(selectorOf[i]));
            QVERIFY(label);
            QCOMPARE(label->text(), captions[i]);
        }
        w.resize(700, 500);
        QTRY_COMPARE(w.centralWidget()->width(), 700);
        QCOMPARE(w.ReportBox()->geometry(), QRect(5, 106, 410, 94));
        QCOMPARE(s.Button("TallyButton")->geometry(), QRect(6, 206, 409, 28));
    }

    void keyboardOrderFollowsTheTabIndexes() {
        Session s;
        MainWindow& w = *s.window;
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QList<QWidget*> expected = {
            s.Button("TallyButton"), w.ReportBox(),          s.Button("OpenButton"),
            w.ConditionSelector(7),  w.ConditionSelector(6), w.ConditionSelector(4),
            w.ConditionSelector(3),  w.ConditionSelector(1), w.ConditionSelector(2),
            w.ConditionSelector(5),  w.ConditionSelector(8), w.OrMoreBox()};
        s.Button("TallyButton")->setFocus();
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            QWidget* owner = focus;
            while (owner && !expected.contains(owner)) owner = owner->parentWidget();
            QVERIFY2(owner == expected[i], qPrintable(QString::number(i)));
        }
    }

    void menusCarryTheirCaptionsAndShortcut() {
        Session s;
        const QList<QAction*> bar = s.window->menuBar()->actions();
        QCOMPARE(bar.size(), 4);
        QCOMPARE(bar[0]->text(), U("ﾌｧｲﾙ(&F)"));
        QCOMPARE(bar[1]->text(), U("設定(&S)"));
        QCOMPARE(bar[2]->text(), U("分析(&A)"));
        QCOMPARE(bar[3]->text(), U("ﾍﾙﾌﾟ(&H)"));
        const QList<QAction*> file = bar[0]->menu()->actions();
        QCOMPARE(file.size(), 3);
        QCOMPARE(file[0], s.Action("OpenAction"));
        QCOMPARE(file[0]->text(), U("ﾌｧｲﾙを開く(&O)"));
        QCOMPARE(file[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QVERIFY(file[1]->isSeparator());
        QCOMPARE(file[2]->text(), U("終了(&X)"));
        QCOMPARE(bar[1]->menu()->actions().value(0)->text(), U("ﾌｫﾙﾀﾞの設定(&D)"));
    }

    void tallyBeforeAnyLoadSaysFileNotOpen() {
        Session s;
        t::Click(s.Button("TallyButton"));
        QCOMPARE(s.window->PatternDescription()->text(), U("FILE NOT OPEN."));
        QCOMPARE(s.Report(), QString());
    }

    void enterOnTheFocusedTallyButtonPressesIt() {
        Session s;
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        QTRY_COMPARE(QApplication::focusWidget(), s.Button("TallyButton"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(s.window->PatternDescription()->text(), U("FILE NOT OPEN."));
    }

    void loadFillsDescriptionSelectorsAndReport() {
        Session s;
        t::WriteWorkedExample(s.data.Path());
        s.LoadWith();
        MainWindow& w = *s.window;
        QCOMPARE(s.state.PatternFileMask, std::string("P*Q1RN.txt"));
        QCOMPARE(w.PatternDescription()->text(), U("仮単人気の１位からＲ値への流し馬券"));
        QCOMPARE(s.Report(), t::WorkedExampleReport());

        QCOMPARE(Items(w.ConditionSelector(1)), (QStringList{U("全抽出"), U("東京"), U("中山")}));
        QCOMPARE(Data(w.ConditionSelector(1)), (QList<int>{0, 5, 6}));
        QCOMPARE(Items(w.ConditionSelector(2)),
                 (QStringList{U("全抽出"), U("５レース"), U("９レース"), U("１０レース"),
                              U("１１レース")}));
        QCOMPARE(Data(w.ConditionSelector(2)), (QList<int>{0, 5, 9, 10, 11}));
        QCOMPARE(Items(w.ConditionSelector(3)),
                 (QStringList{U("全抽出"), U("１０頭"), U("１２頭"), U("１４頭"), U("１６頭"),
                              U("１８頭")}));
        QCOMPARE(Data(w.ConditionSelector(3)), (QList<int>{0, 10, 12, 14, 16, 18}));
        QCOMPARE(Items(w.ConditionSelector(4)),
                 (QStringList{U("全抽出"), U("３歳"), U("４歳"), U("３歳上")}));
        QCOMPARE(Items(w.ConditionSelector(5)),
                 (QStringList{U("全抽出"), U("未勝利"), U("５００万下"), U("１６００万下"),
                              U("オープン")}));
        QCOMPARE(Data(w.ConditionSelector(5)), (QList<int>{0, 2, 3, 5, 6}));
        QCOMPARE(Items(w.ConditionSelector(6)), (QStringList{U("全抽出"), U("芝"), U("ダート")}));
        QCOMPARE(Items(w.ConditionSelector(7)), (QStringList{U("全抽出"), U("1200m"), U("1400m"),
                                                             U("1600m"), U("2000m"), U("2400m")}));
        QCOMPARE(Data(w.ConditionSelector(7)), (QList<int>{0, 12, 14, 16, 20, 24}));
        QCOMPARE(Items(w.ConditionSelector(8)),
                 (QStringList{U("全抽出"), U("2001-04-22"), U("2001-04-15")}));
        QCOMPARE(Data(w.ConditionSelector(8)), (QList<int>{0, 0, 0}));
        for (int n = 1; n <= 8; ++n) {
            QCOMPARE(w.ConditionSelector(n)->ListIndex(), 0);
            QCOMPARE(w.ConditionSelector(n)->Text(), U("全抽出"));
        }
    }

    void everyReportLineFitsTheBoxUnwrapped() {
        Session s;
        t::WriteWorkedExample(s.data.Path());
        s.LoadWith();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        lomi::ui::TextBox* box = s.window->ReportBox();
        int blocks = 0;
        for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next(), ++blocks) {
            QVERIFY2(b.layout()->lineCount() <= 1, qPrintable(b.text()));
        }
        QCOMPARE(blocks, 8);  // seven lines and the empty one after the last line end
        // The header's captions end where the numbers below them end.
        const QFontMetrics metrics(box->font());
        const QString header = s.Line(2);
        const QString win = s.Line(3);
        QCOMPARE(metrics.horizontalAdvance(header.left(header.indexOf(U("投票")) + 2)),
                 metrics.horizontalAdvance(win.left(win.indexOf(QLatin1String("500")) + 3)));
        QCOMPARE(metrics.horizontalAdvance(header), metrics.horizontalAdvance(win));
    }

    void theWholeReportIsVisibleAtTheDefaultSize() {
        Session s;
        t::WriteWorkedExample(s.data.Path());
        s.LoadWith();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        lomi::ui::TextBox* box = s.window->ReportBox();
        QCOMPARE(box->geometry(), QRect(5, 106, 410, 94));
        QTextBlock last = box->document()->lastBlock();
        while (last.isValid() && last.text().isEmpty()) last = last.previous();
        QVERIFY(last.text().startsWith(QString::fromUtf8("ﾜｲﾄﾞ")));
        QTextCursor lineEnd(last);
        lineEnd.movePosition(QTextCursor::EndOfBlock);
        const int bottom = box->cursorRect(lineEnd).bottom();
        qInfo("report: last line ends at %d px, the box shows %d px", bottom,
              box->viewport()->height());
        QVERIFY(bottom <= box->viewport()->height());
        QCOMPARE(box->verticalScrollBar()->value(), 0);
    }

    void captionsTakeKanaAndKanjiFromOneFont() {
        Session s;
        QList<QWidget*> plain = {s.window->OrMoreBox(), s.window->menuBar()};
        for (int i = 0; i < 8; ++i) {
            plain << s.window->findChild<QLabel*>(QStringLiteral("ConditionLabel%1").arg(i + 1));
        }
        for (QWidget* widget : plain) {
            // The face the caption is set in, with no other face to fall
            // back to: it alone must have the half-width kana and the kanji.
            const QRawFont face = QRawFont::fromFont(widget->font(), QFontDatabase::Latin);
            const QString family = QFontInfo(widget->font()).family();
            QVERIFY2(face.isValid(), qPrintable(family));
            for (const char32_t c : U("ﾚｰｽ開催").toUcs4()) {
                QVERIFY2(face.supportsCharacter(c),
                         qPrintable(widget->objectName() + " " + family));
            }
            QFont alone(family);
            alone.setStyleStrategy(QFont::NoFontMerging);
            QVERIFY(QFontMetrics(alone).inFontUcs4(U("ﾚ").toUcs4().front()));
        }
    }

    void screenReadersHearEveryControlByItsName() {
        Session s;
        MainWindow& w = *s.window;
        struct Labelled {
            int combo;
            const char* label;
        };
        for (const Labelled c :
             {Labelled{1, "開催"}, Labelled{2, "ﾚｰｽ"}, Labelled{3, "頭数"}, Labelled{4, "馬齢"},
              Labelled{5, "ｸﾗｽ"}, Labelled{6, "馬場"}, Labelled{7, "距離"}, Labelled{8, "日付"}}) {
            QCOMPARE(t::AccessibleLabel(w.ConditionSelector(c.combo)), U(c.label));
        }
        struct Named {
            QWidget* control;
            const char* name;
        };
        for (const Named c :
             {Named{w.ReportBox(), "集計結果"}, Named{s.Button("OpenButton"), "ﾌｧｲﾙを開く"},
              Named{w.OrMoreBox(), "以上"},
              Named{s.Button("TallyButton"), "上記の条件で抽出／集計"}}) {
            QCOMPARE(t::AccessibleName(c.control), U(c.name));
        }
    }

    void conditionsAndTheOrMoreBoxChangeTheReport() {
        Session s;
        t::WriteWorkedExample(s.data.Path());
        s.LoadWith();
        MainWindow& w = *s.window;
        t::PickText(w.ConditionSelector(3), "１６頭");
        t::Click(w.OrMoreBox());
        QCOMPARE(w.OrMoreBox()->Value(), 1);
        t::Click(s.Button("TallyButton"));
        QCOMPARE(s.Line(0), U("総ﾚｰｽ：6  抽出ﾚｰｽ：2"));
        QCOMPARE(s.Line(3), U("単勝        200       680       480   340.00%   100.00%       340"));
        QCOMPARE(s.Line(5), U("連勝        600      8600      8000  1433.33%    50.00%      8600"));

        // Without 以上, only the races of exactly 16 runners.
        t::Click(w.OrMoreBox());
        t::Click(s.Button("TallyButton"));
        QCOMPARE(s.Line(0), U("総ﾚｰｽ：6  抽出ﾚｰｽ：2"));
        t::PickText(w.ConditionSelector(3), "１８頭");
        t::Click(s.Button("TallyButton"));
        QCOMPARE(s.Line(0), U("総ﾚｰｽ：6  抽出ﾚｰｽ：0"));
        QCOMPARE(s.Line(3), U("単勝          0         0         0     0.00%     0.00%         0"));

        // The date selector hands its text to the filter.
        t::PickText(w.ConditionSelector(3), "全抽出");
        t::PickText(w.ConditionSelector(8), "2001-04-22");
        t::Click(s.Button("TallyButton"));
        QCOMPARE(s.Line(0), U("総ﾚｰｽ：6  抽出ﾚｰｽ：1"));
        t::PickText(w.ConditionSelector(8), "全抽出");
        t::Click(s.Button("TallyButton"));
        QCOMPARE(s.Report(), t::WorkedExampleReport());
    }

    void typedTextInASelectorKeepsTheReportAndSaysSo() {
        Session s;
        t::WriteWorkedExample(s.data.Path());
        s.LoadWith();
        MainWindow& w = *s.window;
        t::TypeInto(w.ConditionSelector(1), U("京都"));
        QCOMPARE(w.ConditionSelector(1)->ListIndex(), -1);
        t::SeenMessage seen;
        const auto answer = t::AnswerMessage(&seen);
        t::Click(s.Button("TallyButton"));
        QVERIFY(seen.shown);
        QCOMPARE(seen.text, U("選択されていない項目があります。"));
        QCOMPARE(seen.title, U("Lomi"));
        QCOMPARE(seen.buttons, 1);
        QCOMPARE(s.Report(), t::WorkedExampleReport());
        QCOMPARE(w.PatternDescription()->text(), U("仮単人気の１位からＲ値への流し馬券"));
    }

    void aSecondLoadReplacesEverything() {
        Session s;
        t::WriteWorkedExample(s.data.Path());
        t::WriteTicketFile(s.data.Path(), "P010506T2FB.txt",
                           {t::HeaderLine(2001, 5, 6),
                            t::Race(9, 1, 8, 1, 1, 2, 8, "0150", "0110", "00000", "00320", 1)});
        s.LoadWith();
        MainWindow& w = *s.window;
        t::PickText(w.ConditionSelector(1), "中山");
        s.LoadWith([](PatternDialog* d) {
            t::PickText(d->Selector(1), "Ｔ値");
            t::PickText(d->Selector(2), "２位");
            t::PickText(d->Selector(3), "Ｆ値");
            t::PickText(d->Selector(4), "ボックス");
        });
        QCOMPARE(s.state.PatternFileMask, std::string("P*T2FB.txt"));
        QCOMPARE(w.PatternDescription()->text(), U("Ｔ値の２位とＦ値のボックス馬券"));
        QCOMPARE(Items(w.ConditionSelector(1)), (QStringList{U("全抽出"), U("阪神")}));
        QCOMPARE(Items(w.ConditionSelector(3)), (QStringList{U("全抽出"), U("８頭")}));
        QCOMPARE(Items(w.ConditionSelector(7)), (QStringList{U("全抽出"), U(" 800m")}));
        QCOMPARE(Data(w.ConditionSelector(7)), (QList<int>{0, 8}));
        QCOMPARE(Items(w.ConditionSelector(8)), (QStringList{U("全抽出"), U("2001-05-06")}));
        QCOMPARE(w.ConditionSelector(1)->ListIndex(), 0);
        QCOMPARE(s.Line(0), U("総ﾚｰｽ：1  抽出ﾚｰｽ：1"));
        QCOMPARE(s.state.Pattern.axisIndex, 1);
        QCOMPARE(s.state.Pattern.axisRank, 2);
        QCOMPARE(s.state.Pattern.partnerIndex, 2);
        QCOMPARE(s.state.Pattern.betStyle, 2);
    }

    void ctrlOMenuAndPictureButtonOpenTheSameDialog() {
        Session s;
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        int opened = 0;
        auto cancelNext = [&] {
            return t::WhenModal<PatternDialog>([&](PatternDialog* dialog) {
                ++opened;
                QCOMPARE(dialog->windowTitle(), U("ﾌｧｲﾙを開く"));
                QCOMPARE(dialog->Selector(1)->Text(), U("仮単人気"));
                QVERIFY(dialog->isModal());
                QCOMPARE(dialog->parentWidget(), s.window.get());
                QTest::keyClick(dialog, Qt::Key_Escape);
            });
        };
        {
            const auto watch = cancelNext();
            QTest::keyClick(s.window.get(), Qt::Key_O, Qt::ControlModifier);
            QTRY_COMPARE(opened, 1);
        }
        {
            const auto watch = cancelNext();
            s.Action("OpenAction")->trigger();
            QTRY_COMPARE(opened, 2);
        }
        {
            const auto watch = cancelNext();
            t::Click(s.Button("OpenButton"));
            QTRY_COMPARE(opened, 3);
        }
        QCOMPARE(s.Report(), QString());
        QCOMPARE(s.window->ConditionSelector(1)->ListCount(), 0);
    }

    void closingByTheMenuSavesTheSettings() {
        Session s;
        s.state.Pattern.axisRank = 4;
        s.Action("ExitAction")->trigger();
        QVERIFY(!s.window->isVisible());
        QCOMPARE(lomi::ReadProfileString(s.ini, "DEF", "PATH"), s.data.PathText());
        QCOMPARE(lomi::ReadProfileString(s.ini, "DEF", "CON1"), std::string("7"));
        QCOMPARE(lomi::ReadProfileString(s.ini, "DEF", "CON2"), std::string("4"));
        QCOMPARE(lomi::ReadProfileString(s.ini, "DEF", "CON3"), std::string("3"));
        QCOMPARE(lomi::ReadProfileString(s.ini, "DEF", "CON4"), std::string("1"));
    }

    void closingByTheCloseBoxSavesTheSettingsOnce() {
        Session s;
        s.state.Pattern.betStyle = 2;
        QVERIFY(s.window->close());
        QCOMPARE(lomi::ReadProfileString(s.ini, "DEF", "CON4"), std::string("2"));
        // Closing again writes nothing more.
        s.state.Pattern.betStyle = 1;
        s.window->close();
        QCOMPARE(lomi::ReadProfileString(s.ini, "DEF", "CON4"), std::string("2"));
    }

    void aFailedSaveIsToldOnceAndTheWindowStillCloses() {
        Session s;
        s.ini.clear();
        t::TempFolder other;
        const std::string unwritable = (other / "missing-folder" / "Lomi.ini").string();
        MainWindow window(s.state, unwritable);
        window.show();
        t::SeenMessage seen;
        const auto answer = t::AnswerMessage(&seen);
        QVERIFY(window.close());
        QVERIFY(seen.shown);
        QCOMPARE(seen.title, U("Lomi"));
        QVERIFY(!seen.text.isEmpty());
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
