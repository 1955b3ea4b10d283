// The About box: its controls, keys and placing, and the system information launcher.
#include "support/gui_test_support.h"

#include "qt/frmAbout.h"
#include "version.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <memory>

using namespace quillarbor;
using namespace quillarbor::test;

// The icons live in the GUI library's resources, which a static link does not register by itself.
static void initResources() {
    Q_INIT_RESOURCE(quillarbor);
}

namespace {

struct Message {
    QWidget* parent;
    QString text;
    QString title;
};

const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

} // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controlsAndTexts_data();
    void controlsAndTexts();
    void windowIsFixedAndCaptioned();
    void textsFitTheirBoxes();
    void separatorIsPainted();
    void enterAndEscapePressOk_data();
    void enterAndEscapePressOk();
    void altSPressesSystemInfo();
    void tabOrderSkipsTheLabels();
    void everyOpeningLoadsAndCentresAgain();
    void startSysInfo_data();
    void startSysInfo();

private:
    void writeMachineFile(const QByteArray& text, int paddedLength);
    void writeTool(const QString& path);
    QString started() const;

    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> tools_;
    std::unique_ptr<frmAbout> about_;
    QList<Message> messages_;
};

void AboutTest::initTestCase() {
    initResources();
}

void AboutTest::init() {
    settings_ = std::make_unique<TempSettings>();
    tools_ = std::make_unique<QTemporaryDir>();
    messages_.clear();
    about_ = std::make_unique<frmAbout>(
        [this](QWidget* parent, const QString& text, const QString& title) {
            messages_.append({parent, text, title});
        });
}

void AboutTest::cleanup() {
    about_.reset();
    tools_.reset();
    settings_.reset();
}

// "$TOOLS" stands for the tools folder, "$HEXTOOL" for the path of tool.sh as a
// byte list, "$PADDED" for that path padded to `paddedLength` bytes.
void AboutTest::writeMachineFile(const QByteArray& text, int paddedLength) {
    const QByteArray dir = QFile::encodeName(tools_->path());
    const QByteArray tool = "tool.sh";
    QByteArray body = text;
    body.replace("$HEXTOOL", (dir + "/" + tool).toHex(','));
    if (paddedLength > 0) {
        // Repeated slashes name the same file.
        body.replace("$PADDED",
                     dir + QByteArray(paddedLength - dir.size() - tool.size(), '/') + tool);
    }
    body.replace("$TOOLS", dir);

    const QString config = QFile::decodeName(qgetenv("XDG_CONFIG_DIRS")) + "/quillarbor";
    QDir().mkpath(config);
    writeText(config + "/machine.reg", "REGEDIT4\n\n" + body);
}

// A program that notes its own name in the log, so a test sees that it really ran.
void AboutTest::writeTool(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    writeText(path, "#!/bin/sh\necho \"" + QFile::encodeName(QFileInfo(path).fileName()) +
                        "\" >> \"" + QFile::encodeName(tools_->filePath("log")) + "\"\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
}

QString AboutTest::started() const {
    QFile log(tools_->filePath("log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).trimmed() : QString();
}

void AboutTest::controlsAndTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("black");

    QTest::newRow("cmdOK") << "cmdOK"
                           << "OK" << false;
    QTest::newRow("picIcon") << "picIcon"
                             << "" << false;
    QTest::newRow("cmdSysInfo") << "cmdSysInfo"
                                << "&System Info..." << false;
    QTest::newRow("lblDescription")
        << "lblDescription"
        << "This app will switch the default wallpaper for Microsoft Internet Explorer 5+ at a "
           "specified interval. It will NOT change a window already open however. This is "
           "freeware. E-mail comments to quillarbor@example.org."
        << true;
    QTest::newRow("lblDisclaimer") << "lblDisclaimer"
                                   << "" << true;
    QTest::newRow("lblTitle") << "lblTitle"
                              << "Quillarbor" << true;
    QTest::newRow("lblVersion") << "lblVersion"
                                << "Version " + QString::fromLatin1(kVersionText) << false;
    QTest::newRow("lblNotice") << "lblNotice"
                               << "Copyright \u00a9 2026 the Quillarbor developers." << false;
}

void AboutTest::controlsAndTexts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, black);

    about_->show();
    auto* control = about_->findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->parentWidget(), about_.get());
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        const QColor ink = label->palette().color(QPalette::WindowText);
        if (black) {
            QCOMPARE(ink, QColor(Qt::black));
        } else {
            QCOMPARE(ink, about_->palette().color(QPalette::WindowText));
        }
        if (name == "picIcon") {
            QCOMPARE(label->pixmap().size(), QSize(32, 32));
        } else {
            QVERIFY(label->wordWrap());
        }
    } else {
        QCOMPARE(qobject_cast<QPushButton*>(control)->text(), text);
    }
}

void AboutTest::windowIsFixedAndCaptioned() {
    about_->show();
    QCOMPARE(about_->windowTitle(), QStringLiteral("About Quillarbor"));
    verifyScaledLayout(about_.get(), form::kAboutControls, form::kAboutClientWidth,
                       form::kAboutClientHeight);
    QCOMPARE(about_->minimumSize(), about_->maximumSize());
    const Qt::WindowFlags flags = about_->windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    QCOMPARE(about_->windowIcon().availableSizes(), QList<QSize>({QSize(32, 32)}));
}

void AboutTest::textsFitTheirBoxes() {
    about_->show();
    for (auto* label : about_->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) {
            continue;
        }
        const QRect box = label->contentsRect();
        const QRect needed =
            QFontMetrics(label->font())
                .boundingRect(QRect(0, 0, box.width(), 10000), Qt::TextWordWrap, label->text());
        QVERIFY2(needed.width() <= box.width() && needed.height() <= box.height(),
                 qPrintable(label->objectName()));
    }
    for (auto* button : about_->findChildren<QPushButton*>()) {
        const int textWidth =
            QFontMetrics(button->font()).horizontalAdvance(button->text().remove('&'));
        QVERIFY2(textWidth + 8 <= button->width(), qPrintable(button->objectName()));
    }
}

void AboutTest::separatorIsPainted() {
    about_->show();
    const QImage shot = about_->grab().toImage();
    const double scale = layoutFactor(about_.get(), form::kAboutClientWidth) / 15;
    const auto px = [scale](int twips) { return int(std::lround(twips * scale)); };
    const int y = px(form::kAboutSeparator.top);
    const int greyLeft = px(form::kAboutSeparator.greyLeft);
    const QColor background = about_->palette().color(QPalette::Window);
    const QColor grey(128, 128, 128);
    const QColor white(255, 255, 255);
    // The grey line shows only where it starts left of the white one.
    QCOMPARE(shot.pixelColor(greyLeft - 1, y), background);
    QCOMPARE(shot.pixelColor(greyLeft, y), grey);
    QCOMPARE(shot.pixelColor(greyLeft, y - 1), background);
    // The white one lies over it up to the right edge.
    for (int x : {px(form::kAboutSeparator.whiteLeft), shot.width() / 2, shot.width() - 1}) {
        QCOMPARE(shot.pixelColor(x, y - 2), background);
        QCOMPARE(shot.pixelColor(x, y - 1), white);
        QCOMPARE(shot.pixelColor(x, y), white);
        QCOMPARE(shot.pixelColor(x, y + 1), background);
    }
}

void AboutTest::enterAndEscapePressOk_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void AboutTest::enterAndEscapePressOk() {
    QFETCH(int, key);
    about_->show();
    about_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(about_.get()));
    auto* ok = about_->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    QVERIFY(ok->isDefault());
    QCOMPARE(QApplication::focusWidget(), ok);

    QSignalSpy pressed(ok, &QPushButton::clicked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCOMPARE(pressed.count(), 1);
    QVERIFY(!about_->isVisible());
    QVERIFY(messages_.isEmpty());
}

void AboutTest::altSPressesSystemInfo() {
    about_->show();
    about_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(about_.get()));
    QSignalSpy pressed(about_->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")),
                       &QPushButton::clicked);
    QTest::keyClick(about_.get(), Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(pressed.count(), 1);
    QCOMPARE(messages_.size(), 1); // nothing is configured, so the tool is unavailable
    QVERIFY(about_->isVisible());
}

void AboutTest::tabOrderSkipsTheLabels() {
    about_->show();
    about_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(about_.get()));
    QStringList visited;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, QStringList({"cmdSysInfo", "cmdOK", "cmdSysInfo"}));
}

void AboutTest::everyOpeningLoadsAndCentresAgain() {
    const QRect area = about_->screen()->availableGeometry();
    QSize first;
    for (int opening = 0; opening < 2; ++opening) {
        about_->show();
        QCOMPARE(about_->frameGeometry().center(), area.center());
        QCOMPARE(about_->size(), opening == 0 ? (first = about_->size()) : first);
        QCOMPARE(about_->windowTitle(), QStringLiteral("About Quillarbor"));
        QCOMPARE(about_->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
                 "Version " + QString::fromLatin1(kVersionText));
        // The user drags it away and closes it; the next opening starts afresh.
        about_->move(area.topLeft() + QPoint(5, 7));
        about_->setWindowTitle(QStringLiteral("moved"));
        QTest::keyClick(about_.get(), Qt::Key_Escape);
        QVERIFY(!about_->isVisible());
    }
}

void AboutTest::startSysInfo_data() {
    QTest::addColumn<QByteArray>("machine");
    QTest::addColumn<QStringList>("tools");
    QTest::addColumn<QString>("started");
    QTest::addColumn<int>("paddedLength");

    const QByteArray first = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n";
    const QByteArray second = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n"
                              "\"MSINFO\"=\"$TOOLS/info\"\n";
    const QStringList both = {"tool.sh", "info/MSINFO32.EXE"};

    QTest::newRow("first names a program") << first + "\"PATH\"=\"$TOOLS/tool.sh\"\n"
                                           << both << "tool.sh" << 0;
    QTest::newRow("first wins over second")
        << first + "\"PATH\"=\"$TOOLS/tool.sh\"\n" + second << both << "tool.sh" << 0;
    QTest::newRow("second holds the tool") << second << both << "MSINFO32.EXE" << 0;
    QTest::newRow("second with a trailing slash") << second.chopped(2) + "/\"\n"
                                                  << both << "MSINFO32.EXE" << 0;
    QTest::newRow("first stored without a terminator") << first + "\"PATH\"=hex(1):$HEXTOOL\n"
                                                       << both << "tool.sh" << 0;

    QTest::newRow("second lacks the tool")
        << second << QStringList{"tool.sh", "info/other.sh"} << "" << 0;
    QTest::newRow("the tool's name is a folder")
        << second << QStringList{"info/MSINFO32.EXE/inner"} << "" << 0;
    QTest::newRow("neither value") << first + "\"Other\"=\"x\"\n" << both << "" << 0;
    QTest::newRow("no machine file") << QByteArray() << both << "" << 0;

    // Found but unusable: the second location is not consulted.
    QTest::newRow("first of another type")
        << first + "\"PATH\"=hex(2):2f,62,69,6e,2f,74,72,75,65,00\n" + second << both << "" << 0;
    QTest::newRow("first cannot be started")
        << first + "\"PATH\"=\"$TOOLS/missing.sh\"\n" + second << both << "" << 0;
    QTest::newRow("first holds no bytes")
        << first + "\"PATH\"=hex(1):\n" + second << both << "" << 0;

    // Longer than the 1024-byte buffer counts as missing.
    QTest::newRow("first of 1024 bytes")
        << first + "\"PATH\"=\"$PADDED\"\n" + second << both << "tool.sh" << 1024;
    QTest::newRow("first of 1025 bytes")
        << first + "\"PATH\"=\"$PADDED\"\n" + second << both << "MSINFO32.EXE" << 1025;
}

void AboutTest::startSysInfo() {
    QFETCH(QByteArray, machine);
    QFETCH(QStringList, tools);
    QFETCH(QString, started);
    QFETCH(int, paddedLength);

    if (!machine.isEmpty()) {
        writeMachineFile(machine, paddedLength);
    }
    for (const QString& tool : tools) {
        writeTool(tools_->filePath(tool));
    }
    about_->show();
    about_->findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->click();

    QVERIFY(about_->isVisible());
    if (started.isEmpty()) {
        QCOMPARE(messages_.size(), 1);
        QCOMPARE(messages_[0].text, kUnavailable);
        QCOMPARE(messages_[0].title, QStringLiteral("Quillarbor"));
        QCOMPARE(messages_[0].parent, about_.get());
        QCOMPARE(this->started(), QString());
    } else {
        QTRY_COMPARE(this->started(), started);
        QVERIFY(messages_.isEmpty());
    }
}

QTEST_MAIN(AboutTest)
#include "about_test.moc"
