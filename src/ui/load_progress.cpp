#include "ui/load_progress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "ui/message_box.h"
#include "ui/wait_cursor.h"

namespace lomi::ui {

PatternLoad LoadPatternWithProgress(const std::string& folder, const std::string& mask,
                                    QWidget* parent, int showAfterMilliseconds) {
    const WaitCursor waiting;
    // Let the window system show the wait cursor before the work starts;
    // what the user does meanwhile waits until the load is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    // Window-modal, without a cancel button: once shown it keeps the
    // dialogs below it from taking input while the load runs on.
    QProgressDialog progress(parent);
    progress.setObjectName("LoadProgress");
    progress.setWindowTitle(QString::fromUtf8(kApplicationTitle));
    progress.setWindowModality(Qt::WindowModal);
    progress.setCancelButton(nullptr);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(showAfterMilliseconds);

    const QString format = QString::fromUtf8("ﾌｧｲﾙを読み込んでいます… %1 / %2");
    return LoadPattern(folder, mask, [&](std::size_t done, std::size_t total) {
        progress.setMaximum(static_cast<int>(total));
        progress.setLabelText(format.arg(done).arg(total));
        progress.setValue(static_cast<int>(done));
    });
}

}  // namespace lomi::ui
