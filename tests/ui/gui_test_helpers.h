#pragma once

// Driving the real windows from Qt Test as a user would: answering modal
// dialogs, picking list items, typing Japanese.

#include <functional>
#include <memory>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/combo_box.h"

namespace lomi::test {

// Runs action on the next modal window other than previous as soon as it is
// shown, from the event loop that the modal window runs. Gives up after five
// seconds; then failed is set.
inline void WhenModal(std::function<void(QWidget*)> action, QWidget* previous = nullptr,
                      bool* failed = nullptr) {
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != previous && modal->isVisible()) {
            action(modal);
            *poll = nullptr;  // breaks the self-reference
            return;
        }
        if (clock->elapsed() > 5000) {
            qWarning("no modal window appeared");
            if (failed) *failed = true;
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, [poll] {
            if (*poll) (*poll)();
        });
    };
    QTimer::singleShot(0, [poll] {
        if (*poll) (*poll)();
    });
}

// What a message box showed.
struct SeenMessage {
    bool shown = false;
    QString text;
    QString title;
    int buttons = 0;
};

// Answers the next message box with Enter and records what it showed.
inline void AnswerMessage(SeenMessage* seen, QWidget* previous = nullptr) {
    WhenModal(
        [seen](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) return;
            seen->shown = true;
            seen->text = box->text();
            seen->title = box->windowTitle();
            seen->buttons = static_cast<int>(box->buttons().size());
            QTest::keyClick(box, Qt::Key_Return);
        },
        previous);
}

// Opens the list of combo and clicks the item at index.
inline void PickItem(ui::ComboBox* combo, int index) {
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    QVERIFY(QTest::qWaitFor([view] { return view->isVisible(); }));
    view->scrollTo(view->model()->index(index, 0));
    const QRect item = view->visualRect(view->model()->index(index, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    QVERIFY(QTest::qWaitFor([view] { return !view->isVisible(); }));
}

inline void PickText(ui::ComboBox* combo, const char* utf8) {
    const int index = combo->findText(QString::fromUtf8(utf8));
    QVERIFY2(index >= 0, utf8);
    PickItem(combo, index);
}

// Types text into a combo's field the way an input method commits it.
inline void TypeInto(ui::ComboBox* combo, const QString& text) {
    combo->lineEdit()->setFocus();
    combo->lineEdit()->selectAll();
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(combo->lineEdit(), &event);
}

inline void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

}  // namespace lomi::test
