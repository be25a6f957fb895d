#include "dialogs/about_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

namespace lomi {

namespace {

// Where the licence texts were installed with the program: beside
// lomi.exe on Windows (the zip and the installer), under share/doc on Linux.
QString LicenceTexts() {
    const QString program = QCoreApplication::applicationDirPath();
#ifdef _WIN32
    return QDir::toNativeSeparators(program) +
           QString::fromUtf8(
               " の LICENSE.txt、LICENSE-WINDOWS.txt、THIRD-PARTY.txt と licenses ﾌｫﾙﾀﾞ");
#else
    return QDir::cleanPath(program + QStringLiteral("/../share/doc/lomi/copyright")) +
           QString::fromUtf8("（Debian のパッケージでは /usr/share/doc/lomi/copyright）");
#endif
}

}  // namespace

QStringList AboutLines() {
    QStringList lines = {
        QString::fromUtf8("Lomi 馬券集計　バージョン ") + QStringLiteral(LOMI_VERSION),
        QStringLiteral("Copyright (c) 2026 The Lomi developers"),
        QString::fromUtf8("ライセンス: MIT（Lomi のプログラム）"),
    };
#ifdef LOMI_LINKS_QT_CHARTS
    lines << QString::fromUtf8(
        "損益グラフに Qt Charts（GPL-3.0 のみで公開）を使うため、"
        "実行ファイルは GPL-3.0 の条件で配布");
#endif
    lines << QString::fromUtf8("Qt %1（作成時の Qt %2）")
                 .arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR));
    lines << QString::fromUtf8("ライセンス文: ") + LicenceTexts();
    return lines;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutDialog");
    setWindowTitle(QString::fromUtf8("バージョン情報"));

    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
    text_ = new QLabel(AboutLines().join(QStringLiteral("\n\n")), this);
    text_->setObjectName("AboutText");
    text_->setWordWrap(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text_->setMinimumWidth(440);

    auto* buttons = new QDialogButtonBox(this);
    aboutQt_ =
        buttons->addButton(QString::fromUtf8("Qt について(&Q)..."), QDialogButtonBox::ActionRole);
    aboutQt_->setObjectName("AboutQtButton");
    QPushButton* close =
        buttons->addButton(QString::fromUtf8("閉じる"), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    connect(aboutQt_, &QPushButton::clicked, this,
            [this] { QMessageBox::aboutQt(this, QString::fromUtf8("Qt について")); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace lomi
