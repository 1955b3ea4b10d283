// The main window and its tray icon: the icon's life from start-up to exit, hiding the
// minimised window only where the icon can bring it back, and the icon's clicks.
#include "support/gui_test_support.h"

#include "qt/Form1.h"
#include "settings/registry.h"
#include "qt/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QLoggingCategory>
#include <QMenu>
#include <QPixmap>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

#include <memory>

using namespace quillarbor;
using namespace quillarbor::test;
using namespace std::chrono_literals;

using Reasons = QList<int>;

class TrayWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void iconLivesFromStartToExit();
    void oneShotAddsAndRemovesTheIcon();
    void minimisingHidesOnlyWithAnIcon_data();
    void minimisingHidesOnlyWithAnIcon();
    void startInTray_data();
    void startInTray();
    void leftClicksBringTheWindowBack_data();
    void leftClicksBringTheWindowBack();
    void rightClickOpensThePopup_data();
    void rightClickOpensThePopup();

private:
    void makeForm();
    TrayIcon* tray() const { return form_->findChild<TrayIcon*>(); }
    QSystemTrayIcon* shownIcon() const { return tray()->findChild<QSystemTrayIcon*>(); }
    QMenu* popup() const { return form_->findChild<QMenu*>(QStringLiteral("mnu_1")); }
    void click(QSystemTrayIcon::ActivationReason reason) { emit shownIcon()->activated(reason); }
    // Lets queued work (such as hiding a minimised window) run.
    static void settle() { QTest::qWait(20); }

    bool available_ = true;
    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> cwdFolder_;
    std::unique_ptr<CurrentFolder> cwd_;
    FixedRandom random_{{0.0f}};
    std::unique_ptr<ManualTicker> ticker_;
    std::unique_ptr<Form1> form_;
};

void TrayWindowTest::initTestCase() {
    // Showing an icon on the offscreen platform makes Qt look for a signal only the X11
    // platform has; that one connection warning says nothing about this program.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.core.qobject.connect.warning=false"));
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkGreen);
    QApplication::setWindowIcon(QIcon(pixmap));
}

void TrayWindowTest::init() {
    // Any warning fails, but the offscreen platform's own about raising and grabbing.
    QTest::failOnWarning(
        QRegularExpression(QStringLiteral("^(?!This plugin does not support (raise|grabbing))")));
    settings_ = std::make_unique<TempSettings>();
    cwdFolder_ = std::make_unique<QTemporaryDir>();
    cwd_ = std::make_unique<CurrentFolder>(cwdFolder_->path());
    ticker_ = std::make_unique<ManualTicker>();
    available_ = true;
}

void TrayWindowTest::cleanup() {
    if (popup() != nullptr) {
        popup()->close();
    }
    form_.reset();
    ticker_.reset();
    cwd_.reset();
    cwdFolder_.reset();
    settings_.reset();
}

void TrayWindowTest::makeForm() {
    form_ = std::make_unique<Form1>(random_, ticker_.get());
    tray()->setTrayAvailability([this] { return available_; });
    tray()->setRetryInterval(1ms);
}

void TrayWindowTest::iconLivesFromStartToExit() {
    makeForm();
    QSignalSpy visibility(tray(), &TrayIcon::visibilityChanged);
    QVERIFY(!form_->trayIconData().added);
    QVERIFY(!form_->load({}));
    QVERIFY(form_->trayIconData().added);
    QVERIFY(shownIcon()->isVisible());
    QCOMPARE(shownIcon()->icon().cacheKey(), form_->windowIcon().cacheKey());
    // Start-up ends by drawing the first countdown, which the tooltip shows.
    QCOMPARE(form_->trayIconData().tip, QStringLiteral("45 secs to go. Last shown: "));
    QCOMPARE(shownIcon()->toolTip(), form_->trayIconData().tip);

    QVERIFY(form_->close());
    QVERIFY(!form_->trayIconData().added);
    QVERIFY(!shownIcon()->isVisible());
    QCOMPARE(visibility.count(), 2);
    QCOMPARE(visibility.at(0).at(0).toBool(), true);
    QCOMPARE(visibility.at(1).at(0).toBool(), false);
}

void TrayWindowTest::oneShotAddsAndRemovesTheIcon() {
    saveSetting(loc::settingDelay, "3");
    makeForm();
    QSignalSpy visibility(tray(), &TrayIcon::visibilityChanged);
    QVERIFY(form_->load({"/O"}));
    QCOMPARE(visibility.count(), 2);
    QVERIFY(!shownIcon()->isVisible());
    // The countdown drawn while restoring the delay came before the icon, and no other
    // countdown follows in this mode.
    QCOMPARE(form_->trayIconData().tip, QStringLiteral(" Quillarbor "));
    QVERIFY(!ticker_->isEnabled());
}

void TrayWindowTest::minimisingHidesOnlyWithAnIcon_data() {
    QTest::addColumn<bool>("notificationArea");
    QTest::newRow("with a notification area") << true;
    QTest::newRow("without one") << false;
}

void TrayWindowTest::minimisingHidesOnlyWithAnIcon() {
    QFETCH(bool, notificationArea);
    available_ = notificationArea;
    makeForm();
    QVERIFY(!form_->load({}));
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));

    form_->showMinimized();
    settle();
    QVERIFY(form_->isMinimized());
    QCOMPARE(form_->isVisible(), !notificationArea);
}

void TrayWindowTest::startInTray_data() {
    QTest::addColumn<bool>("atStart");
    QTest::addColumn<bool>("later");
    QTest::newRow("notification area at start") << true << false;
    QTest::newRow("notification area comes later") << false << true;
    QTest::newRow("no notification area") << false << false;
}

void TrayWindowTest::startInTray() {
    QFETCH(bool, atStart);
    QFETCH(bool, later);

    saveSetting(loc::settingSystray, "True");
    available_ = atStart;
    makeForm();
    QVERIFY(!form_->load({}));
    settle();
    QVERIFY(form_->isMinimized());
    QCOMPARE(form_->isVisible(), !atStart);
    QCOMPARE(form_->trayIconData().added, atStart);

    available_ = later || atStart;
    settle();
    QCOMPARE(form_->trayIconData().added, atStart || later);
    QVERIFY(form_->isMinimized());
    QCOMPARE(form_->isVisible(), !(atStart || later));
    // The countdown runs whether or not the window is shown.
    QVERIFY(ticker_->isEnabled());

    if (form_->trayIconData().added) {
        click(QSystemTrayIcon::Trigger);
        settle();
        QVERIFY(form_->isVisible());
        QVERIFY(!form_->isMinimized());
    }
}

void TrayWindowTest::leftClicksBringTheWindowBack_data() {
    QTest::addColumn<Reasons>("reasons");
    QTest::newRow("left click") << Reasons{QSystemTrayIcon::Trigger};
    QTest::newRow("double-click alone") << Reasons{QSystemTrayIcon::DoubleClick};
    QTest::newRow("double-click after its first click")
        << Reasons{QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick};
}

void TrayWindowTest::leftClicksBringTheWindowBack() {
    QFETCH(Reasons, reasons);
    makeForm();
    QVERIFY(!form_->load({}));
    form_->showMinimized();
    QTRY_VERIFY(!form_->isVisible());

    for (const int reason : reasons) {
        click(static_cast<QSystemTrayIcon::ActivationReason>(reason));
    }
    QVERIFY(form_->isVisible());
    QVERIFY(!form_->isMinimized());
    QTRY_COMPARE(QApplication::activeWindow(), form_.get());
    QVERIFY(!popup()->isVisible());

    // Back to normal: minimising hides it again.
    form_->showMinimized();
    QTRY_VERIFY(!form_->isVisible());
}

void TrayWindowTest::rightClickOpensThePopup_data() {
    QTest::addColumn<bool>("hidden");
    QTest::newRow("window shown") << false;
    QTest::newRow("window hidden") << true;
}

void TrayWindowTest::rightClickOpensThePopup() {
    QFETCH(bool, hidden);
    makeForm();
    QVERIFY(!form_->load({}));
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    if (hidden) {
        form_->showMinimized();
        QTRY_VERIFY(!form_->isVisible());
    }

    click(QSystemTrayIcon::Context);
    QTRY_VERIFY(popup()->isVisible());
    QVERIFY(
        popup()->actions().contains(form_->findChild<QAction*>(QStringLiteral("mnuTerminate"))));
    QCOMPARE(form_->isVisible(), !hidden);
    QCOMPARE(form_->isMinimized(), hidden);
}

QTEST_MAIN(TrayWindowTest)
#include "tray_window_test.moc"
