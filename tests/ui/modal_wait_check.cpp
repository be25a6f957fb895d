// A test waiting for a modal window that never comes, while it is blocked in
// another one that nobody answers. It must fail with a message within the
// helpers' wait instead of hanging; ctest runs it and expects that failure.
#include <QDialog>
#include <QFileDialog>
#include <QTest>

#include "ui/gui_test_helpers.h"

namespace t = lomi::test;

class ModalWaitCheck : public QObject {
    Q_OBJECT

private slots:
    void waitsForADialogThatNeverComes() {
        bool acted = false;
        const auto watch = t::WhenModal<QFileDialog>([&](QFileDialog*) { acted = true; });
        QDialog unexpected;
        unexpected.setModal(true);
        unexpected.exec();
        QVERIFY(!acted);
    }
};

QTEST_MAIN(ModalWaitCheck)
#include "modal_wait_check.moc"
