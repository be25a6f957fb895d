// The editable drop-down list: list index, item data and typing.
#include <QAbstractItemView>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "ui/combo_box.h"

using lomi::ui::ComboBox;

namespace {

void FillThree(ComboBox& combo) {
    for (const char* text : {"Ｔ値", "Ｆ値", "Ｒ値"}) {
        combo.AddItem(QString::fromUtf8(text));
        combo.SetItemData(combo.NewIndex(), combo.NewIndex() + 1);
    }
}

// Types Japanese text the way an input method commits it.
void CommitText(QWidget* target, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(target, &event);
}

}  // namespace

class ComboBoxTest : public QObject {
    Q_OBJECT

private slots:
    void appendingKeepsNothingChosen() {
        ComboBox combo;
        QCOMPARE(combo.NewIndex(), -1);
        FillThree(combo);
        QCOMPARE(combo.ListCount(), 3);
        QCOMPARE(combo.NewIndex(), 2);
        QCOMPARE(combo.ListIndex(), -1);
        QCOMPARE(combo.Text(), QString());
        QCOMPARE(combo.List(1), QString::fromUtf8("Ｆ値"));
    }

    void settingTheItemsReplacesTheListAndChoosesNothing() {
        ComboBox combo;
        FillThree(combo);
        combo.SetListIndex(1);
        CommitText(combo.lineEdit(), QString::fromUtf8("京都"));
        QSignalSpy activated(&combo, &QComboBox::activated);
        struct Case {
            std::vector<ComboBox::Item> items;
        };
        for (const Case& c :
             {Case{{{QString::fromUtf8("全抽出"), 0}, {QString::fromUtf8("阪神"), 9}}}, Case{{}},
              Case{{{"a", 2147483647}, {"b", -1}, {"c", 0}}}}) {
            combo.SetItems(c.items);
            QCOMPARE(combo.ListCount(), static_cast<int>(c.items.size()));
            QCOMPARE(combo.NewIndex(), static_cast<int>(c.items.size()) - 1);
            QCOMPARE(combo.ListIndex(), -1);
            QCOMPARE(combo.Text(), QString());
            for (int i = 0; i < combo.ListCount(); ++i) {
                QCOMPARE(combo.List(i), c.items[static_cast<std::size_t>(i)].text);
                QCOMPARE(combo.ItemData(i), c.items[static_cast<std::size_t>(i)].data);
            }
        }
        QCOMPARE(activated.count(), 0);
        // Picking from the new list works as before.
        combo.SetListIndex(2);
        QCOMPARE(combo.Text(), QString("c"));
        QCOMPARE(combo.ListIndex(), 2);
        combo.AddItem("d");
        QCOMPARE(combo.NewIndex(), 3);
    }

    void itemDataIsZeroUntilSetAndKeepsFullRange() {
        ComboBox combo;
        combo.AddItem("a");
        combo.AddItem("b");
        combo.AddItem("c");
        QCOMPARE(combo.ItemData(0), 0);
        combo.SetItemData(1, 2147483647);
        combo.SetItemData(2, -2147483647 - 1);
        QCOMPARE(combo.ItemData(1), 2147483647);
        QCOMPARE(combo.ItemData(2), -2147483647 - 1);
        QCOMPARE(combo.ItemData(0), 0);
    }

    void settingListIndexShowsTheItemAndRunsNoHandler() {
        ComboBox combo;
        FillThree(combo);
        QSignalSpy changed(&combo, &QComboBox::currentIndexChanged);
        QSignalSpy activated(&combo, &QComboBox::activated);
        combo.SetListIndex(2);
        QCOMPARE(combo.ListIndex(), 2);
        QCOMPARE(combo.Text(), QString::fromUtf8("Ｒ値"));
        combo.SetListIndex(-1);
        QCOMPARE(combo.ListIndex(), -1);
        QCOMPARE(combo.Text(), QString());
        combo.SetListIndex(7);  // no such item
        QCOMPARE(combo.ListIndex(), -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(activated.count(), 0);
    }

    void clearEmptiesListAndTextField() {
        ComboBox combo;
        FillThree(combo);
        combo.SetListIndex(1);
        combo.Clear();
        QCOMPARE(combo.ListCount(), 0);
        QCOMPARE(combo.ListIndex(), -1);
        QCOMPARE(combo.Text(), QString());
        QCOMPARE(combo.NewIndex(), -1);
    }

    void typingChoosesNothingEvenWhenTheTextMatchesAnItem() {
        QWidget window;
        auto* combo = new ComboBox(&window);
        auto* other = new QLineEdit(&window);
        other->move(0, 40);
        FillThree(*combo);
        combo->SetListIndex(0);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        combo->lineEdit()->setFocus();
        QTest::keyClick(combo->lineEdit(), Qt::Key_End);
        QTest::keyClicks(combo->lineEdit(), "x");
        QCOMPARE(combo->ListIndex(), -1);
        QCOMPARE(combo->currentIndex(), 0);  // what QComboBox alone would report

        // The exact text of another item, typed in Japanese, then leaving
        // the field: still nothing chosen.
        combo->lineEdit()->selectAll();
        CommitText(combo->lineEdit(), QString::fromUtf8("Ｆ値"));
        QCOMPARE(combo->Text(), QString::fromUtf8("Ｆ値"));
        QCOMPARE(combo->ListIndex(), -1);
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        QCOMPARE(combo->ListIndex(), -1);
    }

    void pickingFromTheListOrWithArrowKeysChoosesAgain() {
        QWidget window;
        auto* combo = new ComboBox(&window);
        FillThree(*combo);
        combo->SetListIndex(0);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        combo->lineEdit()->setFocus();
        QTest::keyClicks(combo->lineEdit(), "abc");
        QCOMPARE(combo->ListIndex(), -1);

        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->ListIndex(), 1);
        QCOMPARE(combo->Text(), QString::fromUtf8("Ｆ値"));

        QTest::keyClicks(combo->lineEdit(), "z");
        QCOMPARE(combo->ListIndex(), -1);
        // The user opens the list and clicks the item QComboBox still holds.
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QTRY_VERIFY(view->isVisible());
        const QRect item = view->visualRect(view->model()->index(1, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(combo->ListIndex(), 1);
        QCOMPARE(combo->Text(), QString::fromUtf8("Ｆ値"));
        combo->SetListIndex(2);
        QCOMPARE(combo->ListIndex(), 2);
    }

    void homeAndEndChooseTheFirstAndTheLastItem() {
        ComboBox combo;
        FillThree(combo);
        QTest::keyClick(&combo, Qt::Key_End);
        QCOMPARE(combo.ListIndex(), 2);
        QCOMPARE(combo.Text(), QString::fromUtf8("Ｒ値"));
        QTest::keyClick(&combo, Qt::Key_Home);
        QCOMPARE(combo.ListIndex(), 0);
        QCOMPARE(combo.ItemData(combo.ListIndex()), 1);
    }
};

QTEST_MAIN(ComboBoxTest)
#include "combo_box_test.moc"
