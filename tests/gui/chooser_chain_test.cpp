// The drive, folder and file choosers kept in step, over a temporary folder tree.
#include "support/gui_test_support.h"

#include "app/drives.h"
#include "app/startup_rules.h"

#include "qt/DriveChooser.h"
#include "qt/FileList.h"
#include "qt/FolderChooser.h"
#include "qt/MainWindow.h"
#include "qt/MessageBox.h"

#include <QPushButton>
#include <QTest>

#include <memory>

using namespace quillarbor;
using namespace quillarbor::test;

class ChooserChainTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsOnTheCurrentFolder();
    void doubleClickOpensAFolder();
    void singleClickOnlyHighlights();
    void refreshPicksUpNewFiles();
    void driveChoiceMovesTheFolderChooser();
    void vanishedFolderKeepsDriveAndFolder();

private:
    QString at(const QString& relative) const { return physical(tree_->path()) + '/' + relative; }
    void start(const QString& currentFolder);
    QStringList skinList() const;
    QStringList folderEntries() const;
    void doubleClickFolder(const QString& text);

    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> tree_;
    std::unique_ptr<CurrentFolder> cwd_;
    std::unique_ptr<Program> program_;
    MainWindow* form_ = nullptr;
    DriveChooser* drive_ = nullptr;
    FolderChooser* dir_ = nullptr;
    FileList* file_ = nullptr;
};

void ChooserChainTest::init() {
    settings_ = std::make_unique<TempSettings>();
    tree_ = std::make_unique<QTemporaryDir>();
    QDir root(tree_->path());
    for (const char* folder :
         {"skins/deeper", "skins/sub.bmp", "skins/Middle", "skins/.hidden", "other/inner"}) {
        QVERIFY(root.mkpath(QString::fromLatin1(folder)));
    }
    writeBitmap(at("top.bmp"));
    for (const char* name : {"Zed.bmp", "b.bmp", "A.BMP", "c.Bmp"}) {
        writeBitmap(at(QStringLiteral("skins/") + QString::fromLatin1(name)));
    }
    writeBitmap(at("skins/picture.png"));
    writeText(at("skins/notes.txt"), "not a skin");
    writeBitmap(at("other/x.bmp"));
}

void ChooserChainTest::cleanup() {
    program_.reset();
    cwd_.reset();
    tree_.reset();
    settings_.reset();
}

void ChooserChainTest::start(const QString& currentFolder) {
    cwd_ = std::make_unique<CurrentFolder>(currentFolder);
    program_ = std::make_unique<Program>(std::vector<float>{0.0f});
    form_ = &program_->form;
    form_->showSkinFolder(quillarbor::currentFolder());
    drive_ = form_->findChild<DriveChooser*>(QStringLiteral("driveList"));
    dir_ = form_->findChild<FolderChooser*>(QStringLiteral("folderList"));
    file_ = form_->findChild<FileList*>(QStringLiteral("skinList"));
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
}

QStringList ChooserChainTest::skinList() const {
    QStringList names;
    for (int i = 0; i < file_->listCount(); ++i) {
        names << QString::fromStdString(form_->skinAt(static_cast<std::size_t>(i)));
    }
    return names;
}

QStringList ChooserChainTest::folderEntries() const {
    QStringList texts;
    for (int i = 0; i < dir_->count(); ++i) {
        texts << dir_->item(i)->text();
    }
    return texts;
}

void ChooserChainTest::doubleClickFolder(const QString& text) {
    const QList<QListWidgetItem*> found = dir_->findItems(text, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(text));
    dir_->scrollToItem(found.front());
    doubleClickAt(dir_->viewport(), dir_->visualItemRect(found.front()).center());
}

void ChooserChainTest::startsOnTheCurrentFolder() {
    start(at("skins"));
    QCOMPARE(form_->skinFolder(), folderText(at("skins")));
    QCOMPARE(drive_->currentText().toStdString(), driveOf(form_->skinFolder(), listDrives()));

    // Only *.bmp files, in any letter case, sorted ignoring case; not a folder
    // whose name matches.
    QCOMPARE(skinList(), QStringList({"A.BMP", "b.bmp", "c.Bmp", "Zed.bmp"}));
    QCOMPARE(file_->listIndex(), -1);

    // Ancestors down to the folder itself, highlighted, then its sub-folders,
    // hidden ones too, sorted ignoring case.
    const QStringList entries = folderEntries();
    const QString treeName = QDir(physical(tree_->path())).dirName();
    QCOMPARE(entries.mid(entries.size() - 6),
             QStringList({treeName, "skins", ".hidden", "deeper", "Middle", "sub.bmp"}));
    QCOMPARE(dir_->currentRow(), entries.size() - 5);
}

void ChooserChainTest::doubleClickOpensAFolder() {
    start(at(""));
    QCOMPARE(skinList(), QStringList({"top.bmp"}));

    doubleClickFolder(QStringLiteral("skins"));
    QCOMPARE(form_->skinFolder(), folderText(at("skins")));
    QCOMPARE(skinList(), QStringList({"A.BMP", "b.bmp", "c.Bmp", "Zed.bmp"}));

    doubleClickFolder(QStringLiteral("deeper"));
    QCOMPARE(form_->skinFolder(), folderText(at("skins/deeper")));
    QCOMPARE(skinList(), QStringList());

    // Back up through an ancestor.
    doubleClickFolder(QDir(physical(tree_->path())).dirName());
    QCOMPARE(form_->skinFolder(), folderText(at("")));
    QCOMPARE(skinList(), QStringList({"top.bmp"}));
}

void ChooserChainTest::singleClickOnlyHighlights() {
    start(at(""));
    const auto found = dir_->findItems(QStringLiteral("skins"), Qt::MatchExactly);
    QTest::mouseClick(dir_->viewport(), Qt::LeftButton, {},
                      dir_->visualItemRect(found.front()).center());
    QCOMPARE(dir_->currentItem(), found.front());
    QCOMPARE(form_->skinFolder(), folderText(at("")));
}

void ChooserChainTest::refreshPicksUpNewFiles() {
    start(at("skins"));
    file_->setListIndex(3);
    writeBitmap(at("skins/Mid.bmp"));
    QFile::remove(at("skins/b.bmp"));
    QCOMPARE(skinList(), QStringList({"A.BMP", "b.bmp", "c.Bmp", "Zed.bmp"}));

    QTest::mouseClick(form_->findChild<QPushButton*>(QStringLiteral("cmdRefresh")), Qt::LeftButton);
    QCOMPARE(skinList(), QStringList({"A.BMP", "c.Bmp", "Mid.bmp", "Zed.bmp"}));
    // The chosen entry stays chosen.
    QCOMPARE(file_->listIndex(), 3);
}

void ChooserChainTest::driveChoiceMovesTheFolderChooser() {
    start(at("skins"));
    // Chosen again, the drive of the current folder opens on that folder.
    emit drive_->activated(drive_->currentIndex());
    QCOMPARE(form_->skinFolder(), folderText(at("skins")));
    QCOMPARE(skinList(), QStringList({"A.BMP", "b.bmp", "c.Bmp", "Zed.bmp"}));

    // Another drive opens at its root, which heads the folder list.
    const int other = drive_->currentIndex() == 0 ? 1 : 0;
    if (other >= drive_->count()) {
        QSKIP("this machine lists one drive");
    }
    emit drive_->activated(other);
    QCOMPARE(form_->skinFolder(), drive_->itemText(other).toStdString());
    QCOMPARE(drive_->currentIndex(), other);
    QCOMPARE(dir_->item(0)->text(), QStringLiteral("/"));
}

void ChooserChainTest::vanishedFolderKeepsDriveAndFolder() {
    start(at(""));
    QVERIFY(QDir(at("other")).removeRecursively());

    MessageBox::setNextAnswer(MessageBox::Ok);
    doubleClickFolder(QStringLiteral("other"));
    QVERIFY(MessageBox::lastText().contains(QString::fromStdString(folderText(at("other")))));
    QCOMPARE(form_->skinFolder(), folderText(at("")));
    QCOMPARE(skinList(), QStringList({"top.bmp"}));
}

QTEST_MAIN(ChooserChainTest)
#include "chooser_chain_test.moc"
