#pragma once

#include <QStringList>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTreeWidget;

namespace lomi {

// The guide built into the program: Markdown pages with their images under
// this resource folder, the first page listing the others.
inline constexpr const char* kGuideFolder = ":/guide";
inline constexpr const char* kGuideFirstPage = "index.md";

// The anchor a heading is reached by, as common Markdown viewers make it:
// lower case, blanks to hyphens, punctuation dropped ("95%区間と補正下限"
// gives "95区間と補正下限").
QString HeadingAnchor(const QString& heading);

// The guide's pages in the order of the first page's links, the first page
// first.
QStringList GuidePages();

// Shows Markdown pages; a link or source with a fragment scrolls to the
// heading whose anchor it names.
class GuideBrowser : public QTextBrowser {
    Q_OBJECT

public:
    using QTextBrowser::QTextBrowser;

    // The anchors of the headings of the page shown.
    QStringList HeadingAnchors() const;
    // Scrolls so that the heading with this anchor is at the top; false when
    // the page has no such heading.
    bool ScrollToHeading(const QString& anchor);
    // The text of the heading at the top of the view.
    QString HeadingAtTop() const;

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;
    // Joins the lines of a Japanese paragraph: Markdown turns a line break
    // into a blank, which Japanese text does not have between sentences.
    QVariant loadResource(int type, const QUrl& name) override;

private:
    // Pictures wider than the text are shown at its width.
    void FitImages();
};

// 使い方: the guide with its contents (目次) and a search over every page
// (検索) beside it.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Opens page (a file name such as "ranking.md") at the heading with the
    // given anchor, or at its top when anchor is empty.
    void OpenSection(const QString& page, const QString& anchor = QString());

    GuideBrowser* Browser() const { return browser_; }
    QTreeWidget* Contents() const { return contents_; }
    QLineEdit* SearchField() const { return search_; }
    QListWidget* SearchResults() const { return results_; }

private:
    void FillContents();
    void Search(const QString& text);

    QTabWidget* side_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QLineEdit* search_ = nullptr;
    QListWidget* results_ = nullptr;
    GuideBrowser* browser_ = nullptr;
};

}  // namespace lomi
