// Start-up and shutdown against a temporary store: what the window shows after loading, and what
// the exit saves.
#include "support/presenter_fixture.h"

#include <string>
#include <vector>

using namespace quillarbor;
using namespace quillarbor::test;

namespace {

class PresenterStartUp : public PresenterFixture {};

TEST_F(PresenterStartUp, SavedSettingsAreShownDrawnFromAndSavedBack) {
    const struct {
        const char* name;
        std::string delay, systray;
        float r;
        std::string shownDelay;
        int seconds;
        bool inTray;
    } cases[] = {
        {"decimal delay, in tray", "2.5", "True", 0.0f, "2.5", 112, true},
        {"whole delay, not in tray", "30", "False", 0.5f, "30", 1800, false},
        {"words in any case", "0.1", "tRUE", kLargestDraw, "0.1", 7, true},
        {"flag as a number", "7", "-1", 0.0f, "7", 315, true},
        {"flag zero", "7", "0", 0.0f, "7", 315, false},
        {"unconvertible values", "5x", "maybe", 0.0f, "1", 45, false},
        // As if typed: no leading number is below the minimum.
        {"not numbers at all", "abc", "yes", 0.0f, "0.1", 5, false},
        {"empty values", "", "", 0.0f, "1", 45, false},
        {"delay below the minimum", "0.05", "", 0.0f, "0.1", 5, false},
        {"delay zero", "0", "", 0.0f, "0.1", 5, false},
        {"1 minute, r = 0.9833: 74.499 rounds down", "1", "", 0.9833f, "1", 74, false},
        {"1 minute, r = 0.9834: 74.502 rounds up", "1", "", 0.9834f, "1", 75, false},
        {"largest delay that always fits", "28633115", "", kLargestDraw, "28633115", 2147483574,
         false},
        {"too large: brought down", "50000000", "", kLargestDraw, "28633115", 2147483574, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        save(loc::settingDelay, c.delay);
        save(loc::settingSystray, c.systray);
        nextRow();
        ASSERT_EQ(start({c.r}), MainWindowPresenter::Start::Running);
        EXPECT_EQ(view_.delay, c.shownDelay);
        EXPECT_EQ(view_.startInTrayMarks, c.inTray);
        EXPECT_EQ(view_.countdown, std::to_string(c.seconds));
        // Nothing applied yet: the tooltip ends after "Last shown: ".
        EXPECT_EQ(view_.tip, std::to_string(c.seconds) + " secs to go. Last shown: ");

        presenter_->unload();
        EXPECT_EQ(saved(loc::settingDelay), c.shownDelay);
        EXPECT_EQ(saved(loc::settingSystray), c.inTray ? "True" : "False");
    }
}

TEST_F(PresenterStartUp, OpensOnTheSavedFolderOrTheCurrentOneAndAppliesNothing) {
    addSkins({"b.bmp", "A.bmp"});
    const struct {
        const char* name;
        std::string saved;
        bool onSkins; // else on the start folder
    } cases[] = {
        {"saved folder", skinsFolder_, true},
        {"saved folder gone", skin("gone"), false},
        {"nothing saved", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        save(loc::settingPath, c.saved);
        nextRow();
        ASSERT_EQ(start({0.5f}, {"quillarbor"}), MainWindowPresenter::Start::Running);
        const std::string shown = c.onSkins ? skinsFolder_ : startFolder_;
        EXPECT_EQ(view_.folder, shown);
        const std::vector<std::string> listed{"A.bmp", "b.bmp"};
        EXPECT_EQ(view_.list, c.onSkins ? listed : std::vector<std::string>{});
        EXPECT_EQ(presenter_->commandLine(), "QUILLARBOR");
        EXPECT_EQ(view_.centred, 1);
        EXPECT_TRUE(view_.visible);
        EXPECT_TRUE(view_.beating);
        // The first countdown, and no pick.
        EXPECT_EQ(random_->draws(), 1u);
        EXPECT_EQ(presenter_->lastShown(), "");
        EXPECT_EQ(toolbar(), "");

        presenter_->unload();
        EXPECT_EQ(saved(loc::settingPath), shown);
    }
}

TEST_F(PresenterStartUp, OneShotAppliesOneSkinSavesAndEnds) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        bool skins;
    } cases[] = {
        {"upper case", {"/O"}, true},
        {"lower case", {"/o"}, true},
        {"among other arguments", {"-x", "/O", "-y"}, true},
        {"inside an argument", {"-x/ok"}, true},
        {"no skins in the folder", {"/O"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(config_.root() / "skins");
        addSkins(c.skins ? std::vector<std::string>{"one.bmp", "three.bmp", "two.bmp"}
                         : std::vector<std::string>{"readme.txt"});
        save(loc::settingDelay, "2.5");
        save(loc::settingSystray, "");
        nextRow();

        EXPECT_EQ(startOnSkins({0.5f}, c.args), MainWindowPresenter::Start::Ended);
        EXPECT_TRUE(view_.ended);
        EXPECT_FALSE(view_.beating);
        // The restored delay draws a countdown, then comes the one pick: r = 0.5 among three
        // names picks the middle one.
        EXPECT_EQ(random_->draws(), c.skins ? 2u : 1u);
        EXPECT_EQ(toolbar(), c.skins ? skin("three.bmp") : "");
        EXPECT_EQ(view_.folderReads, 1) << "the start's reading serves the pick";
        EXPECT_EQ(saved(loc::settingPath), skinsFolder_);
        EXPECT_EQ(saved(loc::settingDelay), "2.5");
        EXPECT_EQ(saved(loc::settingSystray), "False");
    }
}

} // namespace
