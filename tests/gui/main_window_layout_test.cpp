// The main window's controls and ways out.
#include "support/gui_test_support.h"

#include "app/startup_rules.h"

#include "qt/FileList.h"
#include "qt/MainWindow.h"
#include "settings/registry.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace quillarbor;
using namespace quillarbor::test;

class MainWindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlCaptions_data();
    void controlCaptions();
    void windowIsFixedWithMinimiseAndClose();
    void captionsFitTheirBoxes();
    void hiddenButtonHoldsTheFocusAndKeysDoNothing();
    void tabOrder();
    void everyWayOutSavesOnce_data();
    void everyWayOutSavesOnce();

private:
    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> start_;
    std::unique_ptr<CurrentFolder> cwd_;
    std::unique_ptr<Program> program_;
    MainWindow* form_ = nullptr;
};

void MainWindowLayoutTest::init() {
    settings_ = std::make_unique<TempSettings>();
    start_ = std::make_unique<QTemporaryDir>();
    cwd_ = std::make_unique<CurrentFolder>(start_->path());
    program_ = std::make_unique<Program>(std::vector<float>{0.0f});
    form_ = &program_->form;
    form_->showSkinFolder(quillarbor::currentFolder());
}

void MainWindowLayoutTest::cleanup() {
    program_.reset();
    cwd_.reset();
    start_.reset();
    settings_.reset();
}

void MainWindowLayoutTest::controlCaptions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("startFocus") << "startFocus"
                                << "Command1";
    QTest::newRow("lblFolders") << "lblFolders"
                                << "*.BMP path";
    QTest::newRow("lblSkins") << "lblSkins"
                              << "Skins list (dbl-click to change now)";
    QTest::newRow("txtDelay") << "txtDelay"
                              << "1";
    QTest::newRow("lblDelay") << "lblDelay"
                              << "Delay in minutes";
    QTest::newRow("lblCountdown") << "lblCountdown"
                                  << "Countdown (secs)";
    QTest::newRow("txtCountdown") << "txtCountdown"
                                  << "";
    QTest::newRow("lblLastShown") << "lblLastShown"
                                  << "";
    QTest::newRow("cmdRefresh") << "cmdRefresh"
                                << "Refresh";
}

void MainWindowLayoutTest::controlCaptions() {
    QFETCH(QString, name);
    QFETCH(QString, text);

    auto* control = form_->findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->parentWidget(), form_->centralWidget());
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QCOMPARE(button->text(), text);
    } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
        QCOMPARE(box->text(), text);
    }
}

void MainWindowLayoutTest::windowIsFixedWithMinimiseAndClose() {
    form_->show();
    QCOMPARE(form_->windowTitle(), QStringLiteral("Quillarbor"));
    verifyScaledLayout(form_->centralWidget(), form::kMainWindowControls, form::kMainClientWidth,
                       form::kMainClientHeight);
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
    QCOMPARE(form_->size().width(), form_->centralWidget()->width());
    // the menu bar sits above the client area
    QVERIFY(form_->size().height() > form_->centralWidget()->height());

    const Qt::WindowFlags flags = form_->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));

    auto* preview = form_->findChild<QLabel*>(QStringLiteral("imgPreview"));
    QVERIFY(preview->pixmap().isNull());
    QCOMPARE(preview->frameShape(), QFrame::Box);
    QVERIFY(preview->hasScaledContents());
    QVERIFY(form_->findChild<QLineEdit*>(QStringLiteral("txtCountdown"))->isReadOnly());
}

void MainWindowLayoutTest::captionsFitTheirBoxes() {
    for (const char* name : {"lblFolders", "lblSkins", "lblDelay", "lblCountdown"}) {
        const auto* label = form_->findChild<QLabel*>(QString::fromLatin1(name));
        const QFontMetrics metrics(label->font());
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->contentsRect().width(), name);
        QVERIFY2(metrics.height() <= label->contentsRect().height(), name);
    }
}

void MainWindowLayoutTest::hiddenButtonHoldsTheFocusAndKeysDoNothing() {
    form_->show();
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_));
    auto* command1 = form_->findChild<QWidget*>(QStringLiteral("startFocus"));
    QCOMPARE(QApplication::focusWidget(), command1);
    QVERIFY(!form_->centralWidget()->rect().intersects(command1->geometry()));

    QSignalSpy ended(form_, &MainWindow::ended);
    QTest::keyClick(command1, Qt::Key_Space);
    QTest::keyClick(command1, Qt::Key_Return);
    QCOMPARE(ended.count(), 0);
    QCOMPARE(QApplication::focusWidget(), command1);
    QCOMPARE(form_->findChild<FileList*>(QStringLiteral("skinList"))->listIndex(), -1);
    QCOMPARE(toolbarValue(), std::string());
}

void MainWindowLayoutTest::tabOrder() {
    form_->show();
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_));
    QStringList visited;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, QStringList({"skinList", "folderList", "driveList", "txtDelay",
                                   "txtCountdown", "cmdRefresh", "startFocus"}));
}

void MainWindowLayoutTest::everyWayOutSavesOnce_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("Exit") << "mnuExit";
    QTest::newRow("Terminate") << "mnuTerminate";
    QTest::newRow("close box") << "";
}

void MainWindowLayoutTest::everyWayOutSavesOnce() {
    QFETCH(QString, way);

    QVERIFY(program_->presenter.load({}) == MainWindowPresenter::Start::Running);
    QSignalSpy ended(form_, &MainWindow::ended);
    auto* delay = form_->findChild<QLineEdit*>(QStringLiteral("txtDelay"));
    delay->setText(QStringLiteral("3"));
    form_->findChild<QAction*>(QStringLiteral("mnuSystray"))->trigger();

    if (way.isEmpty()) {
        QVERIFY(form_->close());
    } else {
        form_->findChild<QAction*>(way)->trigger();
    }
    QCOMPARE(ended.count(), 1);
    QCOMPARE(savedSetting(loc::settingPath), folderText(start_->path()));
    QCOMPARE(savedSetting(loc::settingDelay), std::string("3"));
    QCOMPARE(savedSetting(loc::settingSystray), std::string("True"));

    // Nothing runs a second time, whichever way is taken next.
    delay->setText(QStringLiteral("9"));
    form_->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
    form_->close();
    QCOMPARE(ended.count(), 1);
    QCOMPARE(savedSetting(loc::settingDelay), std::string("3"));
}

QTEST_MAIN(MainWindowLayoutTest)
#include "main_window_layout_test.moc"
