#include "app/Form1Presenter.h"

#include "app/run_at_logon.h"
#include "app/startup_rules.h"
#include "rotation/conversions.h"
#include "rotation/countdown.h"
#include "rotation/random_source.h"
#include "rotation/skins.h"
#include "settings/registry.h"

#include <cmath>
#include <utility>

namespace quillarbor {

namespace {

constexpr std::string_view kResetTitle = "Reset Registry before uninstall";

// A delay is only taken when every draw from it fits: one that fits for some draws only would
// fail by chance, minutes or days later.
bool everyDrawFits(double delayMinutes) {
    return drawCountdownSeconds(delayMinutes, 0.0f) &&
           drawCountdownSeconds(delayMinutes, std::nextafter(1.0f, 0.0f));
}

} // namespace

Form1Presenter::Services Form1Presenter::runningProgram(RandomSource& random) {
    const std::string executable = runningExecutable();
    return {random, folderOf(executable), executable};
}

Form1Presenter::Form1Presenter(Form1View& view, Services services)
    : view_(view), services_(std::move(services)) {
    view_.attach(*this);
}

Form1Presenter::Start Form1Presenter::load(const std::vector<std::string>& args) {
    commandLine_ = captureCommandLine(args);
    view_.centreOnScreen();
    restoreSkinFolder();

    const std::string delay =
        regGetString(RegRoot::CurrentUser, loc::settingDelay, loc::settingValue);
    // A saved delay that is no number is treated as missing.
    if (!delay.empty() && parseNumber(delay)) {
        setDelayText(delay);
    }

    const std::string systray =
        regGetString(RegRoot::CurrentUser, loc::settingSystray, loc::settingValue);
    if (const auto startInTray = textToBool(systray)) {
        startInTray_ = *startInTray;
        view_.setStartInTrayChecked(startInTray_);
    }

    runAtStartup_ = !regGetString(RegRoot::CurrentUser, loc::runKey, loc::runValue).empty();
    view_.setRunAtStartupChecked(runAtStartup_);

    const auto delayMinutes = parseNumber(view_.delayText());
    if (!delayMinutes || !(*delayMinutes >= kMinimumDelay)) {
        setDelayText("1");
    }

    // The random source was seeded from the clock when it was made.
    lastShown_.clear();

    if (startInTray_) {
        view_.setWindowState(Form1View::WindowState::Minimised);
    }
    view_.showWindow();
    view_.repaint();

    trayTip_ = fitTrayTip(kInitialTrayTip);
    view_.addTrayIcon(trayTip_);

    if (isOneShot(commandLine_)) {
        failure_.clear();
        pickRandomSkin();
        unload();
        // A job that runs the one-shot must be able to tell that nothing was applied.
        return failure_.empty() ? Start::Ended : Start::Failed;
    }

    resetCountdown();
    return Start::Running;
}

void Form1Presenter::restoreSkinFolder() {
    // The choosers are moved once, to the saved folder or else to the current one, so that a
    // start reads the skin folder once.
    const std::string saved =
        regGetString(RegRoot::CurrentUser, loc::settingPath, loc::settingValue);
    if (PathExists(saved)) {
        if (view_.showSkinFolder(saved)) {
            return;
        }
        view_.warn("The folder " + saved + " cannot be read.");
    }
    view_.showSkinFolder(currentFolder());
}

void Form1Presenter::unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    saveSettings();
    view_.removeTrayIcon();
    setBeat(false);
    view_.end();
}

void Form1Presenter::saveSettings() {
    regSaveString(RegRoot::CurrentUser, loc::settingPath, loc::settingValue, view_.skinFolder());
    regSaveString(RegRoot::CurrentUser, loc::settingDelay, loc::settingValue, view_.delayText());
    regSaveString(RegRoot::CurrentUser, loc::settingSystray, loc::settingValue,
                  boolToText(startInTray_));
}

void Form1Presenter::pickRandomSkin() {
    const std::size_t n = view_.refreshSkinList();
    if (n == 0) {
        return;
    }
    const int i = pickIndex(static_cast<int>(n), services_.random.next());
    apply(view_.skinAt(static_cast<std::size_t>(i)), true);
}

void Form1Presenter::apply(const std::string& name, bool repaint) {
    const std::string picName = addSlash(view_.skinFolder()) + name;
    if (!view_.showPreview(picName)) {
        // Never a box: a timed pick must not wait for an answer.
        failure_ = "cannot load " + picName + " as a picture; the skin stays as it was";
        view_.warn(failure_);
        return;
    }
    lastShown_ = name;
    if (repaint) {
        view_.repaint();
    }
    changeSkin(picName);
}

void Form1Presenter::onSkinChosen() {
    const int i = view_.selectedSkin();
    if (i < 0) {
        return;
    }
    apply(view_.skinAt(static_cast<std::size_t>(i)), false);
}

void Form1Presenter::changeSkin(const std::string& picName) {
    view_.setLastShownText(lastShownCaption(lastShown_));
    const auto error =
        regTrySaveString(RegRoot::CurrentUser, loc::toolbarKey, loc::toolbarValue, picName);
    failure_ = error
                   ? "cannot write the browser's toolbar value " + std::string(loc::toolbarValue) +
                         " to " + error->place + ": " + error->reason
                   : std::string();
}

void Form1Presenter::resetCountdown() {
    setBeat(false);
    const std::int32_t seconds = drawCountdown(services_.random.next());
    view_.setCountdownText(numberToText(seconds));
    showCountdownTip();
    setBeat(true);
}

std::int32_t Form1Presenter::drawCountdown(float r) {
    // A delay such as "2x" passes the minimum test but is no number; the box keeps what the user
    // typed, and countdowns come from the last delay that was.
    const auto delay = parseNumber(view_.delayText());
    if (delay && everyDrawFits(*delay)) {
        lastGoodDelay_ = *delay;
    }
    return drawCountdownSeconds(lastGoodDelay_, r).value_or(0);
}

void Form1Presenter::onTimer1Tick() {
    if (unloaded_) {
        return;
    }
    // Only the program writes the box; should it ever hold no number, the countdown has run out.
    const double t = parseNumber(view_.countdownText()).value_or(0.0);
    if (t < 1) {
        pickRandomSkin();
        resetCountdown();
    } else {
        view_.setCountdownText(numberToText(t - 1));
        showCountdownTip();
    }
    // Pending events run as soon as this returns to the event loop; running them from in here
    // would let a second tick start inside this one.
}

void Form1Presenter::onDelayEdited(std::string_view text) {
    if (leadingNumber(text) < kMinimumDelay) {
        // A text box raises its change event again at once for this; that run draws a
        // countdown, and so does this one after it.
        setDelayText(std::string(kMinimumDelayText));
    }
    setBeat(false);
    setBeat(true);
    resetCountdown();
}

void Form1Presenter::setDelayText(const std::string& text) {
    // As a text box does: a new text raises the change event, the same text raises nothing.
    if (view_.delayText() == text) {
        return;
    }
    view_.setDelayText(text);
    onDelayEdited(text);
}

void Form1Presenter::showCountdownTip() {
    setTrayTip(countdownTooltip(view_.countdownText(), lastShown_));
}

void Form1Presenter::setTrayTip(std::string_view text) {
    trayTip_ = fitTrayTip(text);
    view_.setTrayTip(trayTip_);
}

void Form1Presenter::setBeat(bool enabled) {
    beating_ = enabled;
    view_.setBeatEnabled(enabled);
}

void Form1Presenter::onStartInTrayClicked() {
    // Matters at the next exit and start only: the running window stays as it is.
    startInTray_ = !startInTray_;
    view_.setStartInTrayChecked(startInTray_);
}

void Form1Presenter::onRunAtStartupClicked() {
    runAtStartup_ = !runAtStartup_;
    view_.setRunAtStartupChecked(runAtStartup_);
    if (runAtStartup_) {
        regSaveString(RegRoot::CurrentUser, loc::runKey, loc::runValue,
                      runEntryCommand(services_.programFolder));
    } else {
        regDeleteValue(RegRoot::CurrentUser, loc::runKey, loc::runValue);
    }
    // Desktops that follow the XDG rules start only what their autostart folder names.
    setAutostart(runAtStartup_, services_.executable);
}

void Form1Presenter::onSettingsClicked() {
    showFromTray();
}

void Form1Presenter::onExitClicked() {
    unload();
}

void Form1Presenter::onClose() {
    unload();
}

void Form1Presenter::onResetClicked() {
    if (view_.messageBox("Are you sure you want to do this? (Please see documentation first.)",
                         kResetTitle, Form1View::Buttons::OkCancel) != Form1View::Answer::Ok) {
        return;
    }
    // A skin applied while the user reads the next box would undo the reset just before the
    // program exits, so the countdown waits for the answer.
    const bool counting = beating_;
    setBeat(false);
    regSaveString(RegRoot::CurrentUser, loc::toolbarKey, loc::toolbarValue, " ");
    if (view_.messageBox("Quillarbor will exit next.", kResetTitle, Form1View::Buttons::OkCancel) ==
        Form1View::Answer::Ok) {
        unload();
        return;
    }
    if (!unloaded_) {
        setBeat(counting);
    }
}

void Form1Presenter::onAboutClicked() {
    view_.showAbout();
}

void Form1Presenter::onTrayEvent(TrayEvent event) {
    switch (event) {
    case TrayEvent::LeftButtonUp:
    case TrayEvent::LeftDoubleClick:
        showFromTray();
        break;
    case TrayEvent::RightButtonUp:
        // A right click leaves a hidden window hidden.
        view_.bringToFront();
        view_.openTrayMenu();
        break;
    case TrayEvent::Other:
        break;
    }
}

void Form1Presenter::showFromTray() {
    view_.setWindowState(Form1View::WindowState::Normal);
    view_.bringToFront();
    view_.showWindow();
}

void Form1Presenter::onWindowMinimised() {
    hideIfMinimisedToTray();
}

void Form1Presenter::onTrayAppeared() {
    // A window minimised while there was nowhere to hide it goes there once there is.
    hideIfMinimisedToTray();
}

void Form1Presenter::hideIfMinimisedToTray() {
    // Without an icon to bring it back, a hidden window would be lost: it stays minimised the
    // ordinary way instead.
    if (view_.windowState() == Form1View::WindowState::Minimised && view_.isTrayIconShown()) {
        view_.hideWindow();
    }
}

} // namespace quillarbor
