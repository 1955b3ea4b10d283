// The tray icon: its life and tooltip, the clicks on it, and hiding the minimised window only
// where the icon can bring it back.
#include "support/presenter_commands.h"

using namespace quillarbor;
using namespace quillarbor::test;

namespace {

using Tray = PresenterCommands;
using State = Form1View::WindowState;
using TrayEvent = Form1Presenter::TrayEvent;

TEST_F(Tray, IconIsAddedAtStartAndRemovedAtExit) {
    // In one-shot mode the countdown drawn while restoring the delay comes before the icon,
    // and no other follows.
    save(loc::settingDelay, "3");
    EXPECT_EQ(launch({"/O"}), Form1Presenter::Start::Ended);
    EXPECT_TRUE(view_.trayAdded && view_.trayRemoved);
    EXPECT_EQ(view_.tip, " Quillarbor ");

    launch();
    EXPECT_TRUE(view_.trayAdded && !view_.trayRemoved);
    presenter_->onClose();
    EXPECT_TRUE(view_.trayRemoved);
}

TEST_F(Tray, TooltipKeepsItsFirst63Characters) {
    // 27 characters of countdown text, then the name: 64 in all.
    const std::string name = std::string(33, 'x') + ".bmp";
    addSkins({name});
    save(loc::settingPath, skinsFolder_);
    launch();
    view_.selected = 0;
    presenter_->onSkinChosen();
    view_.tick();
    EXPECT_EQ(view_.tip, "44 secs to go. Last shown: " + name.substr(0, 36));
}

TEST_F(Tray, LeftClicksAndSettingsBringTheWindowBack) {
    const struct {
        const char* name;
        std::vector<TrayEvent> events; // none: Settings in the pop-up
    } cases[] = {
        {"left release", {TrayEvent::LeftButtonUp}},
        {"double-click alone", {TrayEvent::LeftDoubleClick}},
        {"double-click as it comes", {TrayEvent::LeftButtonUp, TrayEvent::LeftDoubleClick}},
        {"Settings", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        launch();
        view_.minimise();
        ASSERT_FALSE(view_.visible);

        for (const TrayEvent event : c.events) {
            presenter_->onTrayEvent(event);
        }
        if (c.events.empty()) {
            presenter_->onSettingsClicked();
        }
        EXPECT_TRUE(view_.visible);
        EXPECT_TRUE(view_.inFront);
        EXPECT_EQ(view_.state, State::Normal);
        EXPECT_EQ(view_.trayMenuOpenings, 0);
        // Back to normal: minimising hides it again.
        view_.minimise();
        EXPECT_FALSE(view_.visible);
    }
}

TEST_F(Tray, RightReleaseOpensThePopupAndLeavesTheWindowAsItWas) {
    const struct {
        bool hidden;
        TrayEvent event;
        int openings;
    } cases[] = {
        {false, TrayEvent::RightButtonUp, 1},
        {true, TrayEvent::RightButtonUp, 1},
        {false, TrayEvent::Other, 0},
        {true, TrayEvent::Other, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "hidden " << c.hidden << ", event " << static_cast<int>(c.event));
        launch();
        if (c.hidden) {
            view_.minimise();
        }
        presenter_->onTrayEvent(c.event);
        EXPECT_EQ(view_.trayMenuOpenings, c.openings);
        EXPECT_EQ(view_.visible, !c.hidden);
        EXPECT_EQ(view_.state, c.hidden ? State::Minimised : State::Normal);
    }
}

TEST_F(Tray, MinimisedWindowHidesOnlyWhereTheIconCanBringItBack) {
    const struct {
        const char* name;
        bool startInTray, trayAtStart, trayLater;
    } cases[] = {
        {"minimised, tray", false, true, false},
        {"minimised, no tray", false, false, false},
        {"minimised, tray comes later", false, false, true},
        {"start in tray, tray", true, true, false},
        {"start in tray, no tray", true, false, false},
        {"start in tray, tray comes later", true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        save(loc::settingSystray, c.startInTray ? "True" : "False");
        launch();
        view_.trayAvailable = c.trayAtStart;
        EXPECT_EQ(view_.state, c.startInTray ? State::Minimised : State::Normal);
        view_.minimise(); // by the user, or the window system telling what start-up did
        EXPECT_EQ(view_.visible, !c.trayAtStart);

        if (c.trayLater) {
            view_.trayAvailable = true;
            presenter_->onTrayAppeared();
        }
        EXPECT_EQ(view_.visible, !(c.trayAtStart || c.trayLater));
        EXPECT_EQ(view_.state, State::Minimised);
        // The countdown runs whether or not the window is shown.
        EXPECT_TRUE(view_.beating);

        presenter_->onTrayEvent(TrayEvent::LeftButtonUp);
        EXPECT_TRUE(view_.visible);
        EXPECT_EQ(view_.state, State::Normal);
    }
}

} // namespace
