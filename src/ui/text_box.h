#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace lomi::ui {

// A multi-line text box with a vertical scroll bar that is always shown.
// Long lines wrap at the box's width, as a text box without a horizontal
// scroll bar does.
class TextBox : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

    // Replaces the whole text; CR LF and lone CR end lines like LF does.
    void SetText(const QString& text);
    QString Text() const { return toPlainText(); }
};

}  // namespace lomi::ui
