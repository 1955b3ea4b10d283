// What a screen reader and a keyboard user get from the main window and the About box, and how
// both windows take a large desktop font.
#include "support/gui_test_support.h"

#include "app/startup_rules.h"

#include "qt/FileList.h"
#include "qt/MainWindow.h"
#include "qt/frmAbout.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace quillarbor;
using namespace quillarbor::test;

static void initResources() {
    Q_INIT_RESOURCE(quillarbor);
}

namespace {

// The controls a window places itself: the named children of its client area.
QList<QWidget*> controlsOf(QWidget* area) {
    QList<QWidget*> controls;
    for (QWidget* child : area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->objectName().isEmpty() &&
            (qobject_cast<QAbstractButton*>(child) || qobject_cast<QLabel*>(child) ||
             qobject_cast<QLineEdit*>(child) || qobject_cast<QComboBox*>(child) ||
             qobject_cast<QAbstractItemView*>(child))) {
            controls << child;
        }
    }
    return controls;
}

QString spoken(QWidget* control, QAccessible::Text what) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face != nullptr ? face->text(what) : QString();
}

// A caption and everything it must fit in: one line for the main window's captions, its
// box word-wrapped for the About box's labels, the button less its margins for a button.
void verifyFits(const QWidget* control, bool wraps) {
    const QFontMetrics metrics(control->font());
    const QByteArray nameText = control->objectName().toLatin1();
    const char* name = nameText.constData();
    QVERIFY2(control->font() == QApplication::font(), name); // the desktop's type, never smaller
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        QVERIFY2(metrics.horizontalAdvance(text) + 8 <= button->width(), name);
        return;
    }
    const auto* label = qobject_cast<const QLabel*>(control);
    const QRect box = label->contentsRect();
    const QRect needed =
        wraps
            ? metrics.boundingRect(QRect(0, 0, box.width(), 10000), Qt::TextWordWrap, label->text())
            : QRect(0, 0, metrics.horizontalAdvance(label->text()), metrics.height());
    QVERIFY2(needed.width() <= box.width() && needed.height() <= box.height(), name);
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyControlIsNamedAndDescribed_data();
    void everyControlIsNamedAndDescribed();
    void captionsNameTheirFields_data();
    void captionsNameTheirFields();
    void lastShownSkinIsReadByItsCaption();
    void tabReachesEveryControlOnce();
    void enterInTheSkinListAppliesTheSkin();
    void menusOpenFromTheKeyboard_data();
    void menusOpenFromTheKeyboard();
    void captionsFitWithALargeFont_data();
    void captionsFitWithALargeFont();

private:
    void showForm();
    std::unique_ptr<frmAbout> makeAbout();

    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> start_;
    std::unique_ptr<CurrentFolder> cwd_;
    std::unique_ptr<Program> program_;
    MainWindow* form_ = nullptr;
    QFont appFont_;
};

void AccessibilityTest::initTestCase() {
    initResources();
    appFont_ = QApplication::font();
}

void AccessibilityTest::init() {
    settings_ = std::make_unique<TempSettings>();
    start_ = std::make_unique<QTemporaryDir>();
    writeBitmap(start_->filePath(QStringLiteral("blue.bmp")), Qt::blue);
    cwd_ = std::make_unique<CurrentFolder>(start_->path());
}

void AccessibilityTest::cleanup() {
    program_.reset();
    cwd_.reset();
    start_.reset();
    settings_.reset();
    QApplication::setFont(appFont_);
}

void AccessibilityTest::showForm() {
    program_ = std::make_unique<Program>(std::vector<float>{0.0f});
    form_ = &program_->form;
    form_->showSkinFolder(quillarbor::currentFolder());
    form_->show();
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_));
}

std::unique_ptr<frmAbout> AccessibilityTest::makeAbout() {
    return std::make_unique<frmAbout>([](QWidget*, const QString&, const QString&) {});
}

void AccessibilityTest::everyControlIsNamedAndDescribed_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("controls");
    QTest::newRow("main window") << "MainWindow" << 13;
    QTest::newRow("About box") << "frmAbout" << 8;
}

void AccessibilityTest::everyControlIsNamedAndDescribed() {
    QFETCH(QString, window);
    QFETCH(int, controls);

    std::unique_ptr<frmAbout> about;
    QWidget* area = nullptr;
    if (window == QLatin1String("MainWindow")) {
        showForm();
        area = form_->centralWidget();
    } else {
        about = makeAbout();
        about->show(); // the title and version are written on opening
        area = about.get();
    }
    const QList<QWidget*> found = controlsOf(area);
    QCOMPARE(found.size(), controls);
    for (QWidget* control : found) {
        const QByteArray nameText = control->objectName().toLatin1();
        const char* name = nameText.constData();
        QVERIFY2(!spoken(control, QAccessible::Name).trimmed().isEmpty(), name);
        QVERIFY2(!spoken(control, QAccessible::Description).trimmed().isEmpty(), name);
        // A name that is only the object's own would tell a listener nothing.
        QVERIFY2(spoken(control, QAccessible::Name) != control->objectName(), name);
    }
}

void AccessibilityTest::captionsNameTheirFields_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("field");
    QTest::newRow("path") << "lblFolders"
                          << "driveList";
    QTest::newRow("skins") << "lblSkins"
                           << "skinList";
    QTest::newRow("delay") << "lblDelay"
                           << "txtDelay";
    QTest::newRow("countdown") << "lblCountdown"
                               << "txtCountdown";
}

void AccessibilityTest::captionsNameTheirFields() {
    QFETCH(QString, caption);
    QFETCH(QString, field);

    showForm();
    auto* label = form_->findChild<QLabel*>(caption);
    auto* control = form_->findChild<QWidget*>(field);
    QCOMPARE(label->buddy(), control);
    QVERIFY(!label->text().contains(QLatin1Char('&')));

    // The relation a screen reader sees: the caption labels the field.
    QAccessibleInterface* fieldFace = QAccessible::queryAccessibleInterface(control);
    QAccessibleInterface* labelFace = QAccessible::queryAccessibleInterface(label);
    bool labels = false;
    for (const auto& relation : labelFace->relations(QAccessible::Labelled)) {
        labels = labels || relation.first == fieldFace;
    }
    QVERIFY(labels);
}

void AccessibilityTest::lastShownSkinIsReadByItsCaption() {
    showForm();
    auto* label = form_->findChild<QLabel*>(QStringLiteral("lblLastShown"));
    QCOMPARE(spoken(label, QAccessible::Name), QStringLiteral("Last shown skin"));
    program_->presenter.pickRandomSkin();
    QCOMPARE(spoken(label, QAccessible::Name), QStringLiteral("Last shown: blue.bmp"));
}

void AccessibilityTest::tabReachesEveryControlOnce() {
    showForm();
    QList<QWidget*> focusable;
    for (QWidget* control : controlsOf(form_->centralWidget())) {
        if (control->focusPolicy() & Qt::TabFocus) {
            focusable << control;
        }
    }
    QVERIFY(focusable.size() >= 7);

    // One round from the start focus visits each control once and comes back to it.
    QWidget* first = QApplication::focusWidget();
    QCOMPARE(first->objectName(), QStringLiteral("startFocus"));
    QList<QWidget*> visited;
    do {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    } while (visited.last() != first && visited.size() <= focusable.size());
    QCOMPARE(visited.size(), focusable.size());
    for (QWidget* control : focusable) {
        QVERIFY2(visited.count(control) == 1, qPrintable(control->objectName()));
    }
}

void AccessibilityTest::enterInTheSkinListAppliesTheSkin() {
    showForm();
    auto* list = form_->findChild<FileList*>(QStringLiteral("skinList"));
    while (QApplication::focusWidget() != list) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // The focus marks the first entry; Space selects it.
    QCOMPARE(list->listIndex(), -1);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(toolbarValue(), std::string());
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(list->listIndex(), 0);

    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(toolbarValue(), folderText(start_->path()) + "/blue.bmp");
    QCOMPARE(program_->presenter.lastShown(), std::string("blue.bmp"));

    // Enter anywhere else keeps its own meaning.
    writeBitmap(start_->filePath(QStringLiteral("red.bmp")));
    form_->refreshSkinList();
    QTest::keyClick(list, Qt::Key_Down);
    auto* command1 = form_->findChild<QWidget*>(QStringLiteral("startFocus"));
    command1->setFocus();
    QTest::keyClick(command1, Qt::Key_Enter);
    QCOMPARE(program_->presenter.lastShown(), std::string("blue.bmp"));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Enter);
    QCOMPARE(program_->presenter.lastShown(), std::string("red.bmp"));
}

void AccessibilityTest::menusOpenFromTheKeyboard_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::newRow("F10") << QList<int>{Qt::Key_F10};
    QTest::newRow("Alt, Down") << QList<int>{Qt::Key_Alt, Qt::Key_Down};
}

void AccessibilityTest::menusOpenFromTheKeyboard() {
    QFETCH(QList<int>, keys);

    showForm();
    auto* file = form_->findChild<QMenu*>(QStringLiteral("mnuFile"));
    auto* help = form_->findChild<QMenu*>(QStringLiteral("mnuHelp"));
    auto* systray = form_->findChild<QAction*>(QStringLiteral("mnuSystray"));
    auto* startup = form_->findChild<QAction*>(QStringLiteral("mnuStartup"));
    auto* systray2 = form_->findChild<QAction*>(QStringLiteral("mnuSystray2"));
    const auto open = [&] {
        for (const int key : keys) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        }
    };

    open();
    QTRY_COMPARE(QApplication::activePopupWidget(), file);
    QCOMPARE(file->activeAction(), systray);

    // The arrows move between the menus and their items; Return picks one.
    QTest::keyClick(file, Qt::Key_Right);
    QTRY_COMPARE(QApplication::activePopupWidget(), help);
    QTest::keyClick(help, Qt::Key_Left);
    QTRY_COMPARE(QApplication::activePopupWidget(), file);
    QTest::keyClick(file, Qt::Key_Down);
    QCOMPARE(file->activeAction(), startup);
    QTest::keyClick(file, Qt::Key_Up);
    QCOMPARE(file->activeAction(), systray);
    QVERIFY(!systray->isChecked());
    QTest::keyClick(file, Qt::Key_Return);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY(systray->isChecked());
    QVERIFY(systray2->isChecked());

    // Esc closes the menu without picking anything.
    open();
    QTRY_COMPARE(QApplication::activePopupWidget(), file);
    QTest::keyClick(file, Qt::Key_Escape);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY(systray->isChecked());
}

void AccessibilityTest::captionsFitWithALargeFont_data() {
    QTest::addColumn<qreal>("points");
    QTest::newRow("14 pt") << 14.0;
    QTest::newRow("20 pt") << 20.0;
}

void AccessibilityTest::captionsFitWithALargeFont() {
    QFETCH(qreal, points);

    QFont large = appFont_;
    large.setPointSizeF(points);
    QApplication::setFont(large);

    showForm();
    for (const char* name : {"lblFolders", "lblSkins", "lblDelay", "lblCountdown"}) {
        verifyFits(form_->findChild<QLabel*>(QString::fromLatin1(name)), false);
    }
    auto about = makeAbout();
    about->show();
    for (QWidget* control : controlsOf(about.get())) {
        const auto* label = qobject_cast<const QLabel*>(control);
        if (label == nullptr || !label->text().isEmpty()) {
            verifyFits(control, true);
        }
    }
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
