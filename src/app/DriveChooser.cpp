#include "app/DriveChooser.h"

#include "app/drives.h"

#include <QApplication>
#include <QStyle>

#include <algorithm>

namespace quillarbor {

DriveChooser::DriveChooser(QWidget* parent) : QComboBox(parent) {
    setDriveList(listDrives());
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            emit driveChanged(drives_[static_cast<std::size_t>(index)]);
        }
    });
}

std::string DriveChooser::drive() const {
    const int index = currentIndex();
    return index < 0 ? std::string() : drives_[static_cast<std::size_t>(index)];
}

std::string DriveChooser::driveOf(const std::string& path) const {
    return quillarbor::driveOf(path, drives_);
}

bool DriveChooser::setDrive(const std::string& path) {
    std::string target = driveOf(path);
    if (target.empty()) {
        // Perhaps mounted since the list was read.
        setDriveList(listDrives());
        target = driveOf(path);
        if (target.empty()) {
            return false;
        }
    }
    const auto found = std::find(drives_.begin(), drives_.end(), target);
    setCurrentIndex(static_cast<int>(found - drives_.begin()));
    return true;
}

void DriveChooser::setDriveList(const std::vector<std::string>& drives) {
    const std::string current = drive();
    const QSignalBlocker blocker(this);
    clear();
    drives_ = drives;
    const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const std::string& d : drives_) {
        addItem(icon, QString::fromStdString(d));
    }
    const auto kept = std::find(drives_.begin(), drives_.end(), current);
    setCurrentIndex(kept == drives_.end() ? -1 : static_cast<int>(kept - drives_.begin()));
}

void DriveChooser::showPopup() {
    // Media come and go while the program runs.
    setDriveList(listDrives());
    QComboBox::showPopup();
}

} // namespace quillarbor
