#pragma once

#include <string>

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

namespace lomi {

// One line over an analysis window's figures that says they no longer
// belong to what is being analysed (the data folder changed, or the main
// window tallied other conditions), with a button that brings them up to
// date when the window has no button of its own for it. Hidden while the
// figures are current.
class OutOfDateBar : public QWidget {
    Q_OBJECT

public:
    // actionText: the button's text; empty for no button.
    explicit OutOfDateBar(const QString& actionText, QWidget* parent = nullptr);

    void Mark(const QString& text);
    // The loaded pattern's figures under a new data folder; empty: clears.
    void MarkFolderChanged(const std::string& newFolder);
    void Clear();
    bool Marked() const { return !isHidden(); }
    QString Text() const;

signals:
    void actionClicked();

private:
    QLabel* text_ = nullptr;
};

}  // namespace lomi
