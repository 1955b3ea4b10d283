#include "qt/TrayIcon.h"

#include <QCursor>
#include <QTimer>
#include <QToolTip>

#include <utility>

namespace quillarbor {

namespace {

// Desktops often start their notification area after the programs started at logon.
constexpr std::chrono::milliseconds kDefaultRetryInterval{2000};

} // namespace

TrayIcon::TrayIcon(const QIcon& icon, QObject* parent)
    : QObject(parent), icon_(new QSystemTrayIcon(icon, this)), retryTimer_(new QTimer(this)),
      isAvailable_(&QSystemTrayIcon::isSystemTrayAvailable) {
    retryTimer_->setInterval(kDefaultRetryInterval);
    connect(retryTimer_, &QTimer::timeout, this, &TrayIcon::retry);
    // Clicks come from the icon alone, never from mouse movement over the window.
    connect(icon_, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
}

void TrayIcon::addTrayIcon(const QString& tip) {
    if (requested_ || removed_) {
        return;
    }
    requested_ = true;
    setTrayTip(tip);
    showIfPossible();
    if (!trayIconData_.added) {
        retryTimer_->start();
    }
}

void TrayIcon::setTrayTip(const QString& text) {
    const QString previous = trayIconData_.tip;
    trayIconData_.tip = text; // fitted to the notification area by the presenter
    // A hidden icon keeps the tip too, so it shows the current one when it appears.
    icon_->setToolTip(trayIconData_.tip);
    // Where the toolkit draws the tip itself, an open one keeps its text until the
    // pointer leaves; the seconds left must go on counting in it.
    if (QToolTip::isVisible() && !previous.isEmpty() && QToolTip::text() == previous &&
        previous != trayIconData_.tip) {
        QToolTip::showText(QCursor::pos(), trayIconData_.tip);
    }
}

void TrayIcon::removeTrayIcon() {
    if (removed_) {
        return;
    }
    removed_ = true;
    retryTimer_->stop();
    const bool wasVisible = isVisibleInTray();
    icon_->hide();
    trayIconData_.added = false;
    if (wasVisible) {
        emit visibilityChanged(false);
    }
}

void TrayIcon::setMenu(QMenu* menu) {
    icon_->setContextMenu(menu);
}

bool TrayIcon::isVisibleInTray() const {
    return trayIconData_.added && isAvailable_();
}

void TrayIcon::setTrayAvailability(std::function<bool()> isAvailable) {
    isAvailable_ = std::move(isAvailable);
}

void TrayIcon::setRetryInterval(std::chrono::milliseconds interval) {
    retryTimer_->setInterval(interval);
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        emit leftButtonReleased();
        break;
    case QSystemTrayIcon::DoubleClick:
        emit leftDoubleClicked();
        break;
    case QSystemTrayIcon::Context:
        emit rightButtonReleased();
        break;
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void TrayIcon::retry() {
    showIfPossible();
    if (trayIconData_.added) {
        retryTimer_->stop();
    }
}

void TrayIcon::showIfPossible() {
    if (removed_ || trayIconData_.added || !isAvailable_()) {
        return;
    }
    icon_->show();
    trayIconData_.added = true;
    emit visibilityChanged(true);
}

} // namespace quillarbor
