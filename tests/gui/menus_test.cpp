// The menu bar and the tray pop-up as Qt builds them: the tree, the marks of each option pair,
// the real reset boxes and the About dialog.
#include "support/gui_test_support.h"

#include "qt/MessageBox.h"
#include "qt/frmAbout.h"
#include "settings/registry.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace quillarbor;
using namespace quillarbor::test;

// The icons live in the GUI library's resources, which a static link does not register by itself.
static void initResources() {
    Q_INIT_RESOURCE(quillarbor);
}

namespace {

// Runs the next step on each modal window as it opens, while the code under test waits in its
// exec(); one beyond the steps is closed and counted, so that no test can hang on it.
class ModalScript : public QObject {
public:
    using Step = std::function<void(QWidget*)>;
    explicit ModalScript(QList<Step> steps) : steps_(std::move(steps)) {
        connect(&poll_, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == last_ || !modal->isVisible()) {
                return;
            }
            last_ = modal;
            if (steps_.isEmpty()) {
                ++unexpected;
                modal->close();
            } else {
                steps_.takeFirst()(modal);
            }
        });
        poll_.start(5);
    }
    int unexpected = 0;

private:
    QList<Step> steps_;
    QTimer poll_;
    QPointer<QWidget> last_;
};

// What a box shows and how: title, text, icon, buttons, the default one, room for the title.
QString describe(QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box == nullptr) {
        return QStringLiteral("not a message box");
    }
    QStringList buttons;
    for (QAbstractButton* button : box->buttons()) {
        buttons << button->text().remove('&');
    }
    buttons.sort();
    // A frame draws its title in bold beside an icon and three buttons, each about a line
    // high: narrower, the title would be cut short.
    QFont bold = box->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const bool titleFits =
        box->width() >= metrics.horizontalAdvance(box->windowTitle()) + 4 * metrics.height();
    return QStringList{box->windowTitle(),
                       box->text(),
                       QString::number(box->icon()),
                       buttons.join(','),
                       box->defaultButton()->text().remove('&'),
                       titleFits ? "title fits" : "title cut"}
        .join('|');
}

} // namespace

class MenusTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void init();
    void cleanup();

    void menuTree();
    void pairsAgreeWithThePresenter_data();
    void pairsAgreeWithThePresenter();
    void resetBoxesAreModalAndEscapeCancels();
    void aboutOpensModally();

private:
    QAction* item(const QString& name) const { return program_->form.findChild<QAction*>(name); }
    void start() { QVERIFY(program_->presenter.load({}) == MainWindowPresenter::Start::Running); }

    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> skins_;
    std::unique_ptr<CurrentFolder> cwd_;
    std::unique_ptr<Program> program_;
};

void MenusTest::init() {
    // Any warning fails, but the offscreen platform's own about what it cannot do.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^(?!This plugin does not support )")));
    settings_ = std::make_unique<TempSettings>();
    skins_ = std::make_unique<QTemporaryDir>();
    writeBitmap(skins_->filePath(QStringLiteral("only.bmp")));
    cwd_ = std::make_unique<CurrentFolder>(skins_->path());
    program_ = std::make_unique<Program>(std::vector<float>{0.0f});
}

void MenusTest::cleanup() {
    program_.reset();
    cwd_.reset();
    skins_.reset();
    settings_.reset();
}

void MenusTest::menuTree() {
    const MainWindow& form = program_->form;
    QCOMPARE(form.menuBar()->actions().size(), 2);
    // Each menu's items by name and caption, in the order they show. None has a separator, a
    // shortcut or an access key; only the option pairs carry marks, unset before start-up.
    const QList<QPair<QString, QStringList>> menus{
        {"mnuFile File",
         {"mnuSystray Start in system tray", "mnuStartup Run at startup", "mnuExit Exit"}},
        {"mnuTray Popup",
         {"mnuSystray2 Start in system tray", "mnuStartup2 Run at startup", "mnuSettings Settings",
          "mnuTerminate Terminate"}},
        {"mnuHelp Help", {"mnuReset Reset before uninstall", "mnuAbout About"}},
    };
    for (const auto& [menuName, items] : menus) {
        const auto* menu = form.findChild<QMenu*>(menuName.section(' ', 0, 0));
        QCOMPARE(menu->objectName() + ' ' + menu->title(), menuName);
        // The pop-up is never part of the menu bar.
        QCOMPARE(form.menuBar()->actions().contains(menu->menuAction()), menu->title() != "Popup");
        QStringList shown;
        for (const QAction* action : menu->actions()) {
            const QString name = action->objectName();
            shown << name + ' ' + action->text();
            QVERIFY2(action->isEnabled() && !action->isSeparator(), qPrintable(name));
            QVERIFY2(action->shortcut().isEmpty() && !action->isChecked(), qPrintable(name));
            QCOMPARE(action->isCheckable(),
                     name.contains(QRegularExpression("^mnuS(ystray|tartup)")));
        }
        QCOMPARE(shown, items);
    }
}

void MenusTest::pairsAgreeWithThePresenter_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("startInTray");
    QTest::addColumn<bool>("runAtStartup");

    QTest::newRow("mnuSystray") << QStringList{"mnuSystray"} << true << false;
    QTest::newRow("mnuSystray2") << QStringList{"mnuSystray2"} << true << false;
    QTest::newRow("one of each tray item")
        << QStringList{"mnuSystray", "mnuSystray2"} << false << false;
    QTest::newRow("mnuStartup") << QStringList{"mnuStartup"} << false << true;
    QTest::newRow("mnuStartup2") << QStringList{"mnuStartup2"} << false << true;
    QTest::newRow("one of each startup item")
        << QStringList{"mnuStartup2", "mnuStartup"} << false << false;
}

void MenusTest::pairsAgreeWithThePresenter() {
    QFETCH(QStringList, clicks);
    QFETCH(bool, startInTray);
    QFETCH(bool, runAtStartup);

    start();
    for (const QString& name : clicks) {
        item(name)->trigger();
    }
    QCOMPARE(program_->presenter.startInTray(), startInTray);
    QCOMPARE(item("mnuSystray")->isChecked(), startInTray);
    QCOMPARE(item("mnuSystray2")->isChecked(), startInTray);
    QCOMPARE(program_->presenter.runAtStartup(), runAtStartup);
    QCOMPARE(item("mnuStartup")->isChecked(), runAtStartup);
    QCOMPARE(item("mnuStartup2")->isChecked(), runAtStartup);
}

void MenusTest::resetBoxesAreModalAndEscapeCancels() {
    start();
    QStringList seen;
    ModalScript script({[&](QWidget* box) {
                            seen << describe(box);
                            QTest::keyClick(box, Qt::Key_Return); // OK is the default
                        },
                        [&](QWidget* box) {
                            seen << describe(box);
                            QTest::keyClick(box, Qt::Key_Escape);
                        }});
    item("mnuReset")->trigger();
    QCOMPARE(script.unexpected, 0);
    const QString title = QStringLiteral("Reset Registry before uninstall|");
    const QString look = QString::number(QMessageBox::NoIcon) + "|Cancel,OK|OK|title fits";
    QCOMPARE(seen, QStringList({title +
                                    "Are you sure you want to do this? (Please see "
                                    "documentation first.)|" +
                                    look,
                                title + "Quillarbor will exit next.|" + look}));
    // OK went on; Escape answered Cancel, so the program carries on.
    QCOMPARE(toolbarValue(), std::string(" "));
    QVERIFY(!program_->presenter.hasEnded());
}

void MenusTest::aboutOpensModally() {
    start();
    // Twice: each opening is a dialog loaded afresh and gone once closed.
    for (int opening = 0; opening < 2; ++opening) {
        bool modal = false;
        QString message;
        ModalScript script({[&](QWidget* shown) {
            auto* about = qobject_cast<frmAbout*>(shown);
            if (about == nullptr) {
                shown->close();
                return;
            }
            modal = about->isModal() && about->windowModality() == Qt::ApplicationModal;
            // Its messages are the program's boxes: answered beforehand, never blocking.
            MessageBox::setNextAnswer(MessageBox::Ok);
            about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->click();
            message = MessageBox::lastText();
            about->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        }});
        item("mnuAbout")->trigger();
        QCOMPARE(script.unexpected, 0);
        QVERIFY(modal);
        QCOMPARE(message, QStringLiteral("System Information Is Unavailable At This Time"));
        QVERIFY(program_->form.findChildren<frmAbout*>().isEmpty());
        QVERIFY(program_->form.isVisible());
    }
}

QTEST_MAIN(MenusTest)
#include "menus_test.moc"
