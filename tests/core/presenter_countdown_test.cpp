// The countdown: ticking down to the next skin, the delay box's edits, and a skin chosen by hand
// in between. The beat and the random draws are the test's own.
#include "support/presenter_fixture.h"

#include <string>
#include <vector>

using namespace quillarbor;
using namespace quillarbor::test;

namespace {

class PresenterCountdown : public PresenterFixture {
protected:
    static std::string tipFor(int seconds, const std::string& lastShown = {}) {
        return std::to_string(seconds) + " secs to go. Last shown: " + lastShown;
    }
};

TEST_F(PresenterCountdown, CountsDownThenAppliesAndRedraws) {
    addSkins({"b.bmp"}); // whatever the pick draws, b.bmp is what it applies
    const struct {
        const char* name;
        std::string delay;
        float firstDraw, nextDraw;
        int first, next;
    } cases[] = {
        {"0.1 minute: 5, then 7", "0.1", 0.0f, kLargestDraw, 5, 7},
        {"0.5 minute: 22, then 30", "0.5", 0.0f, 0.5f, 22, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        save(loc::settingDelay, c.delay);
        nextRow();
        // Restoring the delay and the end of start-up draw a countdown each, then come the pick
        // and the next countdown.
        startOnSkins({c.firstDraw, c.firstDraw, 0.0f, c.nextDraw});
        ASSERT_EQ(view_.countdown, std::to_string(c.first));
        const std::size_t draws = random_->draws();

        // A countdown drawn as N shows N, N - 1, ..., 0 and applies on tick N + 1.
        for (int shown = c.first - 1; shown >= 0; --shown) {
            view_.tick();
            ASSERT_EQ(view_.countdown, std::to_string(shown));
            ASSERT_EQ(view_.tip, tipFor(shown));
            ASSERT_EQ(toolbar(), "");
        }
        EXPECT_EQ(random_->draws(), draws);

        view_.tick();
        EXPECT_EQ(toolbar(), skin("b.bmp"));
        EXPECT_EQ(presenter_->lastShown(), "b.bmp");
        EXPECT_EQ(random_->draws(), draws + 2);
        EXPECT_EQ(view_.countdown, std::to_string(c.next));
        EXPECT_EQ(view_.tip, tipFor(c.next, "b.bmp"));
        EXPECT_TRUE(view_.beating);

        view_.tick();
        EXPECT_EQ(view_.countdown, std::to_string(c.next - 1));
        EXPECT_EQ(view_.tip, tipFor(c.next - 1, "b.bmp"));
    }
}

TEST_F(PresenterCountdown, AnEditDrawsAfreshFromTheDelayAndRestartsTheBeat) {
    const struct {
        const char* name;
        std::vector<std::string> edits; // the box's text after each
        std::string shown;
        int seconds; // drawn with r = 0
    } cases[] = {
        {"zero", {"0"}, "0.1", 5},
        {"emptied", {""}, "0.1", 5},
        {"below the minimum", {"0.05"}, "0.1", 5},
        {"negative", {"-2"}, "0.1", 5},
        {"the minimum itself", {"0.1"}, "0.1", 5},
        {"whole", {"3"}, "3", 135},
        {"decimal", {"2.5"}, "2.5", 112},
        {"hexadecimal", {"&H10"}, "&H10", 720},
        {"just fits for every draw", {"28633115"}, "28633115", 1288490175},
        // Too large for the 32-bit countdown: brought down to the largest delay that fits.
        {"fits for this draw, not for every draw", {"28633116"}, "28633115", 1288490175},
        {"typed key by key past the largest",
         {"3", "35", "350", "3500", "35000", "350000", "3500000", "35000000"},
         "28633115",
         1288490175},
        {"too large for a number", {"1e400"}, "28633115", 1288490175},
        // No number as a whole: the delay in force is put back, 0.5 or what was typed before.
        {"number, then letters", {"2x"}, "0.5", 22},
        {"blank inside", {"1 5"}, "0.5", 22},
        {"typed key by key: 2 worked before the x", {"2", "2x"}, "2", 90},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        save(loc::settingDelay, "0.5");
        nextRow();
        start({0.0f});
        view_.tick(3);
        ASSERT_EQ(view_.countdown, "19");
        const int beatStarts = view_.beatStarts;

        for (const std::string& text : c.edits) {
            view_.typeDelay(text);
        }
        EXPECT_EQ(view_.delay, c.shown);
        EXPECT_EQ(view_.countdown, std::to_string(c.seconds));
        EXPECT_EQ(view_.tip, tipFor(c.seconds));
        EXPECT_GT(view_.beatStarts, beatStarts);
        view_.tick();
        EXPECT_EQ(view_.countdown, std::to_string(c.seconds - 1));

        // What the box shows is what the next start finds.
        presenter_->unload();
        EXPECT_EQ(saved(loc::settingDelay), c.shown);
    }
}

TEST_F(PresenterCountdown, ZeroIsRaisedAndDrawnTwice) {
    // The draws in turn: start-up, the run for "0.1", the run for "0".
    start({0.5f, 0.0f, kLargestDraw});
    view_.typeDelay("0");
    EXPECT_EQ(view_.delay, "0.1");
    EXPECT_EQ(random_->draws(), 3u);
    // The outer run draws last, so its countdown stands.
    EXPECT_EQ(view_.countdown, "7");
    EXPECT_EQ(view_.tip, tipFor(7));
}

TEST_F(PresenterCountdown, ASkinChosenByHandLeavesTheCountdown) {
    addSkins({"b.bmp"});
    startOnSkins({0.0f});
    view_.tick(2);
    ASSERT_EQ(view_.countdown, "43");
    const std::size_t draws = random_->draws();
    const int beatStarts = view_.beatStarts;

    view_.selected = 0;
    presenter_->onSkinChosen();
    EXPECT_EQ(toolbar(), skin("b.bmp"));
    EXPECT_EQ(view_.countdown, "43");
    EXPECT_EQ(random_->draws(), draws);
    EXPECT_EQ(view_.beatStarts, beatStarts);

    // The next tick goes on from there and names the new skin.
    view_.tick();
    EXPECT_EQ(view_.countdown, "42");
    EXPECT_EQ(view_.tip, tipFor(42, "b.bmp"));
}

} // namespace
