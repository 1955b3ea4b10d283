// The notification-area icon: its tooltip, its one life, a notification area that
// appears late, and the clicks it reports.
#include "qt/TrayIcon.h"

#include <QLoggingCategory>
#include <QPixmap>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <memory>

using namespace quillarbor;
using namespace std::chrono_literals;

class TrayIconTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void tooltipFitsTheField_data();
    void tooltipFitsTheField();
    void openTipFollowsTheText_data();
    void openTipFollowsTheText();
    void tipSetBeforeAddingDoesNotAddTheIcon();
    void addedOnceAndRemovedOnce();
    void lateNotificationAreaGetsTheLatestTip();
    void removedWhileWaitingStopsLooking();
    void notificationAreaGoneMeansNotVisible();
    void activationReasons_data();
    void activationReasons();

private:
    QSystemTrayIcon* shown() const { return tray_->findChild<QSystemTrayIcon*>(); }
    QTimer* retryTimer() const { return tray_->findChild<QTimer*>(); }

    bool available_ = true;
    std::unique_ptr<TrayIcon> tray_;
};

void TrayIconTest::initTestCase() {
    // Showing an icon on the offscreen platform makes Qt look for a signal only the X11
    // platform has; that one connection warning says nothing about this program.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.core.qobject.connect.warning=false"));
}

void TrayIconTest::init() {
    // Any warning fails, but the offscreen platform's own about raising a tooltip.
    QTest::failOnWarning(
        QRegularExpression(QStringLiteral("^(?!This plugin does not support raise)")));
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkGreen);
    available_ = true;
    tray_ = std::make_unique<TrayIcon>(QIcon(pixmap));
    tray_->setTrayAvailability([this] { return available_; });
}

void TrayIconTest::cleanup() {
    tray_.reset();
}

void TrayIconTest::tooltipFitsTheField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString tip63 = QStringLiteral("57 secs to go. Last shown: ") + QString(36, u'x');
    QTest::newRow("63 characters kept in full") << tip63 << tip63;
    QTest::newRow("64 characters lose the last") << tip63 + u'y' << tip63;

    const QString longName = QStringLiteral("a skin with a very long name indeed, longer than the "
                                            "field could ever hold.bmp");
    const QString tooLong = QStringLiteral("12345 secs to go. Last shown: ") + longName;
    QTest::newRow("the seconds survive") << tooLong << tooLong.left(63);

    const QString a62(62, u'a');
    QTest::newRow("two-byte character kept whole")
        << a62 + QStringLiteral("\u00e9\u00e9") << a62 + QStringLiteral("\u00e9");
    QTest::newRow("three-byte character kept whole")
        << a62 + QStringLiteral("\u20ac\u20ac") << a62 + QStringLiteral("\u20ac");
    // One character outside the basic plane, two UTF-16 units.
    const QString clef = QStringLiteral("\U0001D11E");
    QTest::newRow("four-byte character kept whole") << a62 + clef + clef << a62 + clef;
    QTest::newRow("all multi-byte") << QString(70, QChar(0x00fc)) << QString(63, QChar(0x00fc));
    QTest::newRow("empty") << QString() << QString();
}

void TrayIconTest::tooltipFitsTheField() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    tray_->addTrayIcon();
    tray_->setTrayTip(text);
    QCOMPARE(tray_->trayIconData().tip, expected);
    QCOMPARE(shown()->toolTip(), expected);
}

void TrayIconTest::openTipFollowsTheText_data() {
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("expected");

    const QString next = QStringLiteral("56 secs to go. Last shown: sunset.bmp");
    QTest::newRow("the icon's tip") << "57 secs to go. Last shown: sunset.bmp" << next;
    QTest::newRow("some other tip") << "Refresh the list"
                                    << "Refresh the list";
}

void TrayIconTest::openTipFollowsTheText() {
    QFETCH(QString, open);
    QFETCH(QString, expected);
    tray_->addTrayIcon();
    tray_->setTrayTip(QStringLiteral("57 secs to go. Last shown: sunset.bmp"));

    // As the toolkit opens it when the pointer rests on the icon.
    QToolTip::showText(QPoint(20, 20), open);
    QVERIFY(QToolTip::isVisible());
    tray_->setTrayTip(QStringLiteral("56 secs to go. Last shown: sunset.bmp"));
    QCOMPARE(QToolTip::text(), expected);
    QToolTip::hideText();
}

void TrayIconTest::tipSetBeforeAddingDoesNotAddTheIcon() {
    tray_->setTrayTip(QStringLiteral("9 secs to go. Last shown: "));
    QVERIFY(!tray_->trayIconData().added);
    QVERIFY(!tray_->isVisibleInTray());
    QVERIFY(!shown()->isVisible());

    // Adding starts from the program's name, whatever came before.
    tray_->addTrayIcon();
    QCOMPARE(tray_->trayIconData().tip, QStringLiteral(" Quillarbor "));
    QVERIFY(tray_->trayIconData().added);
}

void TrayIconTest::addedOnceAndRemovedOnce() {
    QSignalSpy visibility(tray_.get(), &TrayIcon::visibilityChanged);
    tray_->addTrayIcon();
    QVERIFY(tray_->trayIconData().added);
    QVERIFY(tray_->isVisibleInTray());
    QVERIFY(shown()->isVisible());
    QCOMPARE(shown()->toolTip(), QStringLiteral(" Quillarbor "));

    const QString tip = QStringLiteral("57 secs to go. Last shown: sunset.bmp");
    tray_->setTrayTip(tip);
    tray_->addTrayIcon(); // a second add changes nothing
    QCOMPARE(tray_->trayIconData().tip, tip);
    QCOMPARE(visibility.count(), 1);
    QCOMPARE(visibility.at(0).at(0).toBool(), true);

    tray_->removeTrayIcon();
    QVERIFY(!tray_->trayIconData().added);
    QVERIFY(!tray_->isVisibleInTray());
    QVERIFY(!shown()->isVisible());
    QCOMPARE(visibility.count(), 2);
    QCOMPARE(visibility.at(1).at(0).toBool(), false);

    // Nothing brings it back once removed, and a second removal is silent.
    tray_->removeTrayIcon();
    tray_->addTrayIcon();
    QVERIFY(!tray_->trayIconData().added);
    QVERIFY(!shown()->isVisible());
    QCOMPARE(visibility.count(), 2);
}

void TrayIconTest::lateNotificationAreaGetsTheLatestTip() {
    available_ = false;
    tray_->setRetryInterval(1ms);
    QSignalSpy visibility(tray_.get(), &TrayIcon::visibilityChanged);
    tray_->addTrayIcon();
    QVERIFY(!tray_->trayIconData().added);
    QVERIFY(!tray_->isVisibleInTray());
    QVERIFY(!shown()->isVisible());
    QVERIFY(retryTimer()->isActive());

    const QString tip = QStringLiteral("42 secs to go. Last shown: ocean.bmp");
    tray_->setTrayTip(tip);
    QTest::qWait(20); // still no notification area: still waiting
    QVERIFY(!shown()->isVisible());
    QCOMPARE(visibility.count(), 0);

    available_ = true;
    QTRY_VERIFY(tray_->isVisibleInTray());
    QVERIFY(shown()->isVisible());
    QCOMPARE(shown()->toolTip(), tip);
    QCOMPARE(tray_->trayIconData().tip, tip);
    QCOMPARE(visibility.count(), 1);
    QCOMPARE(visibility.at(0).at(0).toBool(), true);
    QVERIFY(!retryTimer()->isActive());
}

void TrayIconTest::removedWhileWaitingStopsLooking() {
    available_ = false;
    tray_->setRetryInterval(1ms);
    QSignalSpy visibility(tray_.get(), &TrayIcon::visibilityChanged);
    tray_->addTrayIcon();
    tray_->removeTrayIcon();
    QVERIFY(!retryTimer()->isActive());

    available_ = true;
    QTest::qWait(20);
    QVERIFY(!tray_->isVisibleInTray());
    QVERIFY(!shown()->isVisible());
    QCOMPARE(visibility.count(), 0);
}

void TrayIconTest::notificationAreaGoneMeansNotVisible() {
    tray_->addTrayIcon();
    QVERIFY(tray_->isVisibleInTray());
    // A hidden window could not come back through an icon without a notification area.
    available_ = false;
    QVERIFY(!tray_->isVisibleInTray());
}

void TrayIconTest::activationReasons_data() {
    QTest::addColumn<int>("reason");
    QTest::addColumn<int>("leftReleases");
    QTest::addColumn<int>("doubleClicks");
    QTest::addColumn<int>("rightReleases");

    QTest::newRow("left click") << int(QSystemTrayIcon::Trigger) << 1 << 0 << 0;
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << 0 << 1 << 0;
    QTest::newRow("right click") << int(QSystemTrayIcon::Context) << 0 << 0 << 1;
    QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << 0 << 0 << 0;
    QTest::newRow("unknown") << int(QSystemTrayIcon::Unknown) << 0 << 0 << 0;
}

void TrayIconTest::activationReasons() {
    QFETCH(int, reason);
    QFETCH(int, leftReleases);
    QFETCH(int, doubleClicks);
    QFETCH(int, rightReleases);
    QSignalSpy left(tray_.get(), &TrayIcon::leftButtonReleased);
    QSignalSpy twice(tray_.get(), &TrayIcon::leftDoubleClicked);
    QSignalSpy right(tray_.get(), &TrayIcon::rightButtonReleased);
    tray_->addTrayIcon();

    emit shown()->activated(static_cast<QSystemTrayIcon::ActivationReason>(reason));
    QCOMPARE(left.count(), leftReleases);
    QCOMPARE(twice.count(), doubleClicks);
    QCOMPARE(right.count(), rightReleases);
    // The icon never opens a menu of its own: the window opens it after coming forward.
    QVERIFY(!shown()->contextMenu());
}

QTEST_MAIN(TrayIconTest)
#include "tray_icon_test.moc"
