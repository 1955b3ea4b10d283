// Bad input: odd delay texts, pictures that cannot be shown and saved values that mean nothing.
// Whatever happens, the program keeps running, no box waits for an answer, no saved value is
// lost and the toolbar names only pictures that could be shown.
#include "support/presenter_commands.h"

using namespace quillarbor;
using namespace quillarbor::test;

namespace {

using BadInput = PresenterCommands;

TEST_F(BadInput, DelayTextsKeepTheProgramRunningAndAreSavedAsShown) {
    // Every row starts from a delay of 0.5 minute (22 seconds at r = 0). A delay below the
    // minimum becomes 0.1 minute (5 seconds); one too large for the 32-bit countdown becomes the
    // largest that fits; whatever the box shows is the delay in force, and what the next start
    // shows.
    const std::string hundreds = "1" + std::string(299, '0');
    const struct {
        std::string entered;
        bool typed; // key by key over the whole text; otherwise set as a whole
        std::string shown;
        int seconds;
    } cases[] = {
        {"&HFFFFFFFF", false, "28633115", 1288490175},
        {hundreds, false, "28633115", 1288490175},
        {"99999999999", true, "28633115", 1288490175},
        {".", false, "0.1", 5},
        {"1e-400", false, "0.1", 5},
        // Key by key, the minus sign alone is raised to 0.1 before the 5 arrives.
        {"-5", true, "0.15", 7},
        {".", true, "0.1", 5},
    };
    addSkins({"b.bmp"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entered.substr(0, 12) + (c.typed ? ", typed" : ""));
        save(loc::settingPath, skinsFolder_);
        save(loc::settingDelay, "0.5");
        launch();
        if (c.typed) {
            for (std::size_t i = 0; i < c.entered.size(); ++i) {
                view_.typeDelay((i == 0 ? "" : view_.delay) + c.entered[i]);
            }
        } else {
            view_.typeDelay(c.entered);
        }
        EXPECT_EQ(view_.delay, c.shown);
        EXPECT_EQ(view_.countdown, std::to_string(c.seconds));
        view_.tick();
        EXPECT_TRUE(view_.beating && view_.boxes.empty());

        presenter_->onExitClicked();
        launch();
        EXPECT_EQ(view_.delay, c.shown);
        EXPECT_EQ(view_.countdown, std::to_string(c.seconds));
        presenter_->onExitClicked();
        EXPECT_EQ(saved(loc::settingDelay), c.shown);
    }
}

TEST_F(BadInput, PictureThatCannotBeShownIsNotAppliedAndSaysSo) {
    for (const bool byDoubleClick : {false, true}) {
        SCOPED_TRACE(byDoubleClick ? "double-click" : "timed pick");
        askForAFailingSkin(byDoubleClick, [&] { view_.unloadable.insert(skin("b.bmp")); });
    }
}

TEST_F(BadInput, RefusedWriteLeavesTheSkinInForceShownAndIsTold) {
    for (const bool byDoubleClick : {false, true}) {
        SCOPED_TRACE(byDoubleClick ? "double-click" : "timed pick");
        store_.refusing = false;
        const std::string told = askForAFailingSkin(byDoubleClick, [&] { store_.refusing = true; });
        EXPECT_NE(told.find("BackBitmapIE5"), std::string::npos) << told;

        // The exit cannot save either, and says so for each setting, the folder among them.
        view_.warnings.clear();
        presenter_->onExitClicked();
        ASSERT_EQ(view_.warnings.size(), 3u);
        EXPECT_NE(view_.warnings[0].find(skinsFolder_), std::string::npos) << view_.warnings[0];
    }
}

TEST_F(BadInput, RefusedWriteWithNothingAppliedYetLeavesTheWindowEmpty) {
    addSkins({"a.bmp"});
    save(loc::settingPath, skinsFolder_);
    launch();
    store_.refusing = true;
    view_.selected = 0;
    presenter_->onSkinChosen();
    EXPECT_EQ(view_.preview, "");
    EXPECT_EQ(view_.lastShownLine, "");
    EXPECT_EQ(presenter_->lastShown(), "");
    EXPECT_EQ(view_.boxes.size(), 1u);
}

TEST_F(BadInput, SavedGarbageIsTreatedAsMissing) {
    // None of these is a folder or a flag. A delay goes into the box as if typed; one with more
    // after its number is treated as missing.
    addSkins({"notes.txt"});
    const std::string file = skin("notes.txt");
    const struct {
        std::string delay, folder, systray, shownDelay;
    } cases[] = {
        {"\x01\x02\x7f", "\x01\xff", "\xff", "0.1"},
        {"1e-400", "nowhere", "2x", "0.1"},
        {"-5", "/" + std::string(5000, 'x'), "&H", "0.1"},
        {".", file, " ", "0.1"},
        {"5x", file, "5x", "1"},
        {"1e400", "", "1e400", "28633115"},
        {std::string(100000, '9'), file + "/x", std::string(100000, '1'), "28633115"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delay.substr(0, 12));
        save(loc::settingDelay, c.delay);
        save(loc::settingPath, c.folder);
        save(loc::settingSystray, c.systray);
        launch();
        EXPECT_EQ(view_.delay, c.shownDelay);
        EXPECT_EQ(view_.folder, startFolder_);
        EXPECT_FALSE(view_.startInTrayMarks);
        tickThroughPick();
        EXPECT_TRUE(view_.beating && view_.boxes.empty());

        presenter_->onExitClicked();
        EXPECT_EQ(saved(loc::settingDelay), c.shownDelay);
        EXPECT_EQ(saved(loc::settingPath), startFolder_);
        EXPECT_EQ(saved(loc::settingSystray), "False");
    }
}

} // namespace
