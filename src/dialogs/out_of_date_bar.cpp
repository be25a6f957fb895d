#include "dialogs/out_of_date_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "ui/text.h"

namespace lomi {

OutOfDateBar::OutOfDateBar(const QString& actionText, QWidget* parent) : QWidget(parent) {
    setObjectName("OutOfDateBar");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size));
    layout->addWidget(icon);
    text_ = new QLabel(this);
    text_->setObjectName("OutOfDateText");
    text_->setWordWrap(true);
    layout->addWidget(text_, 1);
    if (!actionText.isEmpty()) {
        auto* button = new QPushButton(actionText, this);
        button->setObjectName("OutOfDateButton");
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, &OutOfDateBar::actionClicked);
    }
    hide();
}

void OutOfDateBar::Mark(const QString& text) {
    text_->setText(text);
    setAccessibleName(text);
    show();
}

void OutOfDateBar::MarkFolderChanged(const std::string& newFolder) {
    if (newFolder.empty()) {
        Clear();
        return;
    }
    Mark(QString::fromUtf8("ﾌｫﾙﾀﾞが「%1」に変わりました。表示は前のﾌｫﾙﾀﾞのﾃﾞｰﾀです。"
                           "読み直すと新しいﾌｫﾙﾀﾞから読みます。")
             .arg(ui::FromUtf8(newFolder)));
}

void OutOfDateBar::Clear() {
    text_->clear();
    hide();
}

QString OutOfDateBar::Text() const { return isHidden() ? QString() : text_->text(); }

}  // namespace lomi
