#pragma once

class QMainWindow;
class QWidget;

namespace lomi {

class HelpWindow;

// Adds ﾍﾙﾌﾟ(&H) to window's menu bar: 使い方 (F1 in every window of the
// program, opening the guide at the section of the window it was pressed
// in) and バージョン情報.
void InstallHelpMenu(QMainWindow* window);

// The section of the guide that explains window ("ranking.md" and an
// anchor); the first page for a window the guide has no section for.
struct GuideSection {
    const char* page;
    const char* anchor;
};
GuideSection GuideSectionFor(const QWidget* window);

// Opens the guide in a window of its own, or brings the open one to the
// front, at the section for window.
HelpWindow* ShowGuideFor(const QWidget* window);

}  // namespace lomi
