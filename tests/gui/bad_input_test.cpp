// Bad input on disk as only the real skin list and picture loader see it: files that are no
// pictures, skin folders that vanish, huge folders, names that are not UTF-8, a relative saved
// folder and a damaged settings file. The toolbar names only pictures that could be shown.
#include "support/gui_test_support.h"

#include "qt/FileList.h"
#include "qt/MessageBox.h"
#include "qt/TrayIcon.h"
#include "settings/registry.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

#include <filesystem>
#include <fstream>
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

    void loaderRejectsWhatIsNoWholePicture_data();
    void loaderRejectsWhatIsNoWholePicture();
    void skinFolderGoesAwayWhileRunning_data();
    void skinFolderGoesAwayWhileRunning();
    void folderOfManyFiles();
    void namesAreBytes_data();
    void namesAreBytes();
    void relativeSavedFolderIsKeptWhole();
    void damagedSettingsFile();

private:
    std::string root() const { return folderText(tree_->path()); }
    std::string at(const std::string& relative) const { return root() + "/" + relative; }
    // The program on the test's draws, started on `savedFolder` when one is given.
    void start(std::vector<float> draws, const std::string& savedFolder = {});
    // Ticks until the countdown runs out and the next one is drawn.
    void tickThroughPick();
    void chooseEntry(int row) {
        files()->setListIndex(row);
        emit files()->entryDoubleClicked();
    }
    MainWindow& form() const { return program_->form; }
    FileList* files() const { return form().findChild<FileList*>(QStringLiteral("skinList")); }
    QColor preview() const {
        return shownColour(form().findChild<QLabel*>(QStringLiteral("imgPreview")));
    }

    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> tree_;
    std::unique_ptr<CurrentFolder> cwd_;
    std::unique_ptr<Program> program_;
};

void BadInputTest::init() {
    settings_ = std::make_unique<TempSettings>();
    tree_ = std::make_unique<QTemporaryDir>();
    cwd_ = std::make_unique<CurrentFolder>(physical(tree_->path()));
}

void BadInputTest::cleanup() {
    program_.reset();
    cwd_.reset();
    // Names that are not UTF-8 cannot be named through Qt to remove them.
    std::error_code ignored;
    fs::permissions(fs::path(root()), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(fs::path(root()), ignored);
    tree_.reset();
    settings_.reset();
}

void BadInputTest::start(std::vector<float> draws, const std::string& savedFolder) {
    if (!savedFolder.empty()) {
        saveSetting(loc::settingPath, savedFolder);
    }
    program_.reset();
    program_ = std::make_unique<Program>(std::move(draws));
    // No notification area: nothing outside the test is touched.
    form().findChild<TrayIcon*>()->setTrayAvailability([] { return false; });
    QVERIFY(program_->presenter.load({}) == MainWindowPresenter::Start::Running);
}

void BadInputTest::tickThroughPick() {
    const int draws = program_->random.draws();
    for (int ticks = 0; program_->random.draws() == draws && ticks < 1000; ++ticks) {
        program_->ticker.fire();
    }
}

void BadInputTest::loaderRejectsWhatIsNoWholePicture_data() {
    QTest::addColumn<QByteArray>("content"); // null: no file at all
    QTest::addColumn<bool>("readable");
    const QByteArray good = bitmapBytes(Qt::green);
    QTest::newRow("text") << QByteArray("this is text, not a picture") << true;
    QTest::newRow("empty") << QByteArray("") << true;
    // Qt alone would show it, half green.
    QTest::newRow("bitmap cut short") << good.left(good.size() - 40) << true;
    QTest::newRow("gone") << QByteArray() << true;
    QTest::newRow("unreadable by permission") << good << false;
}

void BadInputTest::loaderRejectsWhatIsNoWholePicture() {
    QFETCH(QByteArray, content);
    QFETCH(bool, readable);

    writeBitmap(QString::fromStdString(at("a.bmp")), Qt::red);
    const std::string bad = at("b.bmp");
    if (!content.isNull()) {
        writeRaw(bad, content);
    }
    if (!readable) {
        fs::permissions(fs::path(bad), fs::perms::none);
    }
    start({0.0f});
    QVERIFY(form().showPreview(at("a.bmp")));

#ifdef Q_OS_LINUX
    WithoutReadOverride asUser;
    if (!readable && ::geteuid() == 0 && !asUser.active()) {
        QSKIP("running as root without the right to give up reading every file");
    }
#endif
    if (!readable && std::ifstream(fs::path(bad)).is_open()) {
        QSKIP("file modes do not keep this test from reading the file here");
    }
    QVERIFY(!form().showPreview(bad));
    QCOMPARE(preview(), QColor(Qt::red));
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
    start({kLargestDraw}, at("skins")); // every pick takes the last entry
    chooseEntry(0);
    QCOMPARE(toolbarValue(), at("skins/a.bmp"));

    if (renamed) {
        fs::rename(fs::path(at("skins")), fs::path(at("moved")));
    } else {
        fs::remove_all(fs::path(at("skins")));
    }
    // An entry still listed from before: choosing it applies nothing, and the box says why.
    MessageBox::setNextAnswer(MessageBox::Ok);
    chooseEntry(1);
    QCOMPARE(toolbarValue(), at("skins/a.bmp"));
    QVERIFY(MessageBox::lastText().contains(QString::fromStdString(at("skins/b.bmp"))));

    tickThroughPick();
    QCOMPARE(files()->listCount(), 0);
    QCOMPARE(toolbarValue(), at("skins/a.bmp"));
    QCOMPARE(preview(), QColor(Qt::red));
    QVERIFY(program_->ticker.isEnabled());

    // Back under its name, the folder is used again.
    if (renamed) {
        fs::rename(fs::path(at("moved")), fs::path(at("skins")));
        tickThroughPick();
        QCOMPARE(toolbarValue(), at("skins/b.bmp"));
    }
    // The folder the user chose is still the one saved.
    form().close();
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
    start({0.5f}, at("many")); // every pick takes an empty file
    QCOMPARE(files()->listCount(), kFiles + 1);
    QCOMPARE(form().skinAt(0), std::string("0.bmp"));
    chooseEntry(0);
    QCOMPARE(toolbarValue(), at("many/0.bmp"));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("\\.bmp as a picture"));
    tickThroughPick();
    QCOMPARE(toolbarValue(), at("many/0.bmp"));
    QCOMPARE(program_->presenter.lastShown(), std::string("0.bmp"));
    QVERIFY(program_->ticker.isEnabled());
}

void BadInputTest::namesAreBytes_data() {
    QTest::addColumn<QByteArray>("folder"); // the skin folder, under the test's tree
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("twin"); // a picture named as a lossy decoding would name it
    QTest::addColumn<bool>("picture");

    const QByteArray replacement = "\xef\xbf\xbd"; // U+FFFD in UTF-8
    QTest::newRow("Latin-1 name beside its lossy twin")
        << QByteArray("skins") << QByteArray("caf\xe9.bmp") << "caf" + replacement + ".bmp" << true;
    QTest::newRow("bytes that start no character, not a picture")
        << QByteArray("skins") << QByteArray("\xff\xfe.bmp") << QByteArray() << false;
    QTest::newRow("folder not UTF-8")
        << QByteArray("sk\xe9ins") << QByteArray("a.bmp") << QByteArray() << true;
    QTest::newRow("line break, quote and backslash")
        << QByteArray("skins") << QByteArray("a\nb\"c\\d=.bmp") << QByteArray() << true;
}

void BadInputTest::namesAreBytes() {
#ifdef Q_OS_WIN
    QSKIP("file names are always Unicode on Windows");
#else
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, twin);
    QFETCH(bool, picture);

    const std::string skins = at(folder.toStdString());
    const std::string file = skins + "/" + name.toStdString();
    fs::create_directory(fs::path(skins));
    writeRaw(file, picture ? bitmapBytes(Qt::red) : QByteArray("not a picture"));
    if (!twin.isEmpty()) {
        writeRaw(skins + "/" + twin.toStdString(), bitmapBytes(Qt::green));
    }
    // The file sorts first: r = 0 picks it.
    start({0.0f}, skins);
    QCOMPARE(form().skinFolder(), skins);
    QCOMPARE(files()->listCount(), twin.isEmpty() ? 1 : 2);
    QCOMPARE(form().skinAt(0), name.toStdString());

    if (!picture) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(" as a picture"));
    }
    tickThroughPick();
    QCOMPARE(toolbarValue(), picture ? file : std::string());
    if (picture) {
        QCOMPARE(program_->presenter.lastShown(), name.toStdString());
        QCOMPARE(preview(), QColor(Qt::red));
    }

    // The folder is saved as the bytes that name it, and found again.
    form().close();
    start({0.0f});
    QCOMPARE(form().skinFolder(), skins);
    form().close();
    QCOMPARE(savedSetting(loc::settingPath), skins);
#endif
}

void BadInputTest::relativeSavedFolderIsKeptWhole() {
    // "." names the folder the program starts in, wherever that is: it is kept by its name.
    writeBitmap(QString::fromStdString(at("b.bmp")));
    start({0.0f}, ".");
    QCOMPARE(form().skinFolder(), root());
    form().close();
    QCOMPARE(savedSetting(loc::settingPath), root());
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
    start({0.0f});
    QCOMPARE(form().findChild<QLineEdit*>(QStringLiteral("txtDelay"))->text(), QStringLiteral("1"));
    tickThroughPick();
    QCOMPARE(toolbarValue(), at("b.bmp"));
    form().close();
    QCOMPARE(savedSetting(loc::settingDelay), std::string("1"));

    std::ifstream aside(fs::path(store.string() + ".bad"), std::ios::binary);
    const std::string kept{std::istreambuf_iterator<char>(aside), {}};
    QCOMPARE(QByteArray::fromStdString(kept), garbage);
}

QTEST_MAIN(BadInputTest)
#include "bad_input_test.moc"
