// The menu bar, the tray pop-up and their commands: the option marks and what they write,
// the reset before uninstall and the About box.
#include "support/gui_test_support.h"

#include "qt/frmAbout.h"
#include "qt/Form1.h"
#include "qt/MessageBox.h"
#include "app/run_at_logon.h"
#include "settings/registry.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace quillarbor;
using namespace quillarbor::test;

namespace {

// The test binary run with this argument loads a main window, clicks the pop-up's
// "Run at startup" and exits: so the command runs from whatever folder the binary is in.
constexpr char kToggleFromHere[] = "--toggle-run-at-startup";

QStringList captions(const QWidget* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << action->text();
    }
    return texts;
}

std::string runValue() {
    return regGetString(RegRoot::CurrentUser, loc::runKey, loc::runValue);
}

bool autostartEntryExists() {
    return QFile::exists(QString::fromStdString(autostartEntryPath()));
}

QByteArray autostartExecLine() {
    QFile file(QString::fromStdString(autostartEntryPath()));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("Exec=")) {
            return line;
        }
    }
    return {};
}

// Runs the next step on each modal box or dialog as it opens, while the code under test
// waits in its exec(). A modal one beyond the steps is closed and counted, so that no test
// can hang on it.
class ModalScript : public QObject {
public:
    using Step = std::function<void(QWidget*)>;

    explicit ModalScript(QList<Step> steps) : steps_(std::move(steps)) {
        connect(&poll_, &QTimer::timeout, this, &ModalScript::check);
        poll_.start(5);
    }
    int remaining() const { return static_cast<int>(steps_.size()); }
    int unexpected() const { return unexpected_; }

private:
    void check() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == last_ || !modal->isVisible()) {
            return;
        }
        last_ = modal;
        if (steps_.isEmpty()) {
            ++unexpected_;
            modal->close();
            return;
        }
        const Step step = steps_.takeFirst();
        step(modal);
    }

    QList<Step> steps_;
    QTimer poll_;
    QPointer<QWidget> last_;
    int unexpected_ = 0;
};

struct BoxSeen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Information;
    QStringList buttons;
    bool okIsDefault = false;
    bool titleFits = false;
};

BoxSeen describe(QWidget* widget) {
    BoxSeen seen;
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box == nullptr) {
        return seen;
    }
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    for (QAbstractButton* button : box->buttons()) {
        const QMessageBox::StandardButton which = box->standardButton(button);
        seen.buttons << (which == QMessageBox::Ok       ? QStringLiteral("OK")
                         : which == QMessageBox::Cancel ? QStringLiteral("Cancel")
                                                        : button->text());
    }
    seen.buttons.sort();
    seen.okIsDefault =
        box->defaultButton() != nullptr && box->defaultButton() == box->button(QMessageBox::Ok);
    // A frame draws its title in bold beside an icon and three buttons, each about a line
    // high: narrower, the title would be cut short.
    QFont bold = box->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    seen.titleFits = box->width() >= metrics.horizontalAdvance(seen.title) + 4 * metrics.height();
    return seen;
}

// "OK" and "Cancel" click that button; "Esc" presses the key.
void answer(QWidget* widget, const QString& how) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box == nullptr) {
        widget->close();
    } else if (how == QLatin1String("Esc")) {
        QTest::keyClick(box, Qt::Key_Escape);
    } else {
        box->button(how == QLatin1String("OK") ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    }
}

} // namespace

class MenusTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuTree();
    void startInTrayMarksAgree_data();
    void startInTrayMarksAgree();
    void startInTrayTakesEffectAtTheNextStart();
    void startUpSetsRunMarksFromTheLogonEntry_data();
    void startUpSetsRunMarksFromTheLogonEntry();
    void runAtStartupMarksAgreeAndWrite_data();
    void runAtStartupMarksAgreeAndWrite();
    void runEntryNamesTheProgramFolder_data();
    void runEntryNamesTheProgramFolder();
    void resetAnswers_data();
    void resetAnswers();
    void settingsBringsTheWindowBack();
    void aboutOpensModally();

private:
    void makeForm();
    QAction* item(const char* name) const {
        return form_->findChild<QAction*>(QString::fromLatin1(name));
    }
    void fireSeconds(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            ticker_->fire();
        }
    }

    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> skins_;
    std::unique_ptr<CurrentFolder> cwd_;
    FixedRandom random_{{0.0f}};
    std::unique_ptr<ManualTicker> ticker_;
    std::unique_ptr<Form1> form_;
};

void MenusTest::init() {
    // Any warning fails, but the offscreen platform's own about what it cannot do.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^(?!This plugin does not support )")));
    settings_ = std::make_unique<TempSettings>();
    skins_ = std::make_unique<QTemporaryDir>();
    writeBitmap(skins_->filePath(QStringLiteral("only.bmp")));
    cwd_ = std::make_unique<CurrentFolder>(skins_->path());
    ticker_ = std::make_unique<ManualTicker>();
}

void MenusTest::cleanup() {
    form_.reset();
    ticker_.reset();
    cwd_.reset();
    skins_.reset();
    settings_.reset();
}

void MenusTest::makeForm() {
    form_ = std::make_unique<Form1>(random_, ticker_.get());
}

void MenusTest::menuTree() {
    makeForm();
    QCOMPARE(captions(form_->menuBar()), QStringList({"File", "Help"}));

    const auto* file = form_->findChild<QMenu*>(QStringLiteral("mnuFile"));
    QCOMPARE(file->title(), QStringLiteral("File"));
    QCOMPARE(captions(file), QStringList({"Start in system tray", "Run at startup", "Exit"}));

    const auto* help = form_->findChild<QMenu*>(QStringLiteral("mnuHelp0"));
    QCOMPARE(help->title(), QStringLiteral("Help"));
    QCOMPARE(captions(help), QStringList({"Reset before uninstall", "About"}));

    const auto* popup = form_->findChild<QMenu*>(QStringLiteral("mnu_1"));
    QCOMPARE(popup->title(), QStringLiteral("Popup"));
    QVERIFY(!form_->menuBar()->actions().contains(popup->menuAction()));
    QCOMPARE(captions(popup),
             QStringList({"Start in system tray", "Run at startup", "Settings", "Terminate"}));

    // The names, in the order they show; only the option pairs carry marks, and none is
    // set before start-up.
    const QList<const QMenu*> menus{file, popup, help};
    const QList<QStringList> names{{"mnuSystray", "mnuStartup", "mnuExit"},
                                   {"mnuSystray2", "mnuStartup2", "mnuSettings", "mnuTerminate"},
                                   {"mnuReset", "mnuAbout"}};
    const QStringList checkable{"mnuSystray", "mnuStartup", "mnuSystray2", "mnuStartup2"};
    for (qsizetype m = 0; m < menus.size(); ++m) {
        const QList<QAction*> actions = menus[m]->actions();
        QCOMPARE(actions.size(), names[m].size());
        for (qsizetype i = 0; i < actions.size(); ++i) {
            const QAction* action = actions[i];
            const QString name = names[m][i];
            QCOMPARE(action->objectName(), name);
            QVERIFY2(action->isEnabled() && !action->isSeparator(), qPrintable(name));
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(name));
            QVERIFY2(!action->text().contains('&'), qPrintable(name));
            QCOMPARE(action->isCheckable(), checkable.contains(name));
            QVERIFY2(!action->isChecked(), qPrintable(name));
        }
    }
}

void MenusTest::startInTrayMarksAgree_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("checked");

    QTest::newRow("File menu") << QStringList{"mnuSystray"} << true;
    QTest::newRow("pop-up") << QStringList{"mnuSystray2"} << true;
    QTest::newRow("File menu twice") << QStringList{"mnuSystray", "mnuSystray"} << false;
    QTest::newRow("pop-up twice") << QStringList{"mnuSystray2", "mnuSystray2"} << false;
    QTest::newRow("one of each") << QStringList{"mnuSystray", "mnuSystray2"} << false;
    QTest::newRow("three clicks") << QStringList{"mnuSystray2", "mnuSystray", "mnuSystray2"}
                                  << true;
}

void MenusTest::startInTrayMarksAgree() {
    QFETCH(QStringList, clicks);
    QFETCH(bool, checked);

    makeForm();
    QVERIFY(!form_->load({}));
    for (const QString& name : clicks) {
        form_->findChild<QAction*>(name)->trigger();
    }
    QCOMPARE(item("mnuSystray")->isChecked(), checked);
    QCOMPARE(item("mnuSystray2")->isChecked(), checked);
    // Switching the option neither hides the window nor saves anything yet.
    QVERIFY(form_->isVisible());
    QVERIFY(!form_->isMinimized());
    QCOMPARE(savedSetting(loc::settingSystray), std::string());

    form_->close();
    QCOMPARE(savedSetting(loc::settingSystray), std::string(checked ? "True" : "False"));
}

void MenusTest::startInTrayTakesEffectAtTheNextStart() {
    makeForm();
    QVERIFY(!form_->load({}));
    item("mnuSystray2")->trigger();
    item("mnuTerminate")->trigger();

    makeForm();
    QVERIFY(!form_->load({}));
    QVERIFY(item("mnuSystray")->isChecked());
    QVERIFY(item("mnuSystray2")->isChecked());
    QVERIFY(form_->isMinimized());
}

void MenusTest::startUpSetsRunMarksFromTheLogonEntry_data() {
    QTest::addColumn<QString>("entry"); // null: no value at all
    QTest::addColumn<bool>("autostartFile");
    QTest::addColumn<bool>("checked");

    QTest::newRow("no entry") << QString() << false << false;
    QTest::newRow("empty entry") << "" << false << false;
    QTest::newRow("an entry") << "C:\\Apps\\Quillarbor.exe" << false << true;
    QTest::newRow("any text counts") << " " << false << true;
    // The marks follow the store alone, even where the desktop's own entry disagrees.
    QTest::newRow("autostart file, no entry") << QString() << true << false;
}

void MenusTest::startUpSetsRunMarksFromTheLogonEntry() {
    QFETCH(QString, entry);
    QFETCH(bool, autostartFile);
    QFETCH(bool, checked);

    if (!entry.isNull()) {
        regSaveString(RegRoot::CurrentUser, loc::runKey, loc::runValue, entry.toStdString());
    }
    if (autostartFile) {
        setAutostart(true, "/usr/bin/quillarbor");
        QVERIFY(autostartEntryExists());
    }
    makeForm();
    QVERIFY(!form_->load({}));
    QCOMPARE(item("mnuStartup")->isChecked(), checked);
    QCOMPARE(item("mnuStartup2")->isChecked(), checked);

    // Start-up and shutdown only read the entry.
    form_->close();
    QCOMPARE(QString::fromStdString(runValue()), entry.isNull() ? QString("") : entry);
    QCOMPARE(autostartEntryExists(), autostartFile);
}

void MenusTest::runAtStartupMarksAgreeAndWrite_data() {
    QTest::addColumn<bool>("entryAtStart");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("checked");

    QTest::newRow("File menu on") << false << QStringList{"mnuStartup"} << true;
    QTest::newRow("pop-up on") << false << QStringList{"mnuStartup2"} << true;
    QTest::newRow("File menu off") << true << QStringList{"mnuStartup"} << false;
    QTest::newRow("pop-up off") << true << QStringList{"mnuStartup2"} << false;
    QTest::newRow("on and off again") << false << QStringList{"mnuStartup", "mnuStartup2"} << false;
    QTest::newRow("three clicks") << false
                                  << QStringList{"mnuStartup2", "mnuStartup2", "mnuStartup"}
                                  << true;
    QTest::newRow("off, on, off") << true << QStringList{"mnuStartup2", "mnuStartup", "mnuStartup"}
                                  << false;
}

void MenusTest::runAtStartupMarksAgreeAndWrite() {
    QFETCH(bool, entryAtStart);
    QFETCH(QStringList, clicks);
    QFETCH(bool, checked);

    if (entryAtStart) {
        regSaveString(RegRoot::CurrentUser, loc::runKey, loc::runValue, "old entry");
        setAutostart(true, "/old/quillarbor");
    }
    makeForm();
    QVERIFY(!form_->load({}));
    QCOMPARE(item("mnuStartup")->isChecked(), entryAtStart);

    for (const QString& name : clicks) {
        form_->findChild<QAction*>(name)->trigger();
        const bool on = item("mnuStartup")->isChecked();
        QCOMPARE(item("mnuStartup2")->isChecked(), on);
        // Written or removed at each click, not at exit.
        QCOMPARE(runValue().empty(), !on);
        QCOMPARE(autostartEntryExists(), on);
    }
    QCOMPARE(item("mnuStartup")->isChecked(), checked);
    if (checked) {
        QVERIFY(runValue() != "old entry");
        QVERIFY(QString::fromStdString(runValue()).contains(QStringLiteral("Quillarbor.exe")));
        QCOMPARE(autostartExecLine(),
                 QByteArray("Exec=") +
                     QByteArray::fromStdString(desktopExecValue(runningExecutable())));
    }
    // The option touches nothing else.
    QCOMPARE(savedSetting(loc::settingSystray), std::string());
    QCOMPARE(toolbarValue(), std::string());
    QVERIFY(form_->isVisible());
}

void MenusTest::runEntryNamesTheProgramFolder_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("quoted");

    QTest::newRow("plain folder") << "apps" << false;
    QTest::newRow("folder with a space") << "Skin Tool" << true;
}

void MenusTest::runEntryNamesTheProgramFolder() {
    QFETCH(QString, folder);
    QFETCH(bool, quoted);

    // A copy of this binary in the folder, so that the folder is the program's own.
    QTemporaryDir place;
    const QString home = physical(place.path()) + '/' + folder;
    QVERIFY(QDir().mkpath(home));
    const QString program = home + QStringLiteral("/menus_test");
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));

    const auto runFromThere = [&program, &place] {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), place.path());
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(program, {QString::fromLatin1(kToggleFromHere)});
        return child.waitForFinished(60000) && child.exitStatus() == QProcess::NormalExit
                   ? child.exitCode()
                   : -1;
    };

    QCOMPARE(runFromThere(), 1); // switched on
    const QString command = home + QStringLiteral("/Quillarbor.exe");
    QCOMPARE(QString::fromStdString(runValue()), quoted ? '"' + command + '"' : command);
    // Desktop entries quote any path, and want the real file, whatever its name.
    QCOMPARE(autostartExecLine(), "Exec=\"" + program.toUtf8() + '"');

    QCOMPARE(runFromThere(), 0); // and off again
    QCOMPARE(runValue(), std::string());
    QVERIFY(!autostartEntryExists());
}

void MenusTest::resetAnswers_data() {
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<bool>("ends");

    QTest::newRow("Cancel") << QStringList{"Cancel"} << false << false;
    QTest::newRow("Esc") << QStringList{"Esc"} << false << false;
    QTest::newRow("OK, Cancel") << QStringList{"OK", "Cancel"} << true << false;
    QTest::newRow("OK, Esc") << QStringList{"OK", "Esc"} << true << false;
    QTest::newRow("OK, OK") << QStringList{"OK", "OK"} << true << true;
}

void MenusTest::resetAnswers() {
    QFETCH(QStringList, answers);
    QFETCH(bool, reset);
    QFETCH(bool, ends);

    const std::string skin = "/skins/previous.bmp";
    regSaveString(RegRoot::CurrentUser, loc::toolbarKey, loc::toolbarValue, skin);
    regSaveString(RegRoot::CurrentUser, loc::runKey, loc::runValue, "entry");
    saveSetting(loc::settingDelay, "0.1");
    makeForm();
    QVERIFY(!form_->load({}));
    form_->findChild<QLineEdit*>(QStringLiteral("txtDelay"))->setText(QStringLiteral("0.2"));
    QSignalSpy ended(form_.get(), &Form1::ended);

    QList<BoxSeen> seen;
    std::string toolbarDuringSecondBox;
    QList<ModalScript::Step> steps;
    for (const QString& how : answers) {
        steps << [&, how](QWidget* box) {
            seen << describe(box);
            if (seen.size() == 2) {
                toolbarDuringSecondBox = toolbarValue();
                // Far more seconds than any countdown of this delay: the reset still
                // holds while the user reads the box.
                fireSeconds(100);
            }
            answer(box, how);
        };
    }
    ModalScript script(steps);
    item("mnuReset")->trigger();
    QCOMPARE(script.remaining(), 0);
    QCOMPARE(script.unexpected(), 0);

    const QStringList texts{
        QStringLiteral("Are you sure you want to do this? (Please see documentation first.)"),
        QStringLiteral("Quillarbor will exit next.")};
    QCOMPARE(seen.size(), answers.size());
    for (qsizetype i = 0; i < seen.size(); ++i) {
        QCOMPARE(seen[i].title, QStringLiteral("Reset Registry before uninstall"));
        QCOMPARE(seen[i].text, texts[i]);
        QCOMPARE(seen[i].icon, QMessageBox::NoIcon);
        QCOMPARE(seen[i].buttons, QStringList({"Cancel", "OK"}));
        QVERIFY(seen[i].okIsDefault);
        QVERIFY(seen[i].titleFits);
    }
    if (seen.size() == 2) {
        QCOMPARE(toolbarDuringSecondBox, std::string(" "));
    }
    QCOMPARE(toolbarValue(), reset ? std::string(" ") : skin);
    QCOMPARE(ended.count(), ends ? 1 : 0);
    // The logon entry stays; an exit saves the settings as every exit does.
    QCOMPARE(runValue(), std::string("entry"));
    QCOMPARE(savedSetting(loc::settingDelay), std::string(ends ? "0.2" : "0.1"));
    if (!ends) {
        // The program carries on: its countdown runs again and applies the next skin.
        QVERIFY(ticker_->isEnabled());
        fireSeconds(100);
        QCOMPARE(toolbarValue(), folderText(skins_->path()) + "/only.bmp");
    }
}

void MenusTest::settingsBringsTheWindowBack() {
    makeForm();
    QVERIFY(!form_->load({}));
    form_->showMinimized();
    form_->hide();
    QVERIFY(!form_->isVisible());

    item("mnuSettings")->trigger();
    QVERIFY(form_->isVisible());
    QVERIFY(!form_->isMinimized());
    QTRY_COMPARE(QApplication::activeWindow(), form_.get());
}

void MenusTest::aboutOpensModally() {
    makeForm();
    QVERIFY(!form_->load({}));

    // Twice: each opening is a dialog loaded afresh and gone once closed.
    for (int opening = 0; opening < 2; ++opening) {
        QString title;
        bool modal = false;
        QString message;
        ModalScript script({[&](QWidget* shown) {
            auto* about = qobject_cast<frmAbout*>(shown);
            if (about == nullptr) {
                shown->close();
                return;
            }
            title = about->windowTitle();
            modal = about->isModal() && about->windowModality() == Qt::ApplicationModal &&
                    QApplication::activeModalWidget() == about;
            // Its messages are the program's boxes: answered beforehand, never blocking.
            MessageBox::setNextAnswer(MessageBox::Ok);
            about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->click();
            message = MessageBox::lastText();
            about->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        }});
        item("mnuAbout")->trigger();
        QCOMPARE(script.remaining(), 0);
        QCOMPARE(script.unexpected(), 0);
        QCOMPARE(title, QStringLiteral("About Quillarbor"));
        QVERIFY(modal);
        QCOMPARE(message, QStringLiteral("System Information Is Unavailable At This Time"));
        QVERIFY(form_->findChildren<frmAbout*>().isEmpty());
        QVERIFY(form_->isVisible());
    }
}

namespace {

// The exit code says which way the option went: 1 on, 0 off.
int toggleRunAtStartupOnce() {
    FixedRandom random({0.0f});
    ManualTicker ticker;
    Form1 form(random, &ticker);
    if (form.load({})) {
        return 2;
    }
    auto* popupItem = form.findChild<QAction*>(QStringLiteral("mnuStartup2"));
    popupItem->trigger();
    const bool on = popupItem->isChecked();
    form.close();
    return on ? 1 : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    // The program's icons live in a static library; they must be pulled in by name.
    Q_INIT_RESOURCE(quillarbor);
    QApplication app(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], kToggleFromHere) == 0) {
        return toggleRunAtStartupOnce();
    }
    MenusTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "menus_test.moc"
