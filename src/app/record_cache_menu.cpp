// MainWindow's 設定 → キャッシュを削除: the record cache removed on request.
#include <QMessageBox>
#include <QString>

#include "app/main_window.h"
#include "data/record_cache.h"
#include "ui/message_box.h"

namespace lomi {

void MainWindow::ClearCacheMenuChosen() {
    const std::string& folder = state_.RecordCache.folder;
    // A few hundred files in the user's own cache folder: counted here, in
    // the moment before the question shows.
    const std::uint64_t bytes = folder.empty() ? 0 : RecordCacheSize(folder);
    if (bytes == 0) {
        ui::ShowMessage(this, QString::fromUtf8("キャッシュはありません。"));
        return;
    }
    const QString question = QString::fromUtf8(
        ("キャッシュ（" + CacheSizeText(bytes) +
         "）を削除しますか？\n次の読み込みと集計では、ファイルをすべて読み直します。")
            .c_str());
    QMessageBox ask(QMessageBox::Question, QString::fromUtf8(ui::kApplicationTitle), question,
                    QMessageBox::Yes | QMessageBox::No, this);
    ask.setObjectName("clearCacheQuestion");
    ask.setDefaultButton(QMessageBox::No);
    if (ask.exec() != QMessageBox::Yes) return;
    std::string reason;
    if (!ClearRecordCache(folder, reason)) {
        ui::ShowMessage(
            this, QString::fromUtf8(("キャッシュを削除できません（" + reason + "）。").c_str()));
    }
}

}  // namespace lomi
