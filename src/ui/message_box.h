#pragma once

#include <QString>

class QWidget;

namespace lomi::ui {

// The caption of every message box.
inline constexpr const char* kApplicationTitle = "Lomi";

// Shows text with an OK button only and the application's title; returns
// when the user has dismissed it.
void ShowMessage(QWidget* parent, const QString& text);

}  // namespace lomi::ui
