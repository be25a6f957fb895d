// MainWindow's 設定 → キャッシュを削除: the record cache removed on request.
// Counting and removing its files is file work, done off the window's
// thread like every other; the window only asks and tells.
#include <QMessageBox>
#include <QPointer>
#include <QString>

#include "app/main_window.h"
#include "data/record_cache.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace lomi {

void MainWindow::ClearCacheMenuChosen() {
    const std::string folder = state_.RecordCache.folder;
    if (folder.empty()) {
        ui::ShowMessage(this, QString::fromUtf8("キャッシュはありません。"));
        return;
    }
    if (!cacheTask_) cacheTask_ = std::make_unique<ui::WorkerTask>(this);
    cacheTask_->Start(
        "キャッシュの確認",
        [this, folder](std::stop_token) {
            const std::uint64_t bytes = RecordCacheSize(folder);
            return ui::WorkerTask::Delivery(
                [this, folder, bytes] { AskToClearCache(folder, bytes); });
        },
        [this](const std::string& message) { ui::ShowMessage(this, ui::FromUtf8(message)); });
}

void MainWindow::AskToClearCache(const std::string& folder, std::uint64_t bytes) {
    if (bytes == 0) {
        ui::ShowMessage(this, QString::fromUtf8("キャッシュはありません。"));
        return;
    }
    const QString question = QString::fromUtf8(
        ("キャッシュ（" + CacheSizeText(bytes) +
         "）を削除しますか？\n次の読み込みと集計では、ファイルをすべて読み直します。")
            .c_str());
    // On the heap, and this window watched: closing it while the question
    // waits deletes both, and then nothing is removed.
    const QPointer<MainWindow> self(this);
    const QPointer<QMessageBox> ask =
        new QMessageBox(QMessageBox::Question, QString::fromUtf8(ui::kApplicationTitle), question,
                        QMessageBox::Yes | QMessageBox::No, this);
    ask->setObjectName("clearCacheQuestion");
    ask->setDefaultButton(QMessageBox::No);
    const bool yes = ask->exec() == QMessageBox::Yes;
    delete ask.data();
    if (!yes || !self) return;
    cacheTask_->Start(
        "キャッシュの削除",
        [this, folder](std::stop_token) {
            std::string reason;
            const bool cleared = ClearRecordCache(folder, reason);
            return ui::WorkerTask::Delivery([this, cleared, reason] {
                if (cleared) return;
                ui::ShowMessage(
                    this,
                    QString::fromUtf8(("キャッシュを削除できません（" + reason + "）。").c_str()));
            });
        },
        [this](const std::string& message) { ui::ShowMessage(this, ui::FromUtf8(message)); });
}

}  // namespace lomi
