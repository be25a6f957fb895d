#include "dialogs/help_window.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextFragment>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/window_keys.h"

// Q_INIT_RESOURCE declares its function in the enclosing namespace, so it
// has to run at global scope; a static library's resources are otherwise
// dropped by the linker.
static void InitGuideResources() { Q_INIT_RESOURCE(guide); }

namespace lomi {

namespace {

void EnsureGuideResources() {
    static const bool done = (InitGuideResources(), true);
    (void)done;
}

constexpr int kPageRole = Qt::UserRole;
constexpr int kAnchorRole = Qt::UserRole + 1;

QUrl PageUrl(const QString& page) {
    return QUrl(QStringLiteral("qrc") + QString::fromUtf8(kGuideFolder) + '/' + page);
}

QString PageText(const QString& page) {
    EnsureGuideResources();
    QFile file(QString::fromUtf8(kGuideFolder) + '/' + page);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll());
}

// One heading of a page's Markdown source and the text up to the next one.
struct Section {
    int level = 0;
    QString heading;
    QString text;
};

// The page's sections; lines inside fenced code blocks are never headings.
QList<Section> Sections(const QString& markdown) {
    static const QRegularExpression heading(QStringLiteral("^(#{1,6})\\s+(.*?)\\s*#*\\s*$"));
    QList<Section> sections{Section{}};
    bool fenced = false;
    for (const QString& line : markdown.split('\n')) {
        if (line.startsWith(QStringLiteral("```"))) fenced = !fenced;
        const QRegularExpressionMatch match =
            fenced ? QRegularExpressionMatch() : heading.match(line);
        if (match.hasMatch()) {
            QString text = match.captured(2);
            text.remove('`');
            sections.append({static_cast<int>(match.capturedLength(1)), text, QString()});
        } else {
            sections.last().text += line + '\n';
        }
    }
    return sections;
}

bool Wide(QChar c) { return c.unicode() > 0x2000; }

// The Markdown with the line breaks inside Japanese paragraphs taken out;
// code blocks, headings and tables keep their lines.
QString JoinJapaneseLines(const QString& markdown) {
    QString joined;
    bool fenced = false;
    QString previous;
    for (const QString& line : markdown.split('\n')) {
        if (line.startsWith(QStringLiteral("```"))) fenced = !fenced;
        const bool join = !fenced && !previous.isEmpty() && !line.isEmpty() &&
                          Wide(previous.back()) && Wide(line.front()) &&
                          !previous.startsWith('#') && !previous.startsWith('|');
        if (!joined.isEmpty() && !join) joined += '\n';
        joined += line;
        previous = line;
    }
    return joined;
}

}  // namespace

QString HeadingAnchor(const QString& heading) {
    QString anchor;
    for (const QChar c : heading.toLower()) {
        if (c.isLetterOrNumber() || c == '-' || c == '_') {
            anchor += c;
        } else if (c == ' ') {
            anchor += '-';
        }
    }
    return anchor;
}

QStringList GuidePages() {
    QStringList pages = {QString::fromUtf8(kGuideFirstPage)};
    static const QRegularExpression link(QStringLiteral("\\]\\(([^)#:/]+\\.md)(#[^)]*)?\\)"));
    for (const QRegularExpressionMatch& m : link.globalMatch(PageText(pages.first()))) {
        if (!pages.contains(m.captured(1))) pages << m.captured(1);
    }
    return pages;
}

QStringList GuideBrowser::HeadingAnchors() const {
    QStringList anchors;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0) anchors << HeadingAnchor(block.text());
    }
    return anchors;
}

bool GuideBrowser::ScrollToHeading(const QString& anchor) {
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0 && HeadingAnchor(block.text()) == anchor) {
            setTextCursor(QTextCursor(block));
            const QRectF place = document()->documentLayout()->blockBoundingRect(block);
            verticalScrollBar()->setValue(qRound(place.top()));
            return true;
        }
    }
    return false;
}

QString GuideBrowser::HeadingAtTop() const {
    const double top = verticalScrollBar()->value() + document()->documentMargin();
    QString heading;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0) continue;
        // The page's title counts as at the top while the view is there.
        const bool below = document()->documentLayout()->blockBoundingRect(block).top() > top + 2;
        if (below && !heading.isEmpty()) break;
        heading = block.text();
    }
    return heading;
}

QVariant GuideBrowser::loadResource(int type, const QUrl& name) {
    QVariant resource = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::MarkdownResource) return resource;
    const QString text = resource.typeId() == QMetaType::QByteArray
                             ? QString::fromUtf8(resource.toByteArray())
                             : resource.toString();
    return JoinJapaneseLines(text);
}

void GuideBrowser::FitImages() {
    const double widest = 720;
    QTextCursor cursor(document());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QImage picture(':' + source().resolved(QUrl(image.name())).path());
            if (picture.isNull() || picture.width() <= widest) continue;
            image.setWidth(widest);
            image.setHeight(widest * picture.height() / picture.width());
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}

void GuideBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    // Qt's Markdown reader gives headings no anchors: the page is loaded
    // without the fragment, and the fragment names a heading by its anchor.
    const QUrl page = name.adjusted(QUrl::RemoveFragment);
    if (page != source().adjusted(QUrl::RemoveFragment) || document()->isEmpty()) {
        QTextBrowser::doSetSource(
            page, type == QTextDocument::UnknownResource ? QTextDocument::MarkdownResource : type);
        FitImages();
    }
    if (!name.hasFragment() || !ScrollToHeading(name.fragment(QUrl::FullyDecoded))) {
        verticalScrollBar()->setValue(0);
    }
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    EnsureGuideResources();
    setObjectName("HelpWindow");
    setWindowTitle(QString::fromUtf8("Lomi 使い方"));

    contents_ = new QTreeWidget(this);
    contents_->setObjectName("GuideContents");
    contents_->setHeaderHidden(true);
    contents_->setAccessibleName(QString::fromUtf8("目次"));

    auto* searchPage = new QWidget(this);
    search_ = new QLineEdit(searchPage);
    search_->setObjectName("GuideSearch");
    search_->setPlaceholderText(QString::fromUtf8("探す言葉"));
    search_->setAccessibleName(QString::fromUtf8("検索"));
    search_->setClearButtonEnabled(true);
    results_ = new QListWidget(searchPage);
    results_->setObjectName("GuideSearchResults");
    results_->setAccessibleName(QString::fromUtf8("検索結果"));
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    searchLayout->addWidget(search_);
    searchLayout->addWidget(results_, 1);

    side_ = new QTabWidget(this);
    side_->addTab(contents_, QString::fromUtf8("目次(&C)"));
    side_->addTab(searchPage, QString::fromUtf8("検索(&S)"));

    browser_ = new GuideBrowser(this);
    browser_->setObjectName("GuideText");
    browser_->setAccessibleName(QString::fromUtf8("使い方"));
    browser_->setOpenExternalLinks(true);
    browser_->document()->setDocumentMargin(12);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(side_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 760});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);
    resize(1000, 700);

    const auto openItem = [this](const QVariant& page, const QVariant& anchor) {
        OpenSection(page.toString(), anchor.toString());
    };
    connect(contents_, &QTreeWidget::itemActivated, this, [openItem](QTreeWidgetItem* item) {
        openItem(item->data(0, kPageRole), item->data(0, kAnchorRole));
    });
    connect(contents_, &QTreeWidget::itemClicked, this, [openItem](QTreeWidgetItem* item) {
        openItem(item->data(0, kPageRole), item->data(0, kAnchorRole));
    });
    connect(search_, &QLineEdit::textChanged, this, &HelpWindow::Search);
    const auto openResult = [this](QListWidgetItem* item) {
        OpenSection(item->data(kPageRole).toString(), item->data(kAnchorRole).toString());
        browser_->find(search_->text());
    };
    connect(results_, &QListWidget::itemActivated, this, openResult);
    connect(results_, &QListWidget::itemClicked, this, openResult);
    ui::CloseWithKeys(this);

    FillContents();
    OpenSection(QString::fromUtf8(kGuideFirstPage));
}

void HelpWindow::OpenSection(const QString& page, const QString& anchor) {
    QUrl url = PageUrl(page);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    browser_->setSource(url, QTextDocument::MarkdownResource);
}

void HelpWindow::FillContents() {
    for (const QString& page : GuidePages()) {
        QTreeWidgetItem* top = nullptr;
        for (const Section& section : Sections(PageText(page))) {
            if (section.level == 1 && top == nullptr) {
                top = new QTreeWidgetItem(contents_, {section.heading});
                top->setData(0, kPageRole, page);
            } else if (section.level == 2 && top != nullptr) {
                auto* item = new QTreeWidgetItem(top, {section.heading});
                item->setData(0, kPageRole, page);
                item->setData(0, kAnchorRole, HeadingAnchor(section.heading));
            }
        }
    }
    contents_->expandAll();
}

void HelpWindow::Search(const QString& text) {
    results_->clear();
    const QString wanted = text.trimmed();
    if (wanted.isEmpty()) return;
    for (const QString& page : GuidePages()) {
        QString title;
        for (const Section& section : Sections(PageText(page))) {
            if (section.level == 1 && title.isEmpty()) title = section.heading;
            if (!section.heading.contains(wanted, Qt::CaseInsensitive) &&
                !section.text.contains(wanted, Qt::CaseInsensitive)) {
                continue;
            }
            const QString shown = section.heading.isEmpty() || section.heading == title
                                      ? title
                                      : title + QStringLiteral(" › ") + section.heading;
            auto* item = new QListWidgetItem(shown, results_);
            item->setData(kPageRole, page);
            item->setData(kAnchorRole,
                          section.level > 1 ? HeadingAnchor(section.heading) : QString());
        }
    }
    side_->setCurrentIndex(1);
}

}  // namespace lomi
