// Bad input at the window and on disk: odd delay texts, files that are no pictures or go
// away, skin folders that vanish, huge folders, names that are not UTF-8 and damaged
// settings. Whatever happens, the program keeps running, no box waits for an answer during
// a timed pick, no saved value is lost and the toolbar names only real pictures.
#include "support/gui_test_support.h"

#include "qt/FileList.h"
#include "qt/Form1.h"
#include "qt/MessageBox.h"
#include "rotation/skins.h"
#include "settings/registry.h"
#include "qt/TrayIcon.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace quillarbor;
using namespace quillarbor::test;
namespace fs = std::filesystem;

namespace {

// Hands out one value, changeable at any time, and can run something just before a draw:
// the pick draws between listing the folder and loading the file.
class ScriptedRandom final : public RandomSource {
public:
    float next() override {
        ++draws;
        if (beforeNextDraw) {
            std::exchange(beforeNextDraw, nullptr)();
        }
        return value;
    }
    float value = 0.0f;
    int draws = 0;
    std::function<void()> beforeNextDraw;
};

// Records and closes every modal window that opens, so a box that would wait for an answer
// fails the test instead of hanging it.
class ModalWatch {
public:
    ModalWatch() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) {
                return;
            }
            const auto* box = qobject_cast<QMessageBox*>(modal);
            seen_ << (box != nullptr ? box->text() : modal->windowTitle());
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
        });
        timer_.start();
        lastBoxBefore_ = MessageBox::lastText();
    }
    // The texts of the boxes shown since the watch began, including boxes answered
    // beforehand by a test hook.
    QStringList seen() const {
        QStringList all = seen_;
        if (MessageBox::lastText() != lastBoxBefore_) {
            all << MessageBox::lastText();
        }
        return all;
    }

private:
    QTimer timer_;
    QStringList seen_;
    QString lastBoxBefore_;
};

QByteArray bitmapBytes(const QColor& colour) {
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// A file named by raw bytes: on POSIX a std::string path is taken byte for byte.
void writeRaw(const std::string& path, const QByteArray& bytes) {
    std::ofstream file(fs::path(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.constData(), bytes.size());
    if (!file) {
        qFatal("cannot write %s", path.c_str());
    }
}

std::string bytes(const QByteArray& text) {
    return text.toStdString();
}

#ifdef Q_OS_LINUX
// Root reads any file whatever its mode. Dropping the two capabilities that allow it from
// this thread's effective set makes file modes count again; the permitted set keeps them,
// so they come back afterwards.
class WithoutReadOverride {
public:
    WithoutReadOverride() {
        if (::syscall(SYS_capget, &header_, saved_) != 0) {
            return;
        }
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        constexpr unsigned kMask = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        reduced[0].effective &= ~kMask;
        active_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutReadOverride() {
        if (active_) {
            ::syscall(SYS_capset, &header_, saved_);
        }
    }
    WithoutReadOverride(const WithoutReadOverride&) = delete;
    WithoutReadOverride& operator=(const WithoutReadOverride&) = delete;
    bool active() const { return active_; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};
#endif

} // namespace

class BadInputTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void delayTexts_data();
    void delayTexts();
    void badPictureIsNotApplied_data();
    void badPictureIsNotApplied();
    void skinFolderGoesAwayWhileRunning_data();
    void skinFolderGoesAwayWhileRunning();
    void folderOfManyFiles();
    void namesAreBytes_data();
    void namesAreBytes();
    void savedGarbage_data();
    void savedGarbage();
    void damagedSettingsFile();

private:
    std::string root() const { return folderText(tree_->path()); }
    std::string at(const std::string& relative) const { return root() + "/" + relative; }
    void start(const std::string& savedFolder = {});
    void restart();
    // Ticks until the countdown runs out and the next one is drawn; returns the ticks fired.
    int tickThroughPick();
    QLineEdit* box(const char* name) const {
        return form_->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    FileList* files() const { return form_->findChild<FileList*>(QStringLiteral("File1")); }
    QColor preview() const { return shownColour(form_->findChild<QLabel*>("imgPreview")); }

    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> tree_;
    std::unique_ptr<CurrentFolder> cwd_;
    std::unique_ptr<ScriptedRandom> random_;
    std::unique_ptr<ManualTicker> ticker_;
    std::unique_ptr<Form1> form_;
    std::unique_ptr<ModalWatch> modal_;
};

void BadInputTest::init() {
    settings_ = std::make_unique<TempSettings>();
    tree_ = std::make_unique<QTemporaryDir>();
    cwd_ = std::make_unique<CurrentFolder>(physical(tree_->path()));
    random_ = std::make_unique<ScriptedRandom>();
    ticker_ = std::make_unique<ManualTicker>();
    modal_ = std::make_unique<ModalWatch>();
}

void BadInputTest::cleanup() {
    form_.reset();
    modal_.reset();
    ticker_.reset();
    cwd_.reset();
    // Names that are not UTF-8 cannot be named through Qt to remove them.
    std::error_code ignored;
    fs::permissions(fs::path(root()), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(fs::path(root()), ignored);
    tree_.reset();
    settings_.reset();
}

void BadInputTest::start(const std::string& savedFolder) {
    if (!savedFolder.empty()) {
        saveSetting(loc::settingPath, savedFolder);
    }
    form_ = std::make_unique<Form1>(*random_, ticker_.get());
    // No notification area: nothing outside the test is touched.
    form_->findChild<TrayIcon*>()->setTrayAvailability([] { return false; });
    QVERIFY(!form_->load({}));
    QVERIFY(ticker_->isEnabled());
}

void BadInputTest::restart() {
    form_->close();
    form_.reset();
    start();
}

int BadInputTest::tickThroughPick() {
    const int draws = random_->draws;
    int ticks = 0;
    while (random_->draws == draws && ticks < 1000) {
        ticker_->fire();
        ++ticks;
    }
    return ticks;
}

void BadInputTest::delayTexts_data() {
    QTest::addColumn<QString>("entered");
    QTest::addColumn<bool>("typed"); // key by key; otherwise set as a whole
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("nextStart"); // the box after closing and starting again

    // Every row starts from a delay of 0.5 minute and draws r = 0: 22 seconds. A delay
    // below the minimum becomes 0.1 minute (5 seconds); one that is no number, or whose
    // countdowns do not all fit 32 bits, stays in the box while the countdowns come from
    // the last delay that worked. The next start shows what was saved when it is a
    // number of at least the minimum, else "1".
    const QString hundreds = QStringLiteral("1") + QString(299, '0');
    QTest::newRow("empty") << "" << false << "0.1" << 5 << "0.1";
    QTest::newRow("zero") << "0" << false << "0.1" << 5 << "0.1";
    QTest::newRow("negative") << "-5" << false << "0.1" << 5 << "0.1";
    QTest::newRow("digit then letter") << "2x" << false << "2x" << 22 << "1";
    QTest::newRow("beyond a double") << "1e400" << false << "1e400" << 22 << "1";
    QTest::newRow("largest 32-bit hex")
        << "&HFFFFFFFF" << false << "&HFFFFFFFF" << 22 << "&HFFFFFFFF";
    QTest::newRow("300 digits") << hundreds << false << hundreds << 22 << hundreds;
    QTest::newRow("blank inside") << "1 5" << false << "1 5" << 22 << "1";
    QTest::newRow("point alone") << "." << false << "0.1" << 5 << "0.1";
    QTest::newRow("below the smallest double") << "1e-400" << false << "0.1" << 5 << "0.1";
    QTest::newRow("countdown beyond 32 bits")
        << "99999999999" << false << "99999999999" << 22 << "99999999999";
    // Key by key, the minus sign alone is raised to 0.1 before the 5 arrives: 0.15 minute.
    QTest::newRow("typed: negative") << "-5" << true << "0.15" << 7 << "0.15";
    QTest::newRow("typed: point alone") << "." << true << "0.1" << 5 << "0.1";
}

void BadInputTest::delayTexts() {
    QFETCH(QString, entered);
    QFETCH(bool, typed);
    QFETCH(QString, shown);
    QFETCH(int, seconds);
    QFETCH(QString, nextStart);

    writeBitmap(QString::fromStdString(at("b.bmp")));
    saveSetting(loc::settingDelay, "0.5");
    start();
    QCOMPARE(box("txtCountdown")->text(), QStringLiteral("22"));

    QLineEdit* delay = box("txtDelay");
    delay->setFocus();
    delay->selectAll();
    if (typed) {
        QTest::keyClicks(delay, entered);
    } else {
        delay->setText(entered);
    }
    QCOMPARE(delay->text(), shown);
    QCOMPARE(box("txtCountdown")->text(), QString::number(seconds));

    // The countdown runs out and the pick applies the only skin, without a box.
    QCOMPARE(tickThroughPick(), seconds + 1);
    QCOMPARE(toolbarValue(), at("b.bmp"));
    QVERIFY(ticker_->isEnabled());
    QCOMPARE(modal_->seen(), QStringList());

    restart();
    QCOMPARE(box("txtDelay")->text(), nextStart);
    QVERIFY(box("txtCountdown")->text().toInt() > 0);
    form_->close();
    QCOMPARE(savedSetting(loc::settingDelay), nextStart.toStdString());
}

enum class BadPicture { Text, Empty, CutShort, Vanishes, Unreadable };
Q_DECLARE_METATYPE(BadPicture)

void BadInputTest::badPictureIsNotApplied_data() {
    QTest::addColumn<BadPicture>("kind");
    QTest::newRow("text") << BadPicture::Text;
    QTest::newRow("empty") << BadPicture::Empty;
    QTest::newRow("bitmap cut short") << BadPicture::CutShort;
    QTest::newRow("gone between listing and loading") << BadPicture::Vanishes;
    QTest::newRow("unreadable by permission") << BadPicture::Unreadable;
}

void BadInputTest::badPictureIsNotApplied() {
    QFETCH(BadPicture, kind);

    writeBitmap(QString::fromStdString(at("a.bmp")), Qt::red);
    const std::string bad = at("b.bmp");
    const QByteArray good = bitmapBytes(Qt::green);
    switch (kind) {
    case BadPicture::Text:
        writeRaw(bad, "this is text, not a picture");
        break;
    case BadPicture::Empty:
        writeRaw(bad, {});
        break;
    case BadPicture::CutShort:
        writeRaw(bad, good.left(good.size() - 40)); // Qt alone would show it, half green
        break;
    case BadPicture::Vanishes:
    case BadPicture::Unreadable:
        writeRaw(bad, good);
        break;
    }
    saveSetting(loc::settingDelay, "0.1");
    start();
    form_->pickRandomSkin(); // r = 0: a.bmp
    QCOMPARE(toolbarValue(), at("a.bmp"));

#ifdef Q_OS_LINUX
    std::unique_ptr<WithoutReadOverride> asUser;
#endif
    if (kind == BadPicture::Vanishes) {
        random_->beforeNextDraw = [bad] { fs::remove(fs::path(bad)); };
    } else if (kind == BadPicture::Unreadable) {
        fs::permissions(fs::path(bad), fs::perms::none);
#ifdef Q_OS_LINUX
        asUser = std::make_unique<WithoutReadOverride>();
        if (::geteuid() == 0 && !asUser->active()) {
            QSKIP("running as root without the right to give up reading every file");
        }
#endif
        if (std::ifstream(fs::path(bad)).is_open()) {
            QSKIP("file modes do not keep this test from reading the file here");
        }
    }

    random_->value = kLargestDraw; // b.bmp
    tickThroughPick();
    QCOMPARE(toolbarValue(), at("a.bmp"));
    QCOMPARE(form_->lastShown(), std::string("a.bmp"));
    QCOMPARE(preview(), QColor(Qt::red));
    QVERIFY(ticker_->isEnabled());
    QCOMPARE(modal_->seen(), QStringList());

    // The same by double-click: nothing applied, no box either.
    if (kind != BadPicture::Vanishes) {
        files()->setListIndex(1);
        emit files()->entryDoubleClicked();
        QCOMPARE(toolbarValue(), at("a.bmp"));
        QCOMPARE(modal_->seen(), QStringList());
    }
}

void BadInputTest::skinFolderGoesAwayWhileRunning_data() {
    QTest::addColumn<bool>("renamed"); // otherwise deleted
    QTest::newRow("deleted") << false;
    QTest::newRow("renamed") << true;
}

void BadInputTest::skinFolderGoesAwayWhileRunning() {
    QFETCH(bool, renamed);

    fs::create_directory(fs::path(at("skins")));
    writeBitmap(QString::fromStdString(at("skins/a.bmp")), Qt::red);
    writeBitmap(QString::fromStdString(at("skins/b.bmp")), Qt::green);
    saveSetting(loc::settingDelay, "0.1");
    start(at("skins"));
    form_->pickRandomSkin();
    QCOMPARE(toolbarValue(), at("skins/a.bmp"));

    if (renamed) {
        fs::rename(fs::path(at("skins")), fs::path(at("moved")));
    } else {
        fs::remove_all(fs::path(at("skins")));
    }

    // An entry still listed from before: a double-click applies nothing.
    files()->setListIndex(1);
    emit files()->entryDoubleClicked();
    QCOMPARE(toolbarValue(), at("skins/a.bmp"));

    random_->value = kLargestDraw;
    tickThroughPick();
    tickThroughPick();
    QCOMPARE(files()->listCount(), 0);
    QCOMPARE(toolbarValue(), at("skins/a.bmp"));
    QCOMPARE(preview(), QColor(Qt::red));
    QVERIFY(ticker_->isEnabled());
    QCOMPARE(modal_->seen(), QStringList());

    // Back under its name, the folder is used again.
    if (renamed) {
        fs::rename(fs::path(at("moved")), fs::path(at("skins")));
        tickThroughPick();
        QCOMPARE(toolbarValue(), at("skins/b.bmp"));
    }

    // The folder the user chose is still the one saved.
    form_->close();
    QCOMPARE(savedSetting(loc::settingPath), at("skins"));
}

void BadInputTest::folderOfManyFiles() {
    constexpr int kFiles = 100000;
    fs::create_directory(fs::path(at("many")));
    // Empty files list like any other; "0.bmp", the only picture, sorts first.
    for (int i = 1; i <= kFiles; ++i) {
        std::ofstream(fs::path(at("many/" + std::to_string(i) + ".bmp")));
    }
    writeBitmap(QString::fromStdString(at("many/0.bmp")), Qt::blue);
    saveSetting(loc::settingDelay, "0.1");
    start(at("many"));
    QCOMPARE(files()->listCount(), kFiles + 1);
    QCOMPARE(files()->list(0), std::string("0.bmp"));

    tickThroughPick(); // r = 0: the picture
    QCOMPARE(toolbarValue(), at("many/0.bmp"));

    random_->value = 0.5f; // an empty file
    tickThroughPick();
    QCOMPARE(toolbarValue(), at("many/0.bmp"));
    QCOMPARE(form_->lastShown(), std::string("0.bmp"));
    QVERIFY(ticker_->isEnabled());
    QCOMPARE(modal_->seen(), QStringList());
}

void BadInputTest::namesAreBytes_data() {
    QTest::addColumn<QByteArray>("folder"); // the skin folder, under the test's tree
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("twin"); // a picture named as a lossy decoding would name it
    QTest::addColumn<bool>("picture");
    QTest::addColumn<bool>("byDoubleClick");

    const QByteArray replacement = "\xef\xbf\xbd"; // U+FFFD in UTF-8
    QTest::newRow("Latin-1 name beside its lossy twin")
        << QByteArray("skins") << QByteArray("caf\xe9.bmp") << "caf" + replacement + ".bmp" << true
        << false;
    QTest::newRow("Latin-1 name, double-click") << QByteArray("skins") << QByteArray("caf\xe9.bmp")
                                                << "caf" + replacement + ".bmp" << true << true;
    QTest::newRow("bytes that start no character, not a picture")
        << QByteArray("skins") << QByteArray("\xff\xfe.bmp") << QByteArray() << false << false;
    QTest::newRow("folder not UTF-8")
        << QByteArray("sk\xe9ins") << QByteArray("a.bmp") << QByteArray() << true << false;
    QTest::newRow("line break, quote and backslash")
        << QByteArray("skins") << QByteArray("a\nb\"c\\d=.bmp") << QByteArray() << true << false;
}

void BadInputTest::namesAreBytes() {
#ifdef Q_OS_WIN
    QSKIP("file names are always Unicode on Windows");
#else
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, twin);
    QFETCH(bool, picture);
    QFETCH(bool, byDoubleClick);

    const std::string skins = at(bytes(folder));
    const std::string file = skins + "/" + bytes(name);
    fs::create_directory(fs::path(skins));
    writeRaw(file, picture ? bitmapBytes(Qt::red) : QByteArray("not a picture"));
    if (!twin.isEmpty()) {
        writeRaw(skins + "/" + bytes(twin), bitmapBytes(Qt::green));
    }
    start(skins);
    QCOMPARE(files()->path(), skins);

    int row = -1;
    for (int i = 0; i < files()->listCount(); ++i) {
        if (files()->list(i) == bytes(name)) {
            row = i;
        }
    }
    QVERIFY(row >= 0);
    QCOMPARE(files()->listCount(), twin.isEmpty() ? 1 : 2);

    if (byDoubleClick) {
        files()->setListIndex(row);
        emit files()->entryDoubleClicked();
    } else {
        random_->value = row == 0 ? 0.0f : kLargestDraw;
        tickThroughPick();
    }
    if (picture) {
        QCOMPARE(toolbarValue(), file);
        QCOMPARE(form_->lastShown(), bytes(name));
        QCOMPARE(preview(), QColor(Qt::red));
    } else {
        QCOMPARE(toolbarValue(), std::string());
    }
    QCOMPARE(modal_->seen(), QStringList());

    // The folder is saved as the bytes that name it, and found again.
    restart();
    QCOMPARE(files()->path(), skins);
    form_->close();
    QCOMPARE(savedSetting(loc::settingPath), skins);
#endif
}

void BadInputTest::savedGarbage_data() {
    QTest::addColumn<QByteArray>("delay");
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("systray");
    QTest::addColumn<QString>("shownDelay");

    // None of these is a delay of at least the minimum, nor a folder other than the one
    // the program starts in ("." names it, but only relative to wherever that is).
    QTest::newRow("control bytes")
        << QByteArray("\x01\x02\x7f") << QByteArray("\x01\xff") << QByteArray("\xff") << "1";
    // Numbers below the minimum are raised to it, as when typed.
    QTest::newRow("below the smallest double")
        << QByteArray("1e-400") << QByteArray("nowhere") << QByteArray("2x") << "0.1";
    QTest::newRow("negative") << QByteArray("-5") << QByteArray("/") + QByteArray(5000, 'x')
                              << QByteArray("&H") << "0.1";
    QTest::newRow("point alone") << QByteArray(".") << QByteArray("notes.txt") << QByteArray(" ")
                                 << "1";
    QTest::newRow("beyond a double")
        << QByteArray("1e400") << QByteArray() << QByteArray("1e400") << "1";
    QTest::newRow("very long number")
        << QByteArray(100000, '9') << QByteArray(".") << QByteArray(100000, '1') << "1";
}

void BadInputTest::savedGarbage() {
    QFETCH(QByteArray, delay);
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, systray);
    QFETCH(QString, shownDelay);

    writeBitmap(QString::fromStdString(at("b.bmp")));
    writeRaw(at("notes.txt"), "a file, not a folder");
    saveSetting(loc::settingDelay, bytes(delay));
    saveSetting(loc::settingPath, bytes(folder));
    saveSetting(loc::settingSystray, bytes(systray));
    start();
    QCOMPARE(box("txtDelay")->text(), shownDelay);
    QCOMPARE(files()->path(), root());
    tickThroughPick();
    QVERIFY2(toolbarValue() == at("b.bmp"), toolbarValue().c_str());
    QCOMPARE(modal_->seen(), QStringList());

    form_->close();
    QCOMPARE(savedSetting(loc::settingDelay), shownDelay.toStdString());
    QCOMPARE(savedSetting(loc::settingPath), root());
    const std::string flag = savedSetting(loc::settingSystray);
    QVERIFY2(flag == "True" || flag == "False", flag.c_str());
}

void BadInputTest::damagedSettingsFile() {
    // Not a settings file at all: the program starts as if there were none, and the
    // damaged file is set aside rather than overwritten.
    const fs::path store =
        fs::path(qEnvironmentVariable("XDG_CONFIG_HOME").toStdString()) / "quillarbor" / "user.reg";
    saveSetting(loc::settingDelay, "2.5");
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<char>((i * 7919) % 251);
    }
    writeRaw(store.string(), garbage);

    writeBitmap(QString::fromStdString(at("b.bmp")));
    start();
    QCOMPARE(box("txtDelay")->text(), QStringLiteral("1"));
    tickThroughPick();
    QCOMPARE(toolbarValue(), at("b.bmp"));
    QCOMPARE(modal_->seen(), QStringList());
    form_->close();
    QCOMPARE(savedSetting(loc::settingDelay), std::string("1"));

    std::ifstream aside(fs::path(store.string() + ".bad"), std::ios::binary);
    const std::string kept{std::istreambuf_iterator<char>(aside), {}};
    QCOMPARE(QByteArray::fromStdString(kept), garbage);
}

QTEST_MAIN(BadInputTest)
#include "bad_input_test.moc"
