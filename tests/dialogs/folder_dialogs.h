#pragma once

// Driving the folder settings dialog and the folder browser from Qt Test:
// temporary folders as drives, browsing, clicking folders and drives.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "dialogs/folder_browser.h"
#include "dialogs/folder_dialog.h"
#include "support/temp_folder.h"
#include "ui/dir_list.h"
#include "ui/drive_list.h"
#include "ui/drives.h"
#include "ui/gui_test_helpers.h"

namespace lomi::test {

inline QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

inline void MakeFolders(const std::filesystem::path& base, const std::vector<const char*>& names) {
    for (const char* name : names) std::filesystem::create_directories(base / name);
}

// Drives made of folders, with the process's current directory on one of
// them.
inline ui::DriveSource FolderDrives(std::vector<std::filesystem::path> roots,
                                    std::filesystem::path currentDirectory) {
    ui::DriveSource source;
    source.list = [roots] {
        std::vector<ui::Drive> drives;
        for (const auto& root : roots) drives.push_back({Q(root), Q(root.filename())});
        return drives;
    };
    source.currentDirectory = [currentDirectory] { return Q(currentDirectory); };
    return source;
}

inline QPushButton* Button(QWidget* dialog, const char* name) {
    return dialog->findChild<QPushButton*>(name);
}

// Runs open, which shows a modal window, and runs act on that window once it
// is shown, from the window's own event loop; a window of kind Dialog that
// act leaves open is closed. Other modal windows meanwhile (a progress
// dialog) are left alone. Returns whether the window appeared; when it has
// not within ten seconds the test fails and every modal window is closed.
template <class Dialog>
bool WhileModal(const std::function<void()>& open, const std::function<void(Dialog*)>& act) {
    struct Watch {
        std::function<void(Dialog*)> act;
        QElapsedTimer clock;
        bool watching = true;
        bool opened = false;
    };
    struct Poller {
        static void Run(const std::shared_ptr<Watch>& w) {
            if (!w->watching) return;
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible()) {
                w->watching = false;
                w->opened = true;
                w->act(dialog);
                if (dialog->isVisible()) dialog->close();
                return;
            }
            if (w->clock.elapsed() > kModalWaitMilliseconds) {
                w->watching = false;
                FailAndCloseModals("the expected modal window did not appear");
                return;
            }
            QTimer::singleShot(10, [w] { Run(w); });
        }
    };
    auto watch = std::make_shared<Watch>();
    watch->act = act;
    watch->clock.start();
    QTimer::singleShot(0, [watch] { Poller::Run(watch); });
    open();
    watch->watching = false;
    return watch->opened;
}

// Presses "..." in dir and runs act on the folder browser once it is shown;
// a browser that act leaves open is cancelled.
inline bool Browse(FolderDialog& dir, const std::function<void(FolderBrowser*)>& act) {
    return WhileModal<FolderBrowser>([&] { Click(Button(&dir, "BrowseButton")); }, act);
}

inline int RowNamed(const ui::DirList* list, const QString& name) {
    for (int row = 0; row < list->ListCount(); ++row) {
        if (list->List(row) == name) return row;
    }
    return -1;
}

inline QPoint RowCentre(ui::DirList* list, int row) {
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    return list->visualRect(index).center();
}

inline void ClickFolder(ui::DirList* list, const char* name) {
    const int row = RowNamed(list, QString::fromUtf8(name));
    QVERIFY2(row >= 0, name);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, row));
}

inline void DoubleClickFolder(ui::DirList* list, const QString& name) {
    const int row = RowNamed(list, name);
    QVERIFY2(row >= 0, qPrintable(name));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, row));
}

inline void DoubleClickFolder(ui::DirList* list, const char* name) {
    DoubleClickFolder(list, QString::fromUtf8(name));
}

// Opens the drive list and clicks the drive at index, as the user picks one.
inline void PickDrive(ui::DriveList* drives, int index) {
    drives->showPopup();
    QAbstractItemView* view = drives->view();
    QVERIFY(QTest::qWaitFor([view] { return view->isVisible(); }));
    const QRect item = view->visualRect(view->model()->index(index, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    QVERIFY(QTest::qWaitFor([view] { return !view->isVisible(); }));
}

}  // namespace lomi::test
