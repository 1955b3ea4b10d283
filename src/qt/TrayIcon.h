#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>

#include <chrono>
#include <functional>

class QDBusServiceWatcher;
class QMenu;
class QTimer;

namespace quillarbor {

// What the icon currently shows.
struct TrayIconData {
    bool added = false; // the icon is in a notification area
    QString tip;        // the tooltip, already fitted
};

// The program's notification-area icon. Clicks on it arrive as signals; the window decides what
// they do. Where no notification area exists yet, the icon is added as soon as one appears;
// notification areas that go and come back are reported, and the icon returns with them.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    explicit TrayIcon(const QIcon& icon, QObject* parent = nullptr);

    // Puts the icon into the notification area with the tooltip `tip`. Only the first call
    // counts, and none after removeTrayIcon.
    void addTrayIcon(const QString& tip);
    // Replaces the tooltip with `text`, already fitted to the notification area.
    void setTrayTip(const QString& text);
    // Takes the icon out for good.
    void removeTrayIcon();
    // The icon's menu: hosts that draw an item's menu themselves are handed it; others report
    // the right button and leave the opening to the program.
    void setMenu(QMenu* menu);

    // The icon is shown in a notification area now, so it can bring a hidden window back.
    bool isVisibleInTray() const;
    const TrayIconData& trayIconData() const { return trayIconData_; }

    // Tells whether a notification area exists; by default, as the icon's protocol sees it.
    void setTrayAvailability(std::function<bool()> isAvailable);
    // How often the icon looks for a notification area again, while it waits for one and while
    // it is shown in one.
    void setRetryInterval(std::chrono::milliseconds interval);

signals:
    void leftButtonReleased();
    void leftDoubleClicked();
    void rightButtonReleased();
    // The icon came into a notification area (true) or lost the last one (false).
    void visibilityChanged(bool visible);

private slots:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void retry();

private:
    bool createIcon();
    bool trayAvailable() const;
    void showIfPossible();
    void followHost();
    void onBusHost(bool present);

    QIcon image_;
    QSystemTrayIcon* icon_ = nullptr; // made once the toolkit can choose its protocol well
    QPointer<QMenu> menu_;
    QTimer* retryTimer_;
    QTimer* watchTimer_;
    QDBusServiceWatcher* busHosts_ = nullptr;
    std::function<bool()> isAvailable_;
    TrayIconData trayIconData_;
    bool requested_ = false;
    bool removed_ = false;
    bool busHostPresent_ = false; // a StatusNotifierItem watcher is on the session bus
    bool overBus_ = false;        // the icon was made while one was: it speaks D-Bus
    bool inTray_ = false;         // as last reported by visibilityChanged
};

} // namespace quillarbor
