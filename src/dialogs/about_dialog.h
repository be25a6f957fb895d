#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace lomi {

// The texts of バージョン情報, one paragraph each: the version and the
// copyright, the licences, the Qt version and where the licence texts are.
QStringList AboutLines();

// バージョン情報: the texts above and a button for Qt's own about box.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    QLabel* Text() const { return text_; }
    QPushButton* AboutQtButton() const { return aboutQt_; }

private:
    QLabel* text_ = nullptr;
    QPushButton* aboutQt_ = nullptr;
};

}  // namespace lomi
