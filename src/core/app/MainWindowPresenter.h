#pragma once

#include "app/MainWindowView.h"
#include "app/PresenterDependencies.h"
#include "app/window_forms.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillarbor {

class SessionSlot;

// The main window's behaviour: start-up and shutdown, the countdown, picking and applying skins,
// the menu commands and the tray icon's reactions. It drives a MainWindowView and hears from it; it
// knows no toolkit, so every front-end runs the same rules.
class MainWindowPresenter {
public:
    // How a start-up ended.
    enum class Start {
        Running, // the countdown runs; the event loop takes over
        Ended,   // one-shot mode: a skin was applied (or there was none) and the program is over
        Failed,  // one-shot mode: a skin was picked but not applied; failure() says why
    };

    // How a start goes when another copy may already run in the desktop session.
    enum class Launch {
        Run,        // this copy runs: it is the only one, or a one-shot
        Forwarded,  // the running copy was asked to show its window; this one ends
        Unanswered, // another copy holds the session but did not answer
    };

    // Decides, before any window exists, whether this start runs or hands over to the copy that
    // already runs in the session.
    static Launch claimSession(const std::vector<std::string>& args, SessionSlot& slot);

    // `view` and everything `dependencies` refers to must outlive the presenter.
    MainWindowPresenter(MainWindowView& view, PresenterDependencies dependencies);
    MainWindowPresenter(const MainWindowPresenter&) = delete;
    MainWindowPresenter& operator=(const MainWindowPresenter&) = delete;

    // The start-up sequence, with the program's arguments.
    Start load(const std::vector<std::string>& args);
    // Saves the settings, removes the tray icon and ends the program; only the first call counts.
    // Every way out comes here: Exit, Terminate, the close box, the reset, the one-shot, and the
    // system's request to end (a logout, a shutdown, a signal).
    void unload();
    // The settings as they stand (folder, delay, start in tray), as the shutdown saves them:
    // what a desktop's session manager asks for before it ends the session.
    void saveSettings();

    // Reports from the view.
    void onTick();
    void onDelayEdited(std::string_view text); // the box already shows `text`
    void onSkinChosen();                       // double-click or Enter on the skin list
    void onStartInTrayClicked();               // mnuSystray or mnuSystray2
    void onRunAtStartupClicked();              // mnuStartup or mnuStartup2
    void onSettingsClicked();                  // mnuSettings
    void onExitClicked();                      // mnuExit or mnuTerminate
    void onResetClicked();                     // mnuReset
    void onAboutClicked();                     // mnuAbout
    void onCommand(form::Command command);     // any menu item, by the command it runs
    void onClose();                            // the window's close box or Alt+F4

    enum class TrayEvent { LeftButtonUp, LeftDoubleClick, RightButtonUp, Other };
    void onTrayEvent(TrayEvent event);
    // The window was minimised, or a notification area appeared: either may hide the window now.
    void onWindowMinimised();
    void onTrayAppeared();
    // The last notification area that showed the icon went away (its panel ended or crashed).
    void onTrayGone();
    // The user worked in the window: a click or a key in it.
    void onWindowUsed();
    // A second start of the program in this session asked for the window.
    void onSecondStart();

    // The shared steps, run by the events above.
    void pickRandomSkin();
    void changeSkin(const std::string& picName);
    void resetCountdown();
    void showFromTray();

    const std::string& commandLine() const { return commandLine_; }
    const std::string& lastShown() const { return lastShown_; }
    const std::string& trayTip() const { return trayTip_; }
    // Why the last pick or double-click applied nothing; "" when it applied its skin. Only a skin
    // written to the browser's value is shown as applied.
    const std::string& failure() const { return failure_; }
    bool startInTray() const { return startInTray_; }
    bool runAtStartup() const { return runAtStartup_; }
    bool isBeating() const { return beating_; }
    bool hasEnded() const { return unloaded_; }

private:
    void restoreSkinFolder();
    void setDelayText(const std::string& text);
    std::int32_t drawCountdown(float r);
    void setTrayTip(std::string_view text);
    enum class Asked { ByUser, ByTimer };
    void apply(const std::string& name, Asked asked);
    void showCountdownTip();
    void setBeat(bool enabled);
    void hideIfMinimisedToTray();

    MainWindowView& view_;
    PresenterDependencies deps_;
    std::string commandLine_;
    std::string lastShown_;
    std::string trayTip_;
    std::string failure_;
    std::string appliedPicName_; // the full path this run last wrote to the browser's value
    bool startInTray_ = false;   // mnuSystray's check mark is the option itself
    bool runAtStartup_ = false;  // mnuStartup's
    bool beating_ = false;       // the one-second beat is on
    bool unloaded_ = false;
    bool oneShot_ = false;
    // The last text of the delay box that countdowns were drawn from; at first the box's own "1".
    std::string delayInForce_ = "1";
    // The user has had the window: worked in it, brought it back, or was handed it when the
    // tray went. A notification area that appears after that leaves the window where it is.
    bool userHasWindow_ = false;
};

} // namespace quillarbor
