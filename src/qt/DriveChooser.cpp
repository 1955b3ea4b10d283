#include "qt/DriveChooser.h"

#include "app/drives.h"
#include "qt/drawn_icon.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace quillarbor {

namespace {

// A disk drive in 16 units: a grey case, its darker front and a green light.
void drawDrive(QPainter& painter) {
    QLinearGradient shade(0.0, 3.5, 0.0, 12.5);
    shade.setColorAt(0.0, QColor(0xf0, 0xf0, 0xf0));
    shade.setColorAt(1.0, QColor(0xb0, 0xb0, 0xb0));
    painter.setPen(QPen(QColor(0x4a, 0x4a, 0x4a), 1.0));
    painter.setBrush(shade);
    painter.drawRoundedRect(QRectF(1.5, 3.5, 13.0, 9.0), 1.5, 1.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x78, 0x78, 0x78));
    painter.drawRect(QRectF(2.0, 9.0, 12.0, 3.0));
    painter.setBrush(QColor(0x40, 0xd0, 0x40));
    painter.drawEllipse(QPointF(12.0, 10.5), 1.0, 1.0);
}

} // namespace

DriveChooser::DriveChooser(QWidget* parent) : QComboBox(parent), icon_(drawnIcon(drawDrive)) {
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
    for (const std::string& d : drives_) {
        addItem(icon_, QString::fromStdString(d));
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
