// The folder browser over temporary folders standing in for drives: where it
// opens, single and double clicks, drive changes that fail, folders that are
// gone or unreadable, big folders, and the drives of a Linux mount table.
#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <memory>
#include <string>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include "dialogs/folder_browser.h"
#include "dialogs/folder_dialog.h"
#include "folder_dialogs.h"
#include "support/temp_folder.h"
#include "ui/dir_list.h"
#include "ui/drive_list.h"
#include "ui/drives.h"

using lomi::FolderBrowser;
using lomi::FolderDialog;
namespace fs = std::filesystem;
namespace t = lomi::test;
using t::Q;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Two drives made of temporary folders; the current directory lies on the
// first, in its folder "work". The settings dialog shows folder.
struct Machine {
    t::TempFolder a;
    t::TempFolder b;
    lomi::ProgramState state;
    std::unique_ptr<FolderDialog> dir;

    Machine() {
        t::MakeFolders(a.Path(), {"work", "data/sub1", "data/Sub2", "data/beta", "data/.hidden"});
        t::WriteBytes(a / "data" / "file.txt", "x");
        t::MakeFolders(b.Path(), {"tickets"});
    }

    // Opens the settings dialog on folder with the given drives.
    void Open(const QString& folder, std::vector<fs::path> roots = {}) {
        if (roots.empty()) roots = {a.Path(), b.Path()};
        state.DataFolder = folder.toStdString();
        dir = std::make_unique<FolderDialog>(state, t::FolderDrives(roots, a / "work"));
        dir->show();
    }

    QString FolderLabel() const { return dir->FolderLabel()->text(); }
};

bool MessageBoxShown() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMessageBox*>(window) && window->isVisible()) return true;
    }
    return false;
}

#ifndef _WIN32
// File permissions do not stop root; the test drops to the user nobody
// while it reads the folders.
class Unprivileged {
public:
    Unprivileged() {
        if (geteuid() == 0) active_ = seteuid(65534) == 0;
    }
    ~Unprivileged() {
        if (active_) (void)seteuid(0);
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;
    bool Refused(const fs::path& folder) const {
        std::error_code error;
        fs::directory_iterator it(folder, error);
        return static_cast<bool>(error);
    }

private:
    bool active_ = false;
};
#endif

}  // namespace

class FolderBrowserTest : public QObject {
    Q_OBJECT

private slots:
    void screenReadersHearTheFolderControlsByName() {
        Machine m;
        m.Open(Q(m.b / "tickets"));
        QCOMPARE(t::AccessibleName(t::Button(m.dir.get(), "BrowseButton")), U("ﾌｫﾙﾀﾞの選択"));
        QCOMPARE(t::AccessibleName(m.dir->FolderLabel()), Q(m.b / "tickets"));
        QCOMPARE(t::AccessibleDescription(m.dir->FolderLabel()),
                 U("Tolvikｺﾝﾃｽﾄ形式買い目ﾌｧｲﾙ格納ﾌｫﾙﾀﾞ"));
        QCOMPARE(t::AccessibleName(t::Button(m.dir.get(), "OkButton")), U("OK"));
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            QCOMPARE(t::AccessibleName(p->FolderList()), U("ﾌｫﾙﾀﾞ"));
            QCOMPARE(t::AccessibleDescription(p->DriveSelector()), U("ﾄﾞﾗｲﾌﾞ"));
            QCOMPARE(t::AccessibleName(t::Button(p, "CancelButton")), U("ｷｬﾝｾﾙ"));
        }));
    }

    void theBrowserHandsItsFolderBackOnlyOnOk() {
        Machine m;
        m.Open(Q(m.a / "data"));
        FolderBrowser browser(Q(m.a / "data" / "sub1"),
                              t::FolderDrives({m.a.Path()}, m.a / "work"));
        QSignalSpy chosen(&browser, &FolderBrowser::FolderChosen);
        browser.CancelClicked();
        QCOMPARE(chosen.count(), 0);
        browser.OkClicked();
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toString(), Q(m.a / "data" / "sub1"));
    }

    void opensModallyAtItsPlaceOnTheShownFolderWithTheCurrentDrive() {
        Machine m;
        m.Open(Q(m.b / "tickets"));
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            QCOMPARE(p->windowTitle(), U("ﾌｫﾙﾀﾞの選択"));
            QCOMPARE(QApplication::activeModalWidget(), p);
            QCOMPARE(p->parentWidget(), m.dir.get());
            QCOMPARE(p->geometry(), QRect(403, 92, 232, 272));
            QCOMPARE(p->FolderList()->geometry(), QRect(6, 35, 220, 202));
            QCOMPARE(p->FolderList()->toolTip(), U("ダブルクリックで選択"));
            QCOMPARE(t::Button(p, "OkButton")->text(), U("OK"));
            QCOMPARE(t::Button(p, "CancelButton")->text(), U("ｷｬﾝｾﾙ"));
            QTRY_COMPARE(QApplication::focusWidget(), p->DriveSelector());

            // The drive list stays on the current directory's drive while
            // the directory list shows the folder on the other one.
            QCOMPARE(p->DriveSelector()->ListCount(), 2);
            QCOMPARE(p->DriveSelector()->Drive(), Q(m.a.Path()));
            QCOMPARE(p->PreviousDrive(), Q(m.a.Path()));
            QCOMPARE(p->FolderList()->Path(), Q(m.b / "tickets"));
        }));
        QCOMPARE(m.FolderLabel(), Q(m.b / "tickets"));
    }

    void listsTheFoldersDownToThePathThenItsSubfoldersByName() {
        Machine m;
        m.Open(Q(m.a / "data"));
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            lomi::ui::DirList* list = p->FolderList();
            QStringList chain;
            for (fs::path walked = m.a / "data";; walked = walked.parent_path()) {
                chain.prepend(walked == walked.root_path() ? Q(walked) : Q(walked.filename()));
                if (walked == walked.root_path()) break;
            }
            const int depth = static_cast<int>(chain.size());
            QCOMPARE(list->ListCount(), depth + 3);
            for (int row = 0; row < depth; ++row) {
                QCOMPARE(list->List(row), chain[row]);
                QCOMPARE(list->ItemLevel(row), row);
            }
            // The root keeps its separator: "/" or "C:\".
            const QString root = Q((m.a / "data").root_path());
            QCOMPARE(list->List(0), root);
            QCOMPARE(list->ItemPath(0), root);
            // Hidden folders and files are not listed; names ignore case.
            QCOMPARE(list->List(depth), U("beta"));
            QCOMPARE(list->List(depth + 1), U("sub1"));
            QCOMPARE(list->List(depth + 2), U("Sub2"));
            QCOMPARE(list->ItemPath(depth + 1), Q(m.a / "data" / "sub1"));
            QCOMPARE(list->ItemLevel(depth + 2), depth);
            QCOMPARE(list->Highlighted(), depth - 1);
        }));
    }

    void okAtOnceGivesTheShownFolderAsTheListWritesIt() {
        Machine m;
        m.Open(Q(m.a / "data") + "/");
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) { t::Click(t::Button(p, "OkButton")); }));
        QCOMPARE(m.FolderLabel(), Q(m.a / "data"));
        QCOMPARE(m.state.DataFolder,
                 (m.a / "data").string() + "/");  // only OK in FolderDialog sets it
    }

    void aSingleClickOnlyHighlightsADoubleClickOpens() {
        Machine m;
        m.Open(Q(m.a / "data"));
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            const int before = p->FolderList()->Highlighted();
            t::ClickFolder(p->FolderList(), "sub1");
            QVERIFY(p->FolderList()->Highlighted() != before);
            QCOMPARE(p->FolderList()->List(p->FolderList()->Highlighted()), U("sub1"));
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "data"));
            t::Click(t::Button(p, "OkButton"));
        }));
        QCOMPARE(m.FolderLabel(), Q(m.a / "data"));

        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            t::DoubleClickFolder(p->FolderList(), "Sub2");
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "data" / "Sub2"));
            QCOMPARE(p->FolderList()->List(p->FolderList()->Highlighted()), U("Sub2"));
            t::Click(t::Button(p, "OkButton"));
        }));
        QCOMPARE(m.FolderLabel(), Q(m.a / "data" / "Sub2"));
    }

    void goingUpToTheRootKeepsItsSeparator() {
        Machine m;
        m.Open(Q(m.a / "data" / "sub1"));
        const QString root = Q((m.a / "data").root_path());
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            t::DoubleClickFolder(p->FolderList(), "data");
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "data"));
            t::DoubleClickFolder(p->FolderList(), root);
            QCOMPARE(p->FolderList()->Path(), root);
            QCOMPARE(p->FolderList()->ListCount(),
                     1 + static_cast<int>(
                             QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size()));
            t::Click(t::Button(p, "OkButton"));
        }));
        QCOMPARE(m.FolderLabel(), root);
    }

    void pickingADriveOpensItsCurrentFolderAndCancelForgetsIt() {
        Machine m;
        m.Open(Q(m.a / "data"));
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            t::PickDrive(p->DriveSelector(), 1);
            QCOMPARE(p->DriveSelector()->Drive(), Q(m.b.Path()));
            QCOMPARE(p->FolderList()->Path(), Q(m.b.Path()));
            QCOMPARE(p->PreviousDrive(), Q(m.b.Path()));
            // Back on the drive of the current directory: that directory.
            t::PickDrive(p->DriveSelector(), 0);
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "work"));
            t::Click(t::Button(p, "CancelButton"));
        }));
        QCOMPARE(m.FolderLabel(), Q(m.a / "data"));

        // Esc and the close box cancel as well.
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            t::PickDrive(p->DriveSelector(), 1);
            QTest::keyClick(p, Qt::Key_Escape);
            QVERIFY(!p->isVisible());
        }));
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            t::PickDrive(p->DriveSelector(), 1);
            QVERIFY(p->close());
        }));
        QCOMPARE(m.FolderLabel(), Q(m.a / "data"));
        QCOMPARE(m.dir->Browser(), nullptr);
    }

    void aDriveThatCannotBeOpenedGoesBackWithoutAMessage() {
        Machine m;
        t::TempFolder gone;
        const fs::path missing = gone / "no-medium";
        m.Open(Q(m.a / "data"), {m.a.Path(), m.b.Path(), missing});
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            t::PickDrive(p->DriveSelector(), 1);
            QSignalSpy changes(p->DriveSelector(), &lomi::ui::DriveList::Change);
            t::PickDrive(p->DriveSelector(), 2);
            // Undone: back on the drive before, at its current folder.
            QCOMPARE(p->DriveSelector()->Drive(), Q(m.b.Path()));
            QCOMPARE(p->DriveSelector()->currentText(), U(m.b.Path().filename().string().c_str()));
            QCOMPARE(p->FolderList()->Path(), Q(m.b.Path()));
            QCOMPARE(p->PreviousDrive(), Q(m.b.Path()));
            QCOMPARE(changes.count(), 2);
            QVERIFY(!MessageBoxShown());
            QCOMPARE(QApplication::activeModalWidget(), p);
            t::Click(t::Button(p, "OkButton"));
        }));
        QCOMPARE(m.FolderLabel(), Q(m.b.Path()));
    }

    void whenThePreviousDriveFailsTooTheUndoStops() {
        Machine m;
        m.Open(Q(m.a / "data"));
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            // Both drives become unreadable while the browser is open: the
            // other one, and the current folder of the one it shows.
            fs::remove_all(m.b.Path());
            fs::remove_all(m.a / "work");
            QSignalSpy changes(p->DriveSelector(), &lomi::ui::DriveList::Change);
            t::PickDrive(p->DriveSelector(), 1);
            QCOMPARE(changes.count(), 2);
            QCOMPARE(p->DriveSelector()->Drive(), Q(m.a.Path()));
            QCOMPARE(p->PreviousDrive(), Q(m.a.Path()));
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "data"));
            QVERIFY(!MessageBoxShown());
            t::Click(t::Button(p, "OkButton"));
        }));
        QCOMPARE(m.FolderLabel(), Q(m.a / "data"));
        fs::create_directories(m.b.Path());  // for the clean-up
    }

    void aFolderThatIsGoneOpensAtItsNearestParent() {
        Machine m;
        m.Open(Q(m.a / "data" / "gone" / "deeper"));
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "data"));
            QCOMPARE(m.FolderLabel(), Q(m.a / "data" / "gone" / "deeper"));
            t::Click(t::Button(p, "OkButton"));
        }));
        QCOMPARE(m.FolderLabel(), Q(m.a / "data"));

        // A file where the folder was: its folder.
        m.dir->FolderLabel()->setText(Q(m.a / "data" / "file.txt"));
        QVERIFY(t::Browse(
            *m.dir, [&](FolderBrowser* p) { QCOMPARE(p->FolderList()->Path(), Q(m.a / "data")); }));

        // No folder at all: the home folder.
        m.dir->FolderLabel()->setText(QString());
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            QCOMPARE(p->FolderList()->Path(), QDir::toNativeSeparators(QDir::homePath()));
        }));
    }

#ifndef _WIN32
    // POSIX by nature: permission bits, and symbolic links that Windows
    // makes only with privileges. Windows' own folder listing is tested
    // with the core.
    void unreadableFoldersAreListedButDoNotOpen() {
        Machine m;
        t::MakeFolders(m.a.Path(), {"data/locked/inner"});
        fs::permissions(m.a / "data" / "locked", fs::perms::none);
        m.Open(Q(m.a / "data" / "locked" / "inner"));
        Unprivileged nobody;
        if (!nobody.Refused(m.a / "data" / "locked")) QSKIP("permissions are not enforced here");
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            // Starting inside it: the nearest folder that can be read.
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "data"));
            QVERIFY(t::RowNamed(p->FolderList(), U("locked")) >= 0);
            t::DoubleClickFolder(p->FolderList(), "locked");
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "data"));
            t::DoubleClickFolder(p->FolderList(), "sub1");
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "data" / "sub1"));
        }));
    }

    void linksToFoldersAreListedBrokenLinksAndRemovedFoldersAreNot() {
        Machine m;
        fs::create_directory_symlink(m.b / "tickets", m.a / "data" / "linked");
        fs::create_directory_symlink(m.a / "nowhere", m.a / "data" / "broken");
        m.Open(Q(m.a / "data"));
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            QVERIFY(t::RowNamed(p->FolderList(), U("linked")) >= 0);
            QCOMPARE(t::RowNamed(p->FolderList(), U("broken")), -1);
            t::DoubleClickFolder(p->FolderList(), "linked");
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "data" / "linked"));
            // A folder removed after it was listed: the list stays.
            t::DoubleClickFolder(p->FolderList(), "data");
            fs::remove_all(m.a / "data" / "beta");
            t::DoubleClickFolder(p->FolderList(), "beta");
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "data"));
        }));
    }

#endif

    void aFolderWithThousandsOfSubfoldersOpens() {
        Machine m;
        constexpr int kCount = 5000;
        fs::create_directory(m.a / "data" / "many");
        for (int i = 0; i < kCount; ++i) {
            fs::create_directory(m.a / "data" / "many" / ("race" + std::to_string(i)));
        }
        m.Open(Q(m.a / "data"));
        QVERIFY(t::Browse(*m.dir, [&](FolderBrowser* p) {
            QElapsedTimer clock;
            clock.start();
            t::DoubleClickFolder(p->FolderList(), "many");
            const qint64 elapsed = clock.elapsed();
            qInfo("opening %d subfolders took %lld ms", kCount, elapsed);
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "data" / "many"));
            QCOMPARE(p->FolderList()->ListCount(),
                     p->FolderList()->ItemLevel(p->FolderList()->ListCount() - 1) + kCount);
            // The last one can be reached and opened.
            t::DoubleClickFolder(p->FolderList(), "race999");
            QCOMPARE(p->FolderList()->Path(), Q(m.a / "data" / "many" / "race999"));
        }));
    }

#ifndef _WIN32
    // The Linux mount table; Windows has drive letters.
    void aMountTableGivesTheRootTheHomeVolumeAndRemovableMedia() {
        const std::string table =
            "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
            "22 26 0:21 / /sys rw,relatime - sysfs sysfs rw\n"
            "24 23 0:22 / /dev/shm rw,relatime - tmpfs tmpfs rw\n"
            "26 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
            "30 26 0:27 / /mnt/ramdisk rw - tmpfs tmpfs rw\n"
            "31 26 8:17 / /run/media/kei/USB\\040STICK rw,nosuid shared:7 - vfat /dev/sdb1 rw\n"
            "32 26 8:2 / /home rw,relatime shared:2 - ext4 /dev/sda2 rw\n"
            "33 26 8:33 / /media/cdrom ro - iso9660 /dev/sr0 ro\n"
            "34 26 0:40 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw\n"
            "35 26 8:49 / /mnt/backup rw - ext4 /dev/sdd1 rw\n"
            "36 26 7:1 / /snap/core/1 ro - squashfs /dev/loop1 ro\n"
            "37 26 8:49 / /mnt/backup rw - ext4 /dev/sdd1 rw\n"
            "broken line\n";
        const auto drives = lomi::ui::DrivesOf(lomi::VolumesFromMountInfo(table, "/home/kei"));
        QStringList roots;
        for (const auto& drive : drives) roots << drive.root;
        QCOMPARE(roots, (QStringList{U("/"), U("/home"), U("/media/cdrom"), U("/mnt/backup"),
                                     U("/run/media/kei/USB STICK")}));
        QCOMPARE(drives[4].label, U("/run/media/kei/USB STICK"));

        // A home on the root volume adds nothing; the root comes first even
        // without a table.
        QCOMPARE(lomi::ui::DrivesOf(lomi::VolumesFromMountInfo(table, "/root")).size(),
                 std::size_t{4});
        QCOMPARE(lomi::ui::DrivesOf(lomi::VolumesFromMountInfo("", "/root")).size(),
                 std::size_t{1});
        const auto machine = lomi::ui::ListDrives();
        QVERIFY(!machine.empty());
        QCOMPARE(machine.front().root, U("/"));
    }
#endif
};

QTEST_MAIN(FolderBrowserTest)
#include "folder_browser_test.moc"
