// The countdown on the main window: drawing it from the delay, ticking it down to the next
// skin, and the delay box's edits. The ticker and the random draws are the test's own.
#include "support/gui_test_support.h"

#include "qt/FileList.h"
#include "qt/Form1.h"
#include "rotation/skins.h"
#include "settings/registry.h"
#include "qt/TrayIcon.h"

#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace quillarbor;
using namespace quillarbor::test;

class CountdownTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void drawFromTheDelay_data();
    void drawFromTheDelay();
    void countsDownThenAppliesAndRedraws_data();
    void countsDownThenAppliesAndRedraws();
    void delayEdits_data();
    void delayEdits();
    void zeroIsRaisedAndDrawnTwice();
    void editDrawsAfreshAndRestartsTheInterval();
    void doubleClickApplyLeavesTheCountdown();
    void savedDelayBelowMinimumIsRaised_data();
    void savedDelayBelowMinimumIsRaised();

private:
    QString at(const QString& relative) const { return physical(tree_->path()) + '/' + relative; }
    void start(std::vector<float> draws, const std::string& savedDelay = {});
    QLineEdit* box(const char* name) const {
        return form_->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    QString countdown() const { return box("txtCountdown")->text(); }
    QString tip() const { return form_->trayIconData().tip; }
    static QString tipFor(const QString& seconds, const QString& lastShown = {}) {
        return seconds + QStringLiteral(" secs to go. Last shown: ") + lastShown;
    }

    std::unique_ptr<TempSettings> settings_;
    std::unique_ptr<QTemporaryDir> tree_;
    std::unique_ptr<CurrentFolder> cwd_;
    std::unique_ptr<FixedRandom> random_;
    std::unique_ptr<ManualTicker> ticker_;
    std::unique_ptr<Form1> form_;
};

void CountdownTest::init() {
    settings_ = std::make_unique<TempSettings>();
    tree_ = std::make_unique<QTemporaryDir>();
    cwd_ = std::make_unique<CurrentFolder>(physical(tree_->path()));
    ticker_ = std::make_unique<ManualTicker>();
    // Only b.bmp, so whatever the pick draws, b.bmp is what it applies.
    writeBitmap(at("b.bmp"));
}

void CountdownTest::cleanup() {
    form_.reset();
    ticker_.reset();
    cwd_.reset();
    tree_.reset();
    settings_.reset();
}

void CountdownTest::start(std::vector<float> draws, const std::string& savedDelay) {
    if (!savedDelay.empty()) {
        saveSetting(loc::settingDelay, savedDelay);
    }
    random_ = std::make_unique<FixedRandom>(std::move(draws));
    form_ = std::make_unique<Form1>(*random_, ticker_.get());
    // No notification area: the tooltip is kept all the same.
    form_->findChild<TrayIcon*>()->setTrayAvailability([] { return false; });
    QVERIFY(!form_->load({}));
    QVERIFY(ticker_->isEnabled());
}

void CountdownTest::drawFromTheDelay_data() {
    QTest::addColumn<QString>("delay");
    QTest::addColumn<float>("r");
    QTest::addColumn<int>("seconds");

    QTest::newRow("1 minute, r = 0") << "1" << 0.0f << 45;
    QTest::newRow("1 minute, r = 0.5") << "1" << 0.5f << 60;
    QTest::newRow("1 minute, r = 0.9833: 74.499 rounds down") << "1" << 0.9833f << 74;
    QTest::newRow("1 minute, r = 0.9834: 74.502 rounds up") << "1" << 0.9834f << 75;
    QTest::newRow("1 minute, largest r") << "1" << kLargestDraw << 75;
    QTest::newRow("0.5 minute, r = 0: 22.5 rounds to even") << "0.5" << 0.0f << 22;
    QTest::newRow("0.5 minute, r = 0.5") << "0.5" << 0.5f << 30;
    QTest::newRow("0.1 minute, r = 0: just above 4.5") << "0.1" << 0.0f << 5;
    QTest::newRow("0.1 minute, largest r") << "0.1" << kLargestDraw << 7;
    QTest::newRow("2.5 minutes, r = 0: 112.5 rounds to even") << "2.5" << 0.0f << 112;
    QTest::newRow("2.5 minutes, largest r") << "2.5" << kLargestDraw << 187;
    QTest::newRow("largest delay that always fits, largest r")
        << "28633115" << kLargestDraw << 2147483574;
}

void CountdownTest::drawFromTheDelay() {
    QFETCH(QString, delay);
    QFETCH(float, r);
    QFETCH(int, seconds);

    start({r}, delay.toStdString());
    QCOMPARE(box("txtDelay")->text(), delay);
    QCOMPARE(countdown(), QString::number(seconds));
    // Nothing applied yet: the tooltip ends after "Last shown: ".
    QCOMPARE(tip(), tipFor(QString::number(seconds)));
}

void CountdownTest::countsDownThenAppliesAndRedraws_data() {
    QTest::addColumn<QString>("delay");
    QTest::addColumn<float>("firstDraw");
    QTest::addColumn<float>("nextDraw");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("next");

    QTest::newRow("0.1 minute: 5, then 7") << "0.1" << 0.0f << kLargestDraw << 5 << 7;
    QTest::newRow("0.5 minute: 22, then 30") << "0.5" << 0.0f << 0.5f << 22 << 30;
}

void CountdownTest::countsDownThenAppliesAndRedraws() {
    QFETCH(QString, delay);
    QFETCH(float, firstDraw);
    QFETCH(float, nextDraw);
    QFETCH(int, first);
    QFETCH(int, next);

    // The draws in turn: restoring the delay and the end of start-up draw a countdown each,
    // then come the pick and the next countdown.
    start({firstDraw, firstDraw, 0.0f, nextDraw}, delay.toStdString());
    QCOMPARE(countdown(), QString::number(first));
    const int draws = random_->draws();

    // A countdown drawn as N shows N, N - 1, ..., 0 and applies on tick N + 1.
    for (int shown = first - 1; shown >= 0; --shown) {
        ticker_->fire();
        QCOMPARE(countdown(), QString::number(shown));
        QCOMPARE(tip(), tipFor(QString::number(shown)));
        QCOMPARE(toolbarValue(), std::string());
    }
    QCOMPARE(random_->draws(), draws);

    ticker_->fire();
    QCOMPARE(toolbarValue(), addSlash(folderText(tree_->path())) + "b.bmp");
    QCOMPARE(form_->lastShown(), std::string("b.bmp"));
    QCOMPARE(random_->draws(), draws + 2);
    QCOMPARE(countdown(), QString::number(next));
    QCOMPARE(tip(), tipFor(QString::number(next), QStringLiteral("b.bmp")));
    QVERIFY(ticker_->isEnabled());

    ticker_->fire();
    QCOMPARE(countdown(), QString::number(next - 1));
    QCOMPARE(tip(), tipFor(QString::number(next - 1), QStringLiteral("b.bmp")));
}

void CountdownTest::delayEdits_data() {
    QTest::addColumn<QString>("entered");
    QTest::addColumn<bool>("typed"); // key by key; otherwise pasted over the whole text
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("seconds");

    // Every row starts from a delay of 0.5 and draws with r = 0: 0.5 gives 22.
    QTest::newRow("zero") << "0" << false << "0.1" << 5;
    QTest::newRow("emptied") << "" << false << "0.1" << 5;
    QTest::newRow("below the minimum") << "0.05" << false << "0.1" << 5;
    QTest::newRow("negative") << "-2" << false << "0.1" << 5;
    QTest::newRow("the minimum itself") << "0.1" << false << "0.1" << 5;
    QTest::newRow("decimal") << "2.5" << false << "2.5" << 112;
    QTest::newRow("hexadecimal") << "&H10" << false << "&H10" << 720;
    QTest::newRow("just fits for every draw") << "28633115" << false << "28633115" << 1288490175;

    // Kept in the box as typed; the countdown comes from the last delay that worked.
    QTest::newRow("number, then letters") << "2x" << false << "2x" << 22;
    QTest::newRow("blank inside") << "1 5" << false << "1 5" << 22;
    QTest::newRow("too large for a double") << "1e400" << false << "1e400" << 22;
    QTest::newRow("seconds beyond 32 bits") << "99999999999" << false << "99999999999" << 22;
    QTest::newRow("fits for this draw, not for every draw")
        << "28633116" << false << "28633116" << 22;
    QTest::newRow("typed: 2 worked before the x") << "2x" << true << "2x" << 90;

    // The minus sign alone is below the minimum: replaced before the 3 arrives.
    QTest::newRow("typed: minus sign") << "-3" << true << "0.13" << 6;
}

void CountdownTest::delayEdits() {
    QFETCH(QString, entered);
    QFETCH(bool, typed);
    QFETCH(QString, shown);
    QFETCH(int, seconds);

    start({0.0f}, "0.5");
    QCOMPARE(countdown(), QStringLiteral("22"));
    QLineEdit* delay = box("txtDelay");
    delay->setFocus();
    delay->selectAll();
    if (typed) {
        QTest::keyClicks(delay, entered);
    } else {
        delay->insert(entered);
    }

    QCOMPARE(delay->text(), shown);
    QCOMPARE(countdown(), QString::number(seconds));
    QCOMPARE(tip(), tipFor(QString::number(seconds)));
    QVERIFY(ticker_->isEnabled());

    // What the box shows is what the next start finds.
    form_->close();
    QCOMPARE(savedSetting(loc::settingDelay), shown.toStdString());
}

void CountdownTest::zeroIsRaisedAndDrawnTwice() {
    // The draws in turn: start-up, the run for "0.1", the run for "0".
    start({0.5f, 0.0f, kLargestDraw});
    const int startsBefore = ticker_->starts();
    box("txtDelay")->selectAll();
    box("txtDelay")->insert(QStringLiteral("0"));

    QCOMPARE(box("txtDelay")->text(), QStringLiteral("0.1"));
    QCOMPARE(random_->draws(), 3);
    // The outer run draws last, so its countdown stands.
    QCOMPARE(countdown(), QStringLiteral("7"));
    QCOMPARE(tip(), tipFor(QStringLiteral("7")));
    QVERIFY(ticker_->starts() > startsBefore);
}

void CountdownTest::editDrawsAfreshAndRestartsTheInterval() {
    start({0.0f});
    for (int i = 0; i < 3; ++i) {
        ticker_->fire();
    }
    QCOMPARE(countdown(), QStringLiteral("42"));

    const int startsBefore = ticker_->starts();
    box("txtDelay")->setText(QStringLiteral("3"));
    QCOMPARE(countdown(), QStringLiteral("135"));
    QVERIFY(ticker_->starts() > startsBefore);
    QVERIFY(ticker_->isEnabled());
    ticker_->fire();
    QCOMPARE(countdown(), QStringLiteral("134"));
}

void CountdownTest::doubleClickApplyLeavesTheCountdown() {
    start({0.0f});
    ticker_->fire();
    ticker_->fire();
    QCOMPARE(countdown(), QStringLiteral("43"));
    const int draws = random_->draws();
    const int starts = ticker_->starts();

    auto* files = form_->findChild<FileList*>(QStringLiteral("File1"));
    files->setListIndex(0);
    doubleClickAt(files->viewport(), files->visualRect(files->model()->index(0, 0)).center());
    QCOMPARE(toolbarValue(), addSlash(folderText(tree_->path())) + "b.bmp");
    QCOMPARE(countdown(), QStringLiteral("43"));
    QCOMPARE(random_->draws(), draws);
    QCOMPARE(ticker_->starts(), starts);

    // The next tick goes on from there and names the new skin.
    ticker_->fire();
    QCOMPARE(countdown(), QStringLiteral("42"));
    QCOMPARE(tip(), tipFor(QStringLiteral("42"), QStringLiteral("b.bmp")));
}

void CountdownTest::savedDelayBelowMinimumIsRaised_data() {
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("seconds");

    QTest::newRow("0.05") << "0.05"
                          << "0.1" << 5;
    QTest::newRow("zero") << "0"
                          << "0.1" << 5;
    QTest::newRow("no number as a whole counts as missing") << "5x"
                                                            << "1" << 45;
}

void CountdownTest::savedDelayBelowMinimumIsRaised() {
    QFETCH(QString, saved);
    QFETCH(QString, shown);
    QFETCH(int, seconds);

    start({0.0f}, saved.toStdString());
    QCOMPARE(box("txtDelay")->text(), shown);
    QCOMPARE(countdown(), QString::number(seconds));
    form_->close();
    QCOMPARE(savedSetting(loc::settingDelay), shown.toStdString());
}

QTEST_MAIN(CountdownTest)
#include "countdown_test.moc"
