#include "qt/DriveChooser.h"

#include "qt/drawn_icon.h"

#include <QLinearGradient>
#include <QPainter>

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
    // Activated: the user's choices only, also of the drive already shown.
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit driveChosen(static_cast<std::size_t>(index)); });
}

void DriveChooser::show(const std::vector<std::string>& drives, std::optional<std::size_t> chosen) {
    const QSignalBlocker blocker(this);
    clear();
    for (const std::string& drive : drives) {
        addItem(icon_, QString::fromStdString(drive));
    }
    setCurrentIndex(chosen ? static_cast<int>(*chosen) : -1);
}

void DriveChooser::showPopup() {
    emit aboutToPopUp();
    QComboBox::showPopup();
}

} // namespace quillarbor
