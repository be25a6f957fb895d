#pragma once

#include <QString>

class QWidget;

namespace lomi::ui {

// The caption of every message box.
inline constexpr const char* kApplicationTitle = "Lomi";

// Shows text with an OK button only and the application's title; returns
// when the user has dismissed it.
void ShowMessage(QWidget* parent, const QString& text);
// The same with the warning icon: for a failure of the analysis windows
// (a file not saved, a run that failed).
void ShowWarning(QWidget* parent, const QString& text);

}  // namespace lomi::ui
