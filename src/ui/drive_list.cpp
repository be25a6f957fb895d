#include "ui/drive_list.h"

#include <QSignalBlocker>
#include <QStyle>

#include "ui/drives.h"
#include "ui/folder_path.h"

namespace lomi::ui {

namespace {
constexpr int kRootRole = Qt::UserRole;
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, &DriveList::OnIndexChanged);
}

void DriveList::SetDrives(const std::vector<ui::Drive>& drives, const QString& shown) {
    const QSignalBlocker blocker(this);
    clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const ui::Drive& drive : drives) addItem(icon, drive.label, NormalFolder(drive.root));
    const int index = IndexOfRoot(shown);
    setCurrentIndex(index >= 0 ? index : (count() > 0 ? 0 : -1));
    drive_ = currentIndex() >= 0 ? currentData(kRootRole).toString() : QString();
}

bool DriveList::SetDrive(const QString& root) {
    const int index = IndexOfRoot(root);
    if (index < 0) return false;
    // Raises Change through OnIndexChanged when the index moves.
    setCurrentIndex(index);
    return true;
}

void DriveList::OnIndexChanged(int index) {
    const QString root = index >= 0 ? itemData(index, kRootRole).toString() : QString();
    if (root == drive_) return;
    drive_ = root;
    emit Change();
}

int DriveList::IndexOfRoot(const QString& root) const {
    if (root.isEmpty()) return -1;
    const QString wanted = NormalFolder(root);
    for (int i = 0; i < count(); ++i) {
        if (itemData(i, kRootRole).toString().compare(wanted, FolderNameCase()) == 0) return i;
    }
    return -1;
}

}  // namespace lomi::ui
