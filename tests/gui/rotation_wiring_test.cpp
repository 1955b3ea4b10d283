// The countdown and the skins through the real window: key presses, the beat, double-clicks and
// the preview reach the presenter, and what it decides shows in the widgets.
#include "support/gui_test_support.h"

#include "qt/FileList.h"
#include "qt/TrayIcon.h"
#include "rotation/skins.h"
#include "settings/registry.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include <memory>

using namespace quillarbor;
using namespace quillarbor::test;

class RotationWiringTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startKeysBeatAndCloseReachThePresenter();
    void doubleClickOnTheListApplies_data();
    void doubleClickOnTheListApplies();

private:
    QString at(const QString& name) const { return physical(scene_->folder.path()) + '/' + name; }
    void start();
    template <typename T> T* child(const char* name) const {
        return program_->form.findChild<T*>(QString::fromLatin1(name));
    }

    // A store and a current folder of the test's own.
    struct Scene {
        TempSettings settings;
        QTemporaryDir folder;
        CurrentFolder cwd{physical(folder.path())};
    };
    std::unique_ptr<Scene> scene_;
    std::unique_ptr<Program> program_;
};

void RotationWiringTest::init() {
    scene_ = std::make_unique<Scene>();
}

void RotationWiringTest::cleanup() {
    program_.reset();
    scene_.reset();
}

void RotationWiringTest::start() {
    program_ = std::make_unique<Program>(); // every draw 0.5
    // No notification area: the tooltip is kept all the same.
    program_->form.findChild<TrayIcon*>()->setTrayAvailability([] { return false; });
    QCOMPARE(program_->presenter.load({}), MainWindowPresenter::Start::Running);
    QVERIFY(QTest::qWaitForWindowExposed(&program_->form));
}

void RotationWiringTest::startKeysBeatAndCloseReachThePresenter() {
    start();
    MainWindow& form = program_->form;
    // Centred on its screen, give or take its frame.
    const QRect screen = form.screen()->geometry();
    const QRect outer = form.frameGeometry();
    const QSize frame = outer.size() - form.size();
    QVERIFY(qAbs(outer.center().x() - screen.center().x()) <= frame.width() / 2 + 1);
    QVERIFY(qAbs(outer.center().y() - screen.center().y()) <= frame.height() / 2 + 1);

    // Key by key, the minus sign alone is raised to 0.1 before the 3 arrives after it.
    auto* delay = child<QLineEdit>("txtDelay");
    delay->setFocus();
    delay->selectAll();
    QTest::keyClicks(delay, QStringLiteral("-3"));
    QCOMPARE(delay->text(), QStringLiteral("0.13"));
    QCOMPARE(child<QLineEdit>("txtCountdown")->text(), QStringLiteral("8"));

    program_->ticker.fire();
    QCOMPARE(child<QLineEdit>("txtCountdown")->text(), QStringLiteral("7"));
    QCOMPARE(form.trayIcon().trayIconData().tip, QStringLiteral("7 secs to go. Last shown: "));

    form.close();
    QCOMPARE(savedSetting(loc::settingDelay), std::string("0.13"));
}

void RotationWiringTest::doubleClickOnTheListApplies_data() {
    QTest::addColumn<QByteArray>("format"); // of B.BMP
    QTest::addColumn<int>("row");           // -1: below the entries, where nothing is selected
    QTest::addColumn<QString>("applied");
    QTest::newRow("a bitmap") << QByteArray("BMP") << 1 << "B.BMP";
    // Bitmaps are tried first; a picture renamed to a bitmap's name must still load.
    QTest::newRow("PNG under a bitmap's name") << QByteArray("PNG") << 1 << "B.BMP";
    QTest::newRow("PPM under a bitmap's name") << QByteArray("PPM") << 1 << "B.BMP";
    QTest::newRow("below the entries") << QByteArray("BMP") << -1 << "";
}

void RotationWiringTest::doubleClickOnTheListApplies() {
    QFETCH(QByteArray, format);
    QFETCH(int, row);
    QFETCH(QString, applied);

    writeBitmap(at("a.bmp"), Qt::red);
    QImage green(8, 4, QImage::Format_RGB32);
    green.fill(Qt::green);
    QVERIFY(green.save(at("B.BMP"), format.constData()));
    start();
    auto* files = child<FileList>("skinList");
    if (row >= 0) {
        files->setListIndex(row);
        doubleClickAt(files->viewport(), files->visualRect(files->model()->index(row, 0)).center());
    } else {
        doubleClickAt(files->viewport(), QPoint(10, files->viewport()->height() - 5));
    }
    QCOMPARE(files->listIndex(), row);
    QCOMPARE(child<QLabel>("lblLastShown")->text(),
             applied.isEmpty() ? QString() : QStringLiteral("Last shown: ") + applied);
    QCOMPARE(toolbarValue(), applied.isEmpty() ? std::string()
                                               : addSlash(folderText(scene_->folder.path())) +
                                                     applied.toStdString());
    QCOMPARE(shownColour(child<QLabel>("imgPreview")),
             applied.isEmpty() ? QColor() : QColor(Qt::green));
}

QTEST_MAIN(RotationWiringTest)
#include "rotation_wiring_test.moc"
