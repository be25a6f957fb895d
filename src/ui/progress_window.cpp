#include "ui/progress_window.h"

#include <algorithm>

#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/fonts.h"
#include "ui/message_box.h"

namespace lomi::ui {

namespace {

constexpr const char* kCountFormat = "ﾌｧｲﾙを読み込んでいます… %1 / %2";

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("LoadProgress");
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setFont(InterfaceFont());

    label_ = new QLabel(this);
    label_->setObjectName("ProgressLabel");
    bar_ = new QProgressBar(this);
    bar_->setObjectName("ProgressBar");
    bar_->setAccessibleName(QString::fromUtf8("読み込み"));
    bar_->setRange(0, 0);
    cancel_ = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
    cancel_->setObjectName("Cancel");
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, &ProgressWindow::CancelRequested);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetCounts(0, 0);
}

QString ProgressWindow::CountText(std::size_t done, std::size_t total) const {
    return QString::fromUtf8(kCountFormat).arg(done).arg(total);
}

void ProgressWindow::FitWidthTo(std::size_t total) {
    // The widest text the counts can give: both counts with as many digits
    // as the total (six at least, so that a window shown before the total
    // is known keeps its width), each the widest digit of the font.
    const QFontMetrics metrics(label_->font());
    QChar widest('0');
    for (char digit = '0'; digit <= '9'; ++digit) {
        if (metrics.horizontalAdvance(QChar(digit)) > metrics.horizontalAdvance(widest)) {
            widest = QChar(digit);
        }
    }
    const QString digits(std::max<qsizetype>(QString::number(total).size(), 6), widest);
    const QString text = QString::fromUtf8(kCountFormat).arg(digits, digits);
    label_->setFixedWidth(metrics.horizontalAdvance(text) + 2);
    fittedTotal_ = total;
}

void ProgressWindow::SetCounts(std::size_t done, std::size_t total) {
    if (total != fittedTotal_ || label_->minimumWidth() == 0) FitWidthTo(total);
    label_->setText(CountText(done, total));
    if (total == 0) return;
    bar_->setRange(0, static_cast<int>(total));
    bar_->setValue(static_cast<int>(done));
}

QString ProgressWindow::LabelText() const { return label_->text(); }

int ProgressWindow::Maximum() const { return bar_->maximum(); }

int ProgressWindow::Value() const { return bar_->value(); }

void ProgressWindow::reject() { emit CancelRequested(); }

}  // namespace lomi::ui
