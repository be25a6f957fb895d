#pragma once

#include <string>
#include <string_view>

#include <QString>
#include <QStringList>

class QWidget;

namespace lomi::ui {

// Asks where to save: a file dialog in Japanese at suggestedName in folder
// (the last one used; when none, dataFolder), with one filter such
// as "CSV (*.csv)" whose extension is added to a name typed without one
// (the replace question then asks about the name saved). folder becomes
// the chosen file's. Empty when cancelled.
QString AskSavePath(QWidget* parent, const QString& caption, const QString& suggestedName,
                    const QString& filter, QString* folder = nullptr,
                    const std::string& dataFolder = {});

// A file name made of parts ("全パターン", "ﾜｲﾄﾞ", "2001-04-01～2001-06-30")
// joined by "_", with the characters no file name may hold replaced.
QString FileNameOf(const QStringList& parts, const QString& extension);

// Replaces path with bytes as a whole (a temporary file renamed over it, so
// a failure never leaves part of a file); a failure is told in a message
// box over parent, with the system's reason. Returns whether it was saved.
bool SaveWholeFile(QWidget* parent, const QString& path, std::string_view bytes);

// The text of that message.
QString SaveFailedMessage(const QString& path, const QString& reason);

}  // namespace lomi::ui
