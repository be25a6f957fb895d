#include "ui/save_file.h"

#include <QFileDialog>

#include "settings/whole_file.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace lomi::ui {

QString AskSavePath(QWidget* parent, const QString& caption, const QString& suggestedName,
                    const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, suggestedName, filter);
}

QString SaveFailedMessage(const QString& path, const QString& reason) {
    return QString::fromUtf8("ファイルを保存できませんでした。\n%1\n%2").arg(path, reason);
}

bool SaveWholeFile(QWidget* parent, const QString& path, std::string_view bytes) {
    const FileWriteResult result = ReplaceWholeFile(ToUtf8(path), bytes);
    if (result.ok) return true;
    ShowMessage(parent, SaveFailedMessage(path, FromUtf8(result.error)));
    return false;
}

}  // namespace lomi::ui
