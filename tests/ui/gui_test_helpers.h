#pragma once

// Driving the real windows from Qt Test as a user would: answering modal
// dialogs, picking list items, typing Japanese.

#include <functional>
#include <memory>
#include <utility>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/combo_box.h"

namespace lomi::test {

// How long a test waits for a modal window before it fails.
inline constexpr int kModalWaitMilliseconds = 10000;

// Fails the running test with what, then closes every modal window, so that
// whatever the test was blocked in (another modal window nobody answers)
// returns and the test ends instead of waiting for ctest's timeout.
inline void FailAndCloseModals(const char* what) {
    QTest::qFail(what, __FILE__, __LINE__);
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->done(QDialog::Rejected);
        } else {
            modal->close();
        }
        if (QApplication::activeModalWidget() == modal) modal->hide();
        if (QApplication::activeModalWidget() == modal) break;
    }
}

// Stops watching for a modal window when it goes, so that a watch whose
// window never came cannot act on a later one.
class ModalWatch {
public:
    explicit ModalWatch(std::shared_ptr<std::function<void()>> poll) : poll_(std::move(poll)) {}
    ~ModalWatch() {
        if (poll_) *poll_ = nullptr;
    }
    ModalWatch(ModalWatch&&) = default;
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;

private:
    std::shared_ptr<std::function<void()>> poll_;
};

// Runs action on the next modal window of kind Modal other than previous as
// soon as it is shown, from the event loop that the modal window runs, while
// the returned watch lives. Other modal windows meanwhile (a progress
// dialog) are left alone. When none has come within ten seconds the test
// fails and every modal window is closed.
template <class Modal>
[[nodiscard]] ModalWatch WhenModal(std::function<void(Modal*)> action,
                                   QWidget* previous = nullptr) {
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [=] {
        auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget());
        if (modal && modal != previous && modal->isVisible()) {
            // Clearing *poll destroys this closure and its captures, so act
            // through a copy taken before the self-reference is broken.
            const auto act = action;
            *poll = nullptr;
            act(modal);
            return;
        }
        if (clock->elapsed() > kModalWaitMilliseconds) {
            *poll = nullptr;
            FailAndCloseModals("the expected modal window did not appear");
            return;
        }
        QTimer::singleShot(10, [poll] {
            if (*poll) (*poll)();
        });
    };
    QTimer::singleShot(0, [poll] {
        if (*poll) (*poll)();
    });
    return ModalWatch(poll);
}

// What a message box showed.
struct SeenMessage {
    bool shown = false;
    QString text;
    QString title;
    int buttons = 0;
};

// Answers the next message box with Enter and records what it showed.
[[nodiscard]] inline ModalWatch AnswerMessage(SeenMessage* seen, QWidget* previous = nullptr) {
    return WhenModal<QMessageBox>(
        [seen](QMessageBox* box) {
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

// What the accessibility bus reads of a control: its name, and the name of
// what labels it (empty when nothing does).
inline QString AccessibleName(QObject* control) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
    return iface ? iface->text(QAccessible::Name) : QString();
}

inline QString AccessibleLabel(QObject* control) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
    if (!iface) return QString();
    const auto labels = iface->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

inline QString AccessibleDescription(QObject* control) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
    return iface ? iface->text(QAccessible::Description) : QString();
}

inline void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

}  // namespace lomi::test
