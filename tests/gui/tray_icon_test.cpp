// The notification-area icon: the TrayIcon class (its one life, a notification area that
// appears late, its tooltip and the clicks it reports), and the real icon of the main window
// wired to the presenter as the program wires it.
#include "support/gui_test_support.h"

#include "qt/TrayIcon.h"
#include "settings/registry.h"

#include <QAction>
#include <QApplication>
#include <QLoggingCategory>
#include <QMenu>
#include <QPixmap>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <memory>

using namespace quillarbor;
using namespace quillarbor::test;
using namespace std::chrono_literals;

class TrayIconTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void addedOnceAndRemovedOnce();
    void lateNotificationAreaGetsTheLatestTip();
    void removedWhileWaitingStopsLooking();
    void openTipFollowsTheText_data();
    void openTipFollowsTheText();
    void activationReasons_data();
    void activationReasons();

    void windowIconFollowsThePresenter();
    void minimisedWindowHidesWhereTheIconIs_data();
    void minimisedWindowHidesWhereTheIconIs();
    void leftClicksAndSettingsBringTheWindowBack_data();
    void leftClicksAndSettingsBringTheWindowBack();
    void rightClickOpensThePopupAndLeavesTheWindowHidden();
    void notificationAreaThatLeavesAndComesBack();

private:
    static QSystemTrayIcon* shown(const TrayIcon* tray) {
        return tray->findChild<QSystemTrayIcon*>();
    }
    QTimer* retryTimer() const { return tray_->findChild<QTimer*>(); }
    // The main window's.
    MainWindow& form() const { return program_->form; }
    TrayIcon* windowTray() const { return form().findChild<TrayIcon*>(); }
    QMenu* popup() const { return form().findChild<QMenu*>(QStringLiteral("mnuTray")); }
    void click(QSystemTrayIcon::ActivationReason reason) {
        emit shown(windowTray())->activated(reason);
    }
    void start() { QVERIFY(program_->presenter.load({}) == MainWindowPresenter::Start::Running); }

    const QString kName = QStringLiteral(" Quillarbor ");
    bool available_ = true;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> cwdFolder_;
    std::unique_ptr<CurrentFolder> cwd_;
    std::unique_ptr<Program> program_;
};

void TrayIconTest::initTestCase() {
    // Showing an icon on the offscreen platform makes Qt look for a signal only the X11
    // platform has; that one connection warning says nothing about this program.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.core.qobject.connect.warning=false"));
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkGreen);
    QApplication::setWindowIcon(QIcon(pixmap));
}

void TrayIconTest::init() {
    // Any warning fails, but the offscreen platform's own about raising and grabbing.
    QTest::failOnWarning(
        QRegularExpression(QStringLiteral("^(?!This plugin does not support (raise|grabbing))")));
    available_ = true;
    tray_ = std::make_unique<TrayIcon>(QApplication::windowIcon());
    tray_->setTrayAvailability([this] { return available_; });
    tray_->setRetryInterval(1ms);

    settings_ = std::make_unique<TempSettings>();
    cwdFolder_ = std::make_unique<QTemporaryDir>();
    cwd_ = std::make_unique<CurrentFolder>(cwdFolder_->path());
    program_ = std::make_unique<Program>(std::vector<float>{0.0f});
    windowTray()->setTrayAvailability([this] { return available_; });
    windowTray()->setRetryInterval(1ms);
}

void TrayIconTest::cleanup() {
    popup()->close();
    program_.reset();
    cwd_.reset();
    cwdFolder_.reset();
    settings_.reset();
    tray_.reset();
}

void TrayIconTest::addedOnceAndRemovedOnce() {
    QSignalSpy visibility(tray_.get(), &TrayIcon::visibilityChanged);
    // A tip set beforehand adds nothing; adding shows the tip it is given.
    tray_->setTrayTip(QStringLiteral("9 secs to go. Last shown: "));
    QVERIFY(!tray_->isVisibleInTray());
    QVERIFY(!shown(tray_.get())->isVisible());
    tray_->addTrayIcon(kName);
    QVERIFY(tray_->isVisibleInTray());
    QVERIFY(shown(tray_.get())->isVisible());
    QCOMPARE(shown(tray_.get())->toolTip(), kName);

    const QString tip = QStringLiteral("57 secs to go. Last shown: sunset.bmp");
    tray_->setTrayTip(tip);
    tray_->addTrayIcon(kName); // a second add changes nothing
    QCOMPARE(tray_->trayIconData().tip, tip);
    // A hidden window could not come back through an icon without a notification area.
    available_ = false;
    QVERIFY(!tray_->isVisibleInTray());
    available_ = true;

    tray_->removeTrayIcon();
    QVERIFY(!tray_->isVisibleInTray());
    QVERIFY(!shown(tray_.get())->isVisible());
    // Nothing brings it back once removed, and a second removal is silent.
    tray_->removeTrayIcon();
    tray_->addTrayIcon(kName);
    QVERIFY(!shown(tray_.get())->isVisible());
    QCOMPARE(visibility.count(), 2);
    QCOMPARE(visibility.at(0).at(0).toBool(), true);
    QCOMPARE(visibility.at(1).at(0).toBool(), false);
}

void TrayIconTest::lateNotificationAreaGetsTheLatestTip() {
    available_ = false;
    QSignalSpy visibility(tray_.get(), &TrayIcon::visibilityChanged);
    tray_->addTrayIcon(kName);
    QVERIFY(!tray_->isVisibleInTray());
    QVERIFY(retryTimer()->isActive());

    // Kept while hidden, so the icon shows the current tip when it appears.
    const QString tip = QStringLiteral("42 secs to go. Last shown: ocean.bmp");
    tray_->setTrayTip(tip);
    available_ = true;
    QTRY_VERIFY(tray_->isVisibleInTray());
    QVERIFY(shown(tray_.get())->isVisible());
    QCOMPARE(shown(tray_.get())->toolTip(), tip);
    QCOMPARE(visibility.count(), 1);
    QVERIFY(!retryTimer()->isActive());
}

void TrayIconTest::removedWhileWaitingStopsLooking() {
    available_ = false;
    tray_->addTrayIcon(kName);
    tray_->removeTrayIcon();
    QVERIFY(!retryTimer()->isActive());
    available_ = true;
    QTest::qWait(20);
    QVERIFY(!shown(tray_.get())->isVisible());
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
    tray_->addTrayIcon(kName);
    tray_->setTrayTip(QStringLiteral("57 secs to go. Last shown: sunset.bmp"));

    // As the toolkit opens it when the pointer rests on the icon.
    QToolTip::showText(QPoint(20, 20), open);
    QVERIFY(QToolTip::isVisible());
    tray_->setTrayTip(QStringLiteral("56 secs to go. Last shown: sunset.bmp"));
    QCOMPARE(QToolTip::text(), expected);
    QToolTip::hideText();
}

void TrayIconTest::activationReasons_data() {
    QTest::addColumn<int>("reason");
    QTest::addColumn<QList<int>>("counts"); // left releases, double-clicks, right releases
    QTest::newRow("left click") << int(QSystemTrayIcon::Trigger) << QList<int>{1, 0, 0};
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << QList<int>{0, 1, 0};
    QTest::newRow("right click") << int(QSystemTrayIcon::Context) << QList<int>{0, 0, 1};
    QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << QList<int>{0, 0, 0};
    QTest::newRow("unknown") << int(QSystemTrayIcon::Unknown) << QList<int>{0, 0, 0};
}

void TrayIconTest::activationReasons() {
    QFETCH(int, reason);
    QFETCH(QList<int>, counts);
    QSignalSpy left(tray_.get(), &TrayIcon::leftButtonReleased);
    QSignalSpy twice(tray_.get(), &TrayIcon::leftDoubleClicked);
    QSignalSpy right(tray_.get(), &TrayIcon::rightButtonReleased);
    tray_->addTrayIcon(kName);
    emit shown(tray_.get())->activated(static_cast<QSystemTrayIcon::ActivationReason>(reason));
    QCOMPARE((QList<int>{int(left.count()), int(twice.count()), int(right.count())}), counts);
}

void TrayIconTest::windowIconFollowsThePresenter() {
    start();
    QSystemTrayIcon* icon = shown(windowTray());
    QVERIFY(icon->isVisible());
    QCOMPARE(icon->icon().cacheKey(), form().windowIcon().cacheKey());
    QCOMPARE(icon->toolTip().toStdString(), program_->presenter.trayTip());
    QVERIFY(form().close());
    QVERIFY(!icon->isVisible());
}

void TrayIconTest::minimisedWindowHidesWhereTheIconIs_data() {
    QTest::addColumn<bool>("startInTray");
    QTest::addColumn<bool>("atStart");
    QTest::addColumn<bool>("later");
    QTest::newRow("minimised, notification area") << false << true << false;
    QTest::newRow("minimised, no notification area") << false << false << false;
    QTest::newRow("start in tray, notification area comes later") << true << false << true;
}

void TrayIconTest::minimisedWindowHidesWhereTheIconIs() {
    QFETCH(bool, startInTray);
    QFETCH(bool, atStart);
    QFETCH(bool, later);

    saveSetting(loc::settingSystray, startInTray ? "True" : "False");
    available_ = atStart;
    start();
    if (!startInTray) {
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        form().showMinimized();
    }
    QCoreApplication::processEvents(); // the presenter hears of the state once it is settled
    QVERIFY(form().isMinimized());
    QCOMPARE(form().isVisible(), !atStart);

    available_ = atStart || later;
    QTRY_COMPARE(form().isVisible(), !available_);
    QVERIFY(form().isMinimized());
}

void TrayIconTest::leftClicksAndSettingsBringTheWindowBack_data() {
    QTest::addColumn<int>("reason"); // -1: the pop-up's Settings
    QTest::newRow("left click") << int(QSystemTrayIcon::Trigger);
    QTest::newRow("double-click") << int(QSystemTrayIcon::DoubleClick);
    QTest::newRow("Settings") << -1;
}

void TrayIconTest::leftClicksAndSettingsBringTheWindowBack() {
    QFETCH(int, reason);
    start();
    form().showMinimized();
    QTRY_VERIFY(!form().isVisible());

    if (reason < 0) {
        form().findChild<QAction*>(QStringLiteral("mnuSettings"))->trigger();
    } else {
        click(static_cast<QSystemTrayIcon::ActivationReason>(reason));
    }
    QVERIFY(form().isVisible());
    QVERIFY(!form().isMinimized());
    QTRY_COMPARE(QApplication::activeWindow(), &form());
    QVERIFY(!popup()->isVisible());
    // Back to normal: minimising hides it again.
    form().showMinimized();
    QTRY_VERIFY(!form().isVisible());
}

void TrayIconTest::rightClickOpensThePopupAndLeavesTheWindowHidden() {
    start();
    form().showMinimized();
    QTRY_VERIFY(!form().isVisible());
    click(QSystemTrayIcon::Context);
    QTRY_VERIFY(popup()->isVisible());
    QVERIFY(!form().isVisible());
    QVERIFY(form().isMinimized());
}

void TrayIconTest::notificationAreaThatLeavesAndComesBack() {
    // The icon reports it, and the window hidden in the tray comes out and stays out.
    QSignalSpy visibility(windowTray(), &TrayIcon::visibilityChanged);
    saveSetting(loc::settingSystray, "True");
    start();
    QTRY_VERIFY(!form().isVisible());
    QCOMPARE(visibility.count(), 1);

    available_ = false;
    QTRY_VERIFY(form().isVisible());
    QVERIFY(!form().isMinimized());
    QCOMPARE(visibility.count(), 2);
    QCOMPARE(visibility.at(1).at(0).toBool(), false);

    available_ = true;
    QTRY_COMPARE(visibility.count(), 3);
    QCOMPARE(visibility.at(2).at(0).toBool(), true);
    QVERIFY(windowTray()->isVisibleInTray());
    QCoreApplication::processEvents();
    QVERIFY(form().isVisible());
    QVERIFY(!form().isMinimized());
}

QTEST_MAIN(TrayIconTest)
#include "tray_icon_test.moc"
