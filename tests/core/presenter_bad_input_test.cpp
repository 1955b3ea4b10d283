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
    // minimum becomes 0.1 minute (5 seconds); one that is no number, or whose countdowns do not
    // all fit 32 bits, stays in the box while the countdowns come from the last delay that
    // worked. The next start shows what was saved when it is a number of at least the
    // minimum, else "1".
    const std::string hundreds = "1" + std::string(299, '0');
    const struct {
        std::string entered;
        bool typed; // key by key over the whole text; otherwise set as a whole
        std::string shown;
        int seconds;
        std::string nextStart;
    } cases[] = {
        {"&HFFFFFFFF", false, "&HFFFFFFFF", 22, "&HFFFFFFFF"},
        {hundreds, false, hundreds, 22, hundreds},
        {"1e400", false, "1e400", 22, "1"},
        {"99999999999", false, "99999999999", 22, "99999999999"},
        {".", false, "0.1", 5, "0.1"},
        {"1e-400", false, "0.1", 5, "0.1"},
        // Key by key, the minus sign alone is raised to 0.1 before the 5 arrives.
        {"-5", true, "0.15", 7, "0.15"},
        {".", true, "0.1", 5, "0.1"},
    };
    addSkins({"b.bmp"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entered.substr(0, 12) + (c.typed ? ", typed" : ""));
        save(loc::settingPath, skinsFolder_);
        save(loc::settingDelay, "0.5");
        regDeleteValue(RegRoot::CurrentUser, loc::toolbarKey, loc::toolbarValue);
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

        // The countdown runs out and the pick applies the only skin, without a box.
        tickThroughPick();
        EXPECT_EQ(toolbar(), skin("b.bmp"));
        EXPECT_TRUE(view_.beating && view_.boxes.empty());

        presenter_->onExitClicked();
        launch();
        EXPECT_EQ(view_.delay, c.nextStart);
        EXPECT_GT(std::stoll(view_.countdown), 0);
        presenter_->onExitClicked();
        EXPECT_EQ(saved(loc::settingDelay), c.nextStart);
    }
}

TEST_F(BadInput, PictureThatCannotBeShownIsNotApplied) {
    addSkins({"a.bmp", "b.bmp"});
    for (const bool byDoubleClick : {false, true}) {
        SCOPED_TRACE(byDoubleClick ? "double-click" : "timed pick");
        save(loc::settingPath, skinsFolder_);
        launch({}, {kLargestDraw}); // a pick takes b.bmp
        view_.selected = 0;
        presenter_->onSkinChosen();
        view_.unloadable.insert(skin("b.bmp"));
        if (byDoubleClick) {
            view_.selected = 1;
            presenter_->onSkinChosen();
        } else {
            tickThroughPick();
        }
        EXPECT_EQ(toolbar(), skin("a.bmp"));
        EXPECT_EQ(presenter_->lastShown(), "a.bmp");
        EXPECT_EQ(view_.lastShownLine, "Last shown: a.bmp");
        EXPECT_EQ(view_.preview, skin("a.bmp"));
        EXPECT_TRUE(view_.beating);
        // Said where no one has to answer it.
        EXPECT_TRUE(view_.boxes.empty());
        ASSERT_EQ(view_.warnings.size(), 1u);
        EXPECT_NE(view_.warnings[0].find("b.bmp"), std::string::npos) << view_.warnings[0];
    }
}

TEST_F(BadInput, SavedGarbageIsTreatedAsMissing) {
    // None of these is a delay of at least the minimum, nor a folder, nor a flag.
    addSkins({"notes.txt"});
    const std::string file = skin("notes.txt");
    const struct {
        std::string delay, folder, systray, shownDelay;
    } cases[] = {
        {"\x01\x02\x7f", "\x01\xff", "\xff", "1"},
        // Numbers below the minimum are raised to it, as when typed.
        {"1e-400", "nowhere", "2x", "0.1"},
        {"-5", "/" + std::string(5000, 'x'), "&H", "0.1"},
        {".", file, " ", "1"},
        {"1e400", "", "1e400", "1"},
        {std::string(100000, '9'), file + "/x", std::string(100000, '1'), "1"},
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
