// Start-up and shutdown of the main window against a temporary settings store.
#include "support/gui_test_support.h"

#include "qt/DriveChooser.h"
#include "qt/FileList.h"
#include "qt/FolderChooser.h"
#include "qt/Form1.h"
#include "rotation/skins.h"
#include "settings/registry.h"

#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace quillarbor;
using namespace quillarbor::test;

class StartupShutdownTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstRunUsesDefaults();
    void savedValuesAreRestoredAndSavedBack_data();
    void savedValuesAreRestoredAndSavedBack();
    void savedFolderIsRestored();
    void missingSavedFolderKeepsTheStartFolder();
    void oneShotAppliesOneSkinAndEnds_data();
    void oneShotAppliesOneSkinAndEnds();
    void oneShotWithoutSkinsOnlySaves();

private:
    QString at(const QString& relative) const { return physical(tree_->path()) + '/' + relative; }
    void makeForm();
    template <typename T> T* child(const char* name) const {
        return form_->findChild<T*>(QString::fromLatin1(name));
    }

    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> tree_;
    std::unique_ptr<CurrentFolder> cwd_;
    std::unique_ptr<FixedRandom> random_;
    std::unique_ptr<Form1> form_;
};

void StartupShutdownTest::init() {
    settings_ = std::make_unique<TempSettings>();
    tree_ = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(tree_->path()).mkpath(QStringLiteral("start")));
    QVERIFY(QDir(tree_->path()).mkpath(QStringLiteral("skins")));
    cwd_ = std::make_unique<CurrentFolder>(at("start"));
    random_ = std::make_unique<FixedRandom>(std::vector<float>{0.5f});
}

void StartupShutdownTest::cleanup() {
    form_.reset();
    cwd_.reset();
    tree_.reset();
    settings_.reset();
}

void StartupShutdownTest::makeForm() {
    form_ = std::make_unique<Form1>(*random_);
}

void StartupShutdownTest::firstRunUsesDefaults() {
    makeForm();
    QVERIFY(!form_->load({"quillarbor"}));
    QVERIFY(form_->isVisible());
    QCOMPARE(child<QLineEdit>("txtDelay")->text(), QStringLiteral("1"));
    QVERIFY(!child<QAction>("mnuSystray")->isChecked());
    QVERIFY(!child<QAction>("mnuSystray2")->isChecked());
    QCOMPARE(child<FolderChooser>("Dir1")->path(), folderText(at("start")));
    QCOMPARE(child<FileList>("File1")->path(), folderText(at("start")));
    QCOMPARE(form_->lastShown(), std::string());
    QCOMPARE(form_->commandLine(), std::string("QUILLARBOR"));
    // The first countdown, and no pick.
    QCOMPARE(random_->draws(), 1);

    // The window starts centred on its screen, give or take its frame.
    const QRect screen = form_->screen()->geometry();
    const QRect outer = form_->frameGeometry();
    const QSize frame = outer.size() - form_->size();
    QVERIFY(qAbs(outer.center().x() - screen.center().x()) <= frame.width() / 2 + 1);
    QVERIFY(qAbs(outer.center().y() - screen.center().y()) <= frame.height() / 2 + 1);

    form_->close();
    QCOMPARE(savedSetting(loc::settingPath), folderText(at("start")));
    QCOMPARE(savedSetting(loc::settingDelay), std::string("1"));
    QCOMPARE(savedSetting(loc::settingSystray), std::string("False"));
    QCOMPARE(toolbarValue(), std::string());
}

void StartupShutdownTest::savedValuesAreRestoredAndSavedBack_data() {
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("systray");
    QTest::addColumn<QString>("shownDelay");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("savedSystray");

    QTest::newRow("decimal delay, in tray") << "2.5"
                                            << "True"
                                            << "2.5" << true << "True";
    QTest::newRow("whole delay, not in tray") << "30"
                                              << "False"
                                              << "30" << false << "False";
    QTest::newRow("words in any case") << "0.1"
                                       << "tRUE"
                                       << "0.1" << true << "True";
    QTest::newRow("flag as a number") << "7"
                                      << "-1"
                                      << "7" << true << "True";
    QTest::newRow("flag zero") << "7"
                               << "0"
                               << "7" << false << "False";
    QTest::newRow("unconvertible values") << "5x"
                                          << "maybe"
                                          << "1" << false << "False";
    QTest::newRow("not numbers at all") << "abc"
                                        << "yes"
                                        << "1" << false << "False";
    QTest::newRow("empty values") << ""
                                  << ""
                                  << "1" << false << "False";
}

void StartupShutdownTest::savedValuesAreRestoredAndSavedBack() {
    QFETCH(QString, delay);
    QFETCH(QString, systray);
    QFETCH(QString, shownDelay);
    QFETCH(bool, checked);
    QFETCH(QString, savedSystray);

    saveSetting(loc::settingDelay, delay.toStdString());
    saveSetting(loc::settingSystray, systray.toStdString());
    makeForm();
    QVERIFY(!form_->load({}));
    QCOMPARE(child<QLineEdit>("txtDelay")->text(), shownDelay);
    QCOMPARE(child<QAction>("mnuSystray")->isChecked(), checked);
    QCOMPARE(child<QAction>("mnuSystray2")->isChecked(), checked);

    form_->close();
    QCOMPARE(savedSetting(loc::settingDelay), shownDelay.toStdString());
    QCOMPARE(savedSetting(loc::settingSystray), savedSystray.toStdString());
}

void StartupShutdownTest::savedFolderIsRestored() {
    writeBitmap(at("skins/b.bmp"));
    writeBitmap(at("skins/A.bmp"));
    saveSetting(loc::settingPath, folderText(at("skins")));
    makeForm();
    QVERIFY(!form_->load({}));

    const auto* files = child<FileList>("File1");
    QCOMPARE(child<FolderChooser>("Dir1")->path(), folderText(at("skins")));
    QCOMPARE(files->path(), folderText(at("skins")));
    QCOMPARE(child<DriveChooser>("Drive1")->drive(),
             child<DriveChooser>("Drive1")->driveOf(folderText(at("skins"))));
    QCOMPARE(files->listCount(), 2);
    QCOMPARE(files->list(0), std::string("A.bmp"));
    // Start-up never applies a skin unless asked to.
    QCOMPARE(toolbarValue(), std::string());

    form_->close();
    QCOMPARE(savedSetting(loc::settingPath), folderText(at("skins")));
}

void StartupShutdownTest::missingSavedFolderKeepsTheStartFolder() {
    saveSetting(loc::settingPath, folderText(at("skins")) + "/gone");
    makeForm();
    QVERIFY(!form_->load({}));
    QCOMPARE(child<FileList>("File1")->path(), folderText(at("start")));
    form_->close();
    QCOMPARE(savedSetting(loc::settingPath), folderText(at("start")));
}

void StartupShutdownTest::oneShotAppliesOneSkinAndEnds_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("upper case") << QStringList{"/O"};
    QTest::newRow("lower case") << QStringList{"/o"};
    QTest::newRow("among other arguments") << QStringList{"-x", "/O", "-y"};
    QTest::newRow("inside an argument") << QStringList{"-x/ok"};
}

void StartupShutdownTest::oneShotAppliesOneSkinAndEnds() {
    QFETCH(QStringList, args);

    for (const char* name : {"one.bmp", "three.bmp", "two.bmp"}) {
        writeBitmap(at(QStringLiteral("skins/") + QString::fromLatin1(name)));
    }
    saveSetting(loc::settingPath, folderText(at("skins")));
    saveSetting(loc::settingDelay, "2.5");
    makeForm();
    QSignalSpy ended(form_.get(), &Form1::ended);

    std::vector<std::string> argv;
    for (const QString& arg : args) {
        argv.push_back(arg.toStdString());
    }
    QVERIFY(form_->load(argv));
    QCOMPARE(ended.count(), 1);
    // The restored delay draws a countdown, then comes the one pick.
    QCOMPARE(random_->draws(), 2);
    // r = 0.5 among three names picks the middle one.
    QCOMPARE(toolbarValue(), addSlash(folderText(at("skins"))) + "three.bmp");
    QCOMPARE(savedSetting(loc::settingPath), folderText(at("skins")));
    QCOMPARE(savedSetting(loc::settingDelay), std::string("2.5"));
    QCOMPARE(savedSetting(loc::settingSystray), std::string("False"));
}

void StartupShutdownTest::oneShotWithoutSkinsOnlySaves() {
    writeText(at("skins/readme.txt"), "no skins here");
    saveSetting(loc::settingPath, folderText(at("skins")));
    makeForm();
    QSignalSpy ended(form_.get(), &Form1::ended);
    QVERIFY(form_->load({"/O"}));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(random_->draws(), 0);
    QCOMPARE(toolbarValue(), std::string());
    QCOMPARE(savedSetting(loc::settingPath), folderText(at("skins")));
    QCOMPARE(savedSetting(loc::settingDelay), std::string("1"));
}

QTEST_MAIN(StartupShutdownTest)
#include "startup_shutdown_test.moc"
