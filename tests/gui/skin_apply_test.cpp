// Choosing, previewing and applying skins: the random pick and the double-click.
#include "support/gui_test_support.h"

#include "qt/FileList.h"
#include "qt/Form1.h"
#include "rotation/skins.h"

#include <QLabel>
#include <QScopeGuard>
#include <QTest>

#include <filesystem>
#include <memory>

using namespace quillarbor;
using namespace quillarbor::test;

class SkinApplyTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pickUsesTheDrawnIndex_data();
    void pickUsesTheDrawnIndex();
    void pickRereadsTheFolder();
    void pickInAnEmptyFolderChangesNothing();
    void unloadableFileIsNotApplied_data();
    void unloadableFileIsNotApplied();
    void doubleClickAppliesTheSelectedSkin();
    void doubleClickWithoutSelectionDoesNothing();
    void nameThatIsNotUtf8NamesTheRealFile();
    void otherPictureUnderABitmapsName_data();
    void otherPictureUnderABitmapsName();

private:
    QString at(const QString& name) const { return physical(folder_->path()) + '/' + name; }
    std::string fullPath(const std::string& name) const {
        return addSlash(folderText(folder_->path())) + name;
    }
    void start(std::vector<float> draws = {0.0f});
    QString caption() const { return form_->findChild<QLabel*>(QStringLiteral("Label3"))->text(); }
    QColor preview() const { return shownColour(form_->findChild<QLabel*>("imgPreview")); }
    void doubleClickEntry(int row);

    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<CurrentFolder> cwd_;
    std::unique_ptr<FixedRandom> random_;
    std::unique_ptr<Form1> form_;
    FileList* file_ = nullptr;
};

void SkinApplyTest::init() {
    settings_ = std::make_unique<TempSettings>();
    folder_ = std::make_unique<QTemporaryDir>();
    cwd_ = std::make_unique<CurrentFolder>(folder_->path());
}

void SkinApplyTest::cleanup() {
    form_.reset();
    cwd_.reset();
    folder_.reset();
    settings_.reset();
}

void SkinApplyTest::start(std::vector<float> draws) {
    random_ = std::make_unique<FixedRandom>(std::move(draws));
    form_ = std::make_unique<Form1>(*random_);
    file_ = form_->findChild<FileList*>(QStringLiteral("File1"));
    QVERIFY(!form_->load({}));
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void SkinApplyTest::doubleClickEntry(int row) {
    file_->setListIndex(row);
    doubleClickAt(file_->viewport(), file_->visualRect(file_->model()->index(row, 0)).center());
}

void SkinApplyTest::pickUsesTheDrawnIndex_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<float>("r");
    QTest::addColumn<int>("index");

    QTest::newRow("one skin, r = 0") << 1 << 0.0f << 0;
    QTest::newRow("one skin, r near 1") << 1 << 0.999f << 0;
    QTest::newRow("three, r = 0") << 3 << 0.0f << 0;
    QTest::newRow("three, r = 0.25: 0.5 rounds to 0") << 3 << 0.25f << 0;
    QTest::newRow("three, r = 0.3") << 3 << 0.3f << 1;
    QTest::newRow("three, r = 0.5") << 3 << 0.5f << 1;
    QTest::newRow("three, r = 0.75: 1.5 rounds to 2") << 3 << 0.75f << 2;
    QTest::newRow("three, r near 1") << 3 << 0.999f << 2;
    QTest::newRow("five, r = 0.625: 2.5 rounds to 2") << 5 << 0.625f << 2;
}

void SkinApplyTest::pickUsesTheDrawnIndex() {
    QFETCH(int, count);
    QFETCH(float, r);
    QFETCH(int, index);

    const QList<QColor> colours{Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan};
    for (int i = 0; i < count; ++i) {
        writeBitmap(at(QStringLiteral("skin%1.bmp").arg(i)), colours[i]);
    }
    start({r});
    form_->pickRandomSkin();

    const std::string name = QStringLiteral("skin%1.bmp").arg(index).toStdString();
    QCOMPARE(form_->lastShown(), name);
    QCOMPARE(caption(), QStringLiteral("Last shown: skin%1.bmp").arg(index));
    QCOMPARE(toolbarValue(), fullPath(name));
    QCOMPARE(preview(), colours[index]);
}

void SkinApplyTest::pickRereadsTheFolder() {
    writeBitmap(at("a.bmp"), Qt::red);
    start({0.999f});
    // Added after the list was read, without Refresh: the pick sees it.
    writeBitmap(at("b.bmp"), Qt::green);
    form_->pickRandomSkin();
    QCOMPARE(form_->lastShown(), std::string("b.bmp"));
    QCOMPARE(file_->listCount(), 2);
}

void SkinApplyTest::pickInAnEmptyFolderChangesNothing() {
    writeBitmap(at("a.bmp"), Qt::red);
    start();
    form_->pickRandomSkin();
    QVERIFY(QFile::remove(at("a.bmp")));

    const int drawsBefore = random_->draws();
    form_->pickRandomSkin();
    QCOMPARE(random_->draws(), drawsBefore);
    QCOMPARE(form_->lastShown(), std::string("a.bmp"));
    QCOMPARE(caption(), QStringLiteral("Last shown: a.bmp"));
    QCOMPARE(toolbarValue(), fullPath("a.bmp"));
    QCOMPARE(preview(), QColor(Qt::red));
}

void SkinApplyTest::unloadableFileIsNotApplied_data() {
    QTest::addColumn<bool>("vanished");
    QTest::addColumn<bool>("byDoubleClick");
    QTest::newRow("not a picture, random pick") << false << false;
    QTest::newRow("not a picture, double-click") << false << true;
    QTest::newRow("vanished, double-click") << true << true;
}

void SkinApplyTest::unloadableFileIsNotApplied() {
    QFETCH(bool, vanished);
    QFETCH(bool, byDoubleClick);

    writeBitmap(at("a.bmp"), Qt::red);
    writeText(at("b.bmp"), "this is text, not a picture");
    start({0.999f});
    doubleClickEntry(0);
    QCOMPARE(toolbarValue(), fullPath("a.bmp"));
    if (vanished) {
        QVERIFY(QFile::remove(at("b.bmp")));
    }

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("b\\.bmp"));
    if (byDoubleClick) {
        doubleClickEntry(1);
    } else {
        form_->pickRandomSkin();
    }
    QCOMPARE(form_->lastShown(), std::string("a.bmp"));
    QCOMPARE(caption(), QStringLiteral("Last shown: a.bmp"));
    QCOMPARE(toolbarValue(), fullPath("a.bmp"));
    QCOMPARE(preview(), QColor(Qt::red));
}

void SkinApplyTest::doubleClickAppliesTheSelectedSkin() {
    writeBitmap(at("a.bmp"), Qt::red);
    writeBitmap(at("B.BMP"), Qt::green);
    writeBitmap(at("c.bmp"), Qt::blue);
    start();
    const int drawsBefore = random_->draws();
    doubleClickEntry(1);
    QCOMPARE(form_->lastShown(), std::string("B.BMP"));
    QCOMPARE(caption(), QStringLiteral("Last shown: B.BMP"));
    QCOMPARE(toolbarValue(), fullPath("B.BMP"));
    QCOMPARE(preview(), QColor(Qt::green));
    // Applying by hand draws nothing.
    QCOMPARE(random_->draws(), drawsBefore);
}

void SkinApplyTest::doubleClickWithoutSelectionDoesNothing() {
    writeBitmap(at("a.bmp"), Qt::red);
    start();
    QCOMPARE(file_->listIndex(), -1);
    // Below the only entry: nothing there to select.
    doubleClickAt(file_->viewport(), QPoint(10, file_->viewport()->height() - 5));
    QCOMPARE(file_->listIndex(), -1);
    QCOMPARE(form_->lastShown(), std::string());
    QCOMPARE(caption(), QString());
    QCOMPARE(toolbarValue(), std::string());
    QVERIFY(!preview().isValid());
}

void SkinApplyTest::nameThatIsNotUtf8NamesTheRealFile() {
#ifdef Q_OS_WIN
    QSKIP("file names are always Unicode on Windows");
#else
    const std::string name = "caf\xe9.bmp"; // Latin-1, not valid UTF-8
    const std::filesystem::path file =
        QFile::encodeName(physical(folder_->path())).toStdString() + "/" + name;
    writeBitmap(at("plain.bmp"), Qt::blue);
    std::filesystem::rename(QFile::encodeName(at("plain.bmp")).toStdString(), file);
    // QTemporaryDir cannot name this file to remove it.
    const auto removeFile = qScopeGuard([&file] { std::filesystem::remove(file); });
    start();
    QCOMPARE(file_->listCount(), 1);
    QCOMPARE(file_->list(0), name);
    form_->pickRandomSkin();
    QCOMPARE(form_->lastShown(), name);
    QCOMPARE(toolbarValue(), fullPath(name));
    QCOMPARE(preview(), QColor(Qt::blue));
#endif
}

void SkinApplyTest::otherPictureUnderABitmapsName_data() {
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("PNG") << QByteArray("PNG");
    QTest::newRow("PPM") << QByteArray("PPM");
}

// Bitmaps are tried first; a picture renamed to a bitmap's name must still load.
void SkinApplyTest::otherPictureUnderABitmapsName() {
    QFETCH(QByteArray, format);
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::green);
    QVERIFY(image.save(at("renamed.bmp"), format.constData()));
    start();
    form_->pickRandomSkin();
    QCOMPARE(form_->lastShown(), std::string("renamed.bmp"));
    QCOMPARE(preview(), QColor(Qt::green));
}

QTEST_MAIN(SkinApplyTest)
#include "skin_apply_test.moc"
