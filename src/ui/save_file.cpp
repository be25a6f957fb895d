#include "ui/save_file.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>

#include "settings/whole_file.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace lomi::ui {

QString AskSavePath(QWidget* parent, const QString& caption, const QString& suggestedName,
                    const QString& filter, QString* folder, const std::string& dataFolder) {
    // Where the last file went, else the data folder the figures come from.
    const QString startFolder =
        folder != nullptr && !folder->isEmpty() ? *folder : FromUtf8(dataFolder);
    const QString start =
        startFolder.isEmpty() ? suggestedName : QDir(startFolder).filePath(suggestedName);
    // On the heap: a parent closed while the dialog waits deletes it with itself.
    const QPointer<QFileDialog> dialog = new QFileDialog(parent, caption, start, filter);
    dialog->setObjectName("SaveFileDialog");
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    const QRegularExpressionMatch extension =
        QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    if (extension.hasMatch()) dialog->setDefaultSuffix(extension.captured(1));
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog) return {};
    const QStringList chosen = dialog->selectedFiles();
    delete dialog.data();
    if (!accepted || chosen.isEmpty()) return {};
    const QString path = chosen.first();
    if (folder != nullptr) *folder = QFileInfo(path).absolutePath();
    return path;
}

QString FileNameOf(const QStringList& parts, const QString& extension) {
    QString name = parts.join(QLatin1Char('_'));
    static const QRegularExpression kNotInNames(QStringLiteral("[\\\\/:*?\"<>|\\s]+"));
    name.replace(kNotInNames, QStringLiteral("-"));
    return name + QLatin1Char('.') + extension;
}

QString SaveFailedMessage(const QString& path, const QString& reason) {
    return QString::fromUtf8("ファイルを保存できませんでした。\n%1\n%2").arg(path, reason);
}

bool SaveWholeFile(QWidget* parent, const QString& path, std::string_view bytes) {
    const FileWriteResult result = ReplaceWholeFile(ToUtf8(path), bytes);
    if (result.ok) return true;
    ShowWarning(parent, SaveFailedMessage(path, FromUtf8(result.error)));
    return false;
}

}  // namespace lomi::ui
