// ﾍﾙﾌﾟ: the guide loads with every image and link resolving, its contents
// and search lead to sections, F1 opens it at the section of the window it
// is pressed in, and バージョン情報 names the version and the licences.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextFragment>
#include <QTreeWidget>

#include "app/help_menu.h"
#include "app/main_window.h"
#include "app/main_window_session.h"
#include "app/worked_example.h"
#include "dialogs/about_dialog.h"
#include "dialogs/breakdown_window.h"
#include "dialogs/help_window.h"
#include "dialogs/profit_chart_window.h"
#include "dialogs/ranking_window.h"
#include "ui/gui_test_helpers.h"

using namespace lomi;
namespace t = lomi::test;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

HelpWindow* OpenGuide() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* guide = qobject_cast<HelpWindow*>(widget); guide && guide->isVisible())
            return guide;
    }
    return nullptr;
}

// Presses F1 in window and returns the page and the heading the guide shows.
QStringList PressF1In(QWidget* window) {
    window->show();
    // The offscreen platform gives the activation back to the main window
    // when the guide closes; a user's F1 goes to the window in front.
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window)) return {U("not active")};
    QTest::keyClick(window, Qt::Key_F1);
    HelpWindow* guide = OpenGuide();
    if (guide == nullptr) return {U("no guide")};
    QStringList shown = {guide->Browser()->source().fileName(), guide->Browser()->HeadingAtTop()};
    guide->close();
    return shown;
}

}  // namespace

class HelpMenuTest : public QObject {
    Q_OBJECT

private slots:
    void everyPageLoadsWithItsImagesAndLinks() {
        HelpWindow window;
        const QStringList pages = GuidePages();
        const QStringList files = QDir(U(kGuideFolder)).entryList({U("*.md")});
        QCOMPARE(QStringList(pages).size(), files.size());  // every page is in the contents
        QCOMPARE(window.Contents()->topLevelItemCount(), pages.size());
        GuideBrowser target;
        QStringList faults;
        for (const QString& page : pages) {
            window.OpenSection(page);
            QTextDocument* document = window.Browser()->document();
            QVERIFY2(!document->toPlainText().trimmed().isEmpty(), qPrintable(page));
            QCOMPARE(document->begin().blockFormat().headingLevel(), 1);
            for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
                for (auto it = block.begin(); !it.atEnd(); ++it) {
                    const QTextCharFormat format = it.fragment().charFormat();
                    if (format.isImageFormat()) {
                        const QUrl image = window.Browser()->source().resolved(
                            QUrl(format.toImageFormat().name()));
                        if (QImage(':' + image.path()).isNull())
                            faults << page + ": " + image.toString();
                    }
                    if (!format.isAnchor() || format.anchorHref().isEmpty()) continue;
                    const QUrl link =
                        window.Browser()->source().resolved(QUrl(format.anchorHref()));
                    const QString linked = link.fileName();
                    if (link.scheme() != U("qrc") || !pages.contains(linked)) {
                        faults << page + ": " + format.anchorHref();
                        continue;
                    }
                    if (!link.hasFragment()) continue;
                    target.setSource(link.adjusted(QUrl::RemoveFragment),
                                     QTextDocument::MarkdownResource);
                    if (!target.HeadingAnchors().contains(link.fragment(QUrl::FullyDecoded))) {
                        faults << page + ": " + format.anchorHref();
                    }
                }
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void contentsAndSearchOpenSections() {
        HelpWindow window;
        window.show();
        QTreeWidgetItem* ranking = nullptr;
        for (int i = 0; i < window.Contents()->topLevelItemCount(); ++i) {
            if (window.Contents()->topLevelItem(i)->text(0) == U("全パターン集計")) {
                ranking = window.Contents()->topLevelItem(i);
            }
        }
        QVERIFY(ranking != nullptr && ranking->childCount() > 0);
        emit window.Contents()->itemActivated(ranking->child(1), 0);
        QCOMPARE(window.Browser()->source().fileName(), U("ranking.md"));
        QCOMPARE(window.Browser()->HeadingAtTop(), ranking->child(1)->text(0));

        window.SearchField()->setText(U("補正下限"));
        QVERIFY(window.SearchResults()->count() > 0);
        emit window.SearchResults()->itemActivated(window.SearchResults()->item(0));
        QCOMPARE(window.Browser()->textCursor().selectedText(), U("補正下限"));
    }

    void f1OpensTheSectionOfEachWindow() {
        struct Session : t::MainWindowSession {
            Session() { t::WriteWorkedExample(data.Path()); }
        } s;
        QVERIFY(SelectPattern(s.window->State(), s.window->State().Pattern));
        QVERIFY(s.window->StartPatternLoad(s.window.get()));
        QVERIFY(s.WaitForLoad());
        QCOMPARE(s.window->findChild<QAction*>("MenuGuide")->shortcut(), QKeySequence(Qt::Key_F1));

        QCOMPARE(PressF1In(s.window.get()), QStringList({U("index.md"), U("Lomi 使い方")}));
        s.window->BreakdownMenuChosen();
        QCOMPARE(PressF1In(s.window->Breakdown()), QStringList({U("analysis.md"), U("内訳")}));
        s.window->ChartMenuChosen();
        QCOMPARE(PressF1In(s.window->Chart()), QStringList({U("analysis.md"), U("損益グラフ")}));
        QCOMPARE(PressF1In(s.window->OpenRankingWindow()),
                 QStringList({U("ranking.md"), U("全パターン集計")}));
    }

    void aboutNamesTheVersionAndTheLicences() {
        t::MainWindowSession s;
        QString shown;
        {
            const auto watch = t::WhenModal<AboutDialog>([&](AboutDialog* dialog) {
                shown = dialog->Text()->text();
                QVERIFY(dialog->AboutQtButton() != nullptr);
                dialog->reject();
            });
            s.window->findChild<QAction*>("MenuAbout")->trigger();
        }
        for (const QString& line :
             {U("バージョン " LOMI_VERSION), U("Copyright (c) 2026 The Lomi developers"),
              U("ライセンス: MIT"), U("GPL-3.0 の条件で配布"), U("Qt ") + qVersion(),
              U("ライセンス文: ")}) {
            QVERIFY2(shown.contains(line), qPrintable(line + " in\n" + shown));
        }
    }
};

QTEST_MAIN(HelpMenuTest)
#include "help_menu_test.moc"
