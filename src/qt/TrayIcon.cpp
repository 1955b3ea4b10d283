#include "qt/TrayIcon.h"

#include "app/tray_policy.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>
#include <QToolTip>

#include <utility>

namespace quillarbor {

namespace {

// Where a desktop's StatusNotifierItem host announces itself.
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

} // namespace

TrayIcon::TrayIcon(const QIcon& icon, QObject* parent)
    : QObject(parent), image_(icon), retryTimer_(new QTimer(this)), watchTimer_(new QTimer(this)),
      isAvailable_([this] { return trayAvailable(); }) {
    retryTimer_->setInterval(kTrayRetryInterval);
    connect(retryTimer_, &QTimer::timeout, this, &TrayIcon::retry);
    watchTimer_->setInterval(kTrayRetryInterval);
    connect(watchTimer_, &QTimer::timeout, this, &TrayIcon::followHost);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        busHosts_ = new QDBusServiceWatcher(kWatcherService, bus,
                                            QDBusServiceWatcher::WatchForRegistration |
                                                QDBusServiceWatcher::WatchForUnregistration,
                                            this);
        connect(busHosts_, &QDBusServiceWatcher::serviceRegistered, this,
                [this] { onBusHost(true); });
        connect(busHosts_, &QDBusServiceWatcher::serviceUnregistered, this,
                [this] { onBusHost(false); });
        const QDBusConnectionInterface* names = bus.interface();
        busHostPresent_ = names != nullptr && names->isServiceRegistered(kWatcherService);
    }
    createIcon();
}

bool TrayIcon::createIcon() {
    if (icon_ != nullptr) {
        return true;
    }
    // Qt settles on one tray protocol for the whole process as the first icon is made: its
    // D-Bus one only if a host is on the bus right then, else the X11 one. Wayland has no X11
    // tray to fall back on, so there the icon is made once a host is on the bus.
    if (!busHostPresent_ && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        return false;
    }
    icon_ = new QSystemTrayIcon(image_, this);
    overBus_ = busHostPresent_;
    icon_->setToolTip(trayIconData_.tip);
    if (menu_ != nullptr) {
        icon_->setContextMenu(menu_);
    }
    // Clicks come from the icon alone, never from mouse movement over the window.
    connect(icon_, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
    return true;
}

bool TrayIcon::trayAvailable() const {
    if (icon_ == nullptr) {
        return false;
    }
    return overBus_ ? busHostPresent_ : QSystemTrayIcon::isSystemTrayAvailable();
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
    if (icon_ != nullptr) {
        icon_->setToolTip(trayIconData_.tip);
    }
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
    watchTimer_->stop();
    const bool wasVisible = isVisibleInTray();
    if (icon_ != nullptr) {
        icon_->hide();
    }
    trayIconData_.added = false;
    inTray_ = false;
    if (wasVisible) {
        emit visibilityChanged(false);
    }
}

void TrayIcon::setMenu(QMenu* menu) {
    menu_ = menu;
    if (icon_ != nullptr) {
        icon_->setContextMenu(menu);
    }
}

bool TrayIcon::isVisibleInTray() const {
    return trayIconData_.added && isAvailable_();
}

void TrayIcon::setTrayAvailability(std::function<bool()> isAvailable) {
    isAvailable_ = std::move(isAvailable);
}

void TrayIcon::setRetryInterval(std::chrono::milliseconds interval) {
    retryTimer_->setInterval(interval);
    watchTimer_->setInterval(interval);
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
    if (removed_ || trayIconData_.added || !createIcon() || !isAvailable_()) {
        return;
    }
    icon_->show();
    trayIconData_.added = true;
    inTray_ = true;
    watchTimer_->start();
    emit visibilityChanged(true);
}

void TrayIcon::followHost() {
    if (removed_ || !trayIconData_.added) {
        return;
    }
    const bool available = isAvailable_();
    if (available == inTray_) {
        return;
    }
    // A notification area that comes back is handed the icon by Qt itself, whichever protocol.
    inTray_ = available;
    emit visibilityChanged(available);
}

void TrayIcon::onBusHost(bool present) {
    busHostPresent_ = present;
    if (present && !trayIconData_.added) {
        retry();
        return;
    }
    followHost();
}

} // namespace quillarbor
