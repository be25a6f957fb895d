#pragma once

#include <cstddef>

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

namespace lomi::ui {

// The window a long load shows: files read of files in all, a bar, and a
// ｷｬﾝｾﾙ button. Its width is fixed, once the total is known, to fit the
// largest count, so that it does not change while the count grows. ｷｬﾝｾﾙ,
// Esc and the close box ask for the load to stop; the window stays until
// its owner closes it.
class ProgressWindow : public QDialog {
    Q_OBJECT

public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    void SetCounts(std::size_t done, std::size_t total);

    QString LabelText() const;
    int Maximum() const;
    int Value() const;
    QPushButton* CancelButton() const { return cancel_; }

    void reject() override;

signals:
    void CancelRequested();

private:
    QString CountText(std::size_t done, std::size_t total) const;
    void FitWidthTo(std::size_t total);

    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::size_t fittedTotal_ = 0;
};

}  // namespace lomi::ui
