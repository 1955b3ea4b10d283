// The tray icon: its life and tooltip, the clicks on it, hiding the minimised window only where
// the icon can bring it back, notification areas that come and go, and a second start.
#include "support/presenter_commands.h"

using namespace quillarbor;
using namespace quillarbor::test;

namespace {

using Tray = PresenterCommands;
using State = MainWindowView::WindowState;
using TrayEvent = MainWindowPresenter::TrayEvent;

TEST_F(Tray, IconIsAddedAtStartAndRemovedAtExit) {
    // In one-shot mode the countdown drawn while restoring the delay comes before the icon,
    // and no other follows.
    save(loc::settingDelay, "3");
    EXPECT_EQ(launch({"/O"}), MainWindowPresenter::Start::Ended);
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

TEST_F(Tray, NotificationAreasThatComeAndGo) {
    // What happens before the area changes: the window hidden in it, handled by the user, or left
    // by the window system in the normal state although the start asked for minimised.
    enum class Before { Nothing, Minimise, Use, SecondStart, ForgetMinimised };
    const struct {
        const char* name;
        bool startInTray, trayAtStart;
        Before before;
        bool hiddenAtEnd; // after the area has gone (where there was one) and come back
        State stateAtEnd;
    } cases[] = {
        {"start in tray, the area leaves and returns", true, true, Before::Nothing, false,
         State::Normal},
        {"minimised into it, the area leaves and returns", false, true, Before::Minimise, false,
         State::Normal},
        {"shown, the area leaves and returns", false, true, Before::Nothing, false, State::Normal},
        {"start in tray, the area appears later", true, false, Before::Nothing, true,
         State::Minimised},
        {"start in tray not kept minimised, the area appears later", true, false,
         Before::ForgetMinimised, true, State::Minimised},
        {"start in tray, used before the area appears", true, false, Before::Use, false,
         State::Normal},
        {"start in tray, started again before the area appears", true, false, Before::SecondStart,
         false, State::Normal},
        {"not in tray, the area appears later", false, false, Before::Nothing, false,
         State::Normal},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        save(loc::settingSystray, c.startInTray ? "True" : "False");
        launch();
        view_.trayAvailable = c.trayAtStart;
        if (c.startInTray) {
            view_.minimise(); // the window system telling what start-up did
        }
        switch (c.before) {
        case Before::Minimise:
            view_.minimise();
            break;
        case Before::Use: // restored by the window system's own means, then worked in
            view_.state = State::Normal;
            presenter_->onWindowUsed();
            break;
        case Before::SecondStart:
            presenter_->onSecondStart();
            break;
        case Before::ForgetMinimised:
            view_.state = State::Normal;
            break;
        case Before::Nothing:
            break;
        }

        if (c.trayAtStart) {
            const bool wasHidden = !view_.visible;
            view_.trayAvailable = false;
            presenter_->onTrayGone();
            // Nothing could bring a hidden window back now: it is shown, in front.
            EXPECT_TRUE(view_.visible);
            EXPECT_EQ(view_.inFront, wasHidden);
            EXPECT_EQ(view_.state, State::Normal);
        }
        view_.trayAvailable = true;
        presenter_->onTrayAppeared();
        EXPECT_EQ(view_.visible, !c.hiddenAtEnd);
        EXPECT_EQ(view_.state, c.stateAtEnd);
        EXPECT_TRUE(view_.beating);
    }
}

TEST_F(Tray, SecondStartBringsTheWindowForward) {
    // Hidden in the tray, or shown behind other windows; and once the program is ending.
    for (const bool minimised : {true, false}) {
        launch();
        if (minimised) {
            view_.minimise();
        }
        view_.inFront = false;
        presenter_->onSecondStart();
        EXPECT_TRUE(view_.visible && view_.inFront);
        EXPECT_EQ(view_.state, State::Normal);
    }
    view_.minimise();
    presenter_->onExitClicked();
    presenter_->onSecondStart();
    EXPECT_FALSE(view_.visible);
}

} // namespace
