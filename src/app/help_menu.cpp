#include "app/help_menu.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "dialogs/about_dialog.h"
#include "dialogs/breakdown_window.h"
#include "dialogs/folder_dialog.h"
#include "dialogs/help_window.h"
#include "dialogs/pattern_dialog.h"
#include "dialogs/profit_chart_window.h"
#include "dialogs/ranking_window.h"

namespace lomi {

GuideSection GuideSectionFor(const QWidget* window) {
    if (qobject_cast<const RankingWindow*>(window)) return {"ranking.md", ""};
    if (qobject_cast<const BreakdownWindow*>(window)) return {"analysis.md", "内訳"};
    if (qobject_cast<const ProfitChartWindow*>(window)) return {"analysis.md", "損益グラフ"};
    if (qobject_cast<const PatternDialog*>(window)) return {"usage.md", "パターンを開く"};
    if (qobject_cast<const FolderDialog*>(window)) return {"usage.md", "データﾌｫﾙﾀﾞの設定"};
    return {"index.md", ""};
}

HelpWindow* ShowGuideFor(const QWidget* window) {
    // One guide window for the whole program; it lives until it is closed.
    static QPointer<HelpWindow> guide;
    if (!guide) {
        guide = new HelpWindow;
        guide->setAttribute(Qt::WA_DeleteOnClose);
    }
    // F1 in the guide itself leaves it where the reader is.
    if (window == guide) return guide;
    const GuideSection section = GuideSectionFor(window);
    // Shown first: a hidden browser keeps the scroll range of its last page,
    // which would stop the scroll short of the section's heading.
    guide->show();
    guide->OpenSection(QString::fromUtf8(section.page), QString::fromUtf8(section.anchor));
    guide->raise();
    guide->activateWindow();
    return guide;
}

void InstallHelpMenu(QMainWindow* window) {
    QMenu* help = window->menuBar()->addMenu(QString::fromUtf8("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName("MenuHelp");
    QAction* guide = help->addAction(QString::fromUtf8("使い方(&U)"));
    guide->setObjectName("MenuGuide");
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    // F1 works in the analysis windows too, and opens the guide where it
    // explains the window it was pressed in.
    guide->setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(guide, &QAction::triggered, window,
                     [] { ShowGuideFor(QApplication::activeWindow()); });
    QAction* about = help->addAction(QString::fromUtf8("バージョン情報(&A)"));
    about->setObjectName("MenuAbout");
    QObject::connect(about, &QAction::triggered, window, [window] {
        // On the heap: closing the window while the box waits deletes it too.
        const QPointer<AboutDialog> dialog = new AboutDialog(window);
        dialog->exec();
        delete dialog.data();
    });
}

}  // namespace lomi
