#pragma once

#include <vector>

#include <QComboBox>
#include <QString>

#include "ui/drives.h"

namespace lomi::ui {

// A drop-down list of drives. Its drive is the root of the drive it shows;
// Change is raised whenever that drive actually changes, whether the user
// picked another one or the program set it.
class DriveList : public QComboBox {
    Q_OBJECT

public:
    explicit DriveList(QWidget* parent = nullptr);

    // Fills the list and shows the drive with root shown (the first drive
    // when there is none such) without raising Change.
    void SetDrives(const std::vector<ui::Drive>& drives, const QString& shown);

    // Root of the shown drive; empty when the list is empty.
    QString Drive() const { return drive_; }
    // Shows the drive with that root. Returns false, changing nothing, when
    // the list has no such drive.
    bool SetDrive(const QString& root);

    int ListCount() const { return count(); }
    QString List(int index) const { return itemText(index); }

signals:
    void Change();

private:
    void OnIndexChanged(int index);
    int IndexOfRoot(const QString& root) const;

    QString drive_;
};

}  // namespace lomi::ui
