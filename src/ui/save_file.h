#pragma once

#include <string_view>

#include <QString>

class QWidget;

namespace lomi::ui {

// Asks where to save: a file dialog in Japanese starting at suggestedName,
// with one filter such as "CSV (*.csv)". Empty when cancelled.
QString AskSavePath(QWidget* parent, const QString& caption, const QString& suggestedName,
                    const QString& filter);

// Replaces path with bytes as a whole (a temporary file renamed over it, so
// a failure never leaves part of a file); a failure is told in a message
// box over parent, with the system's reason. Returns whether it was saved.
bool SaveWholeFile(QWidget* parent, const QString& path, std::string_view bytes);

// The text of that message.
QString SaveFailedMessage(const QString& path, const QString& reason);

}  // namespace lomi::ui
