#include "app/MainWindowPresenter.h"

#include "app/messages.h"
#include "app/run_at_logon.h"
#include "app/session_slot.h"
#include "app/startup_rules.h"
#include "rotation/conversions.h"
#include "rotation/countdown.h"
#include "rotation/random_source.h"
#include "rotation/skins.h"
#include "settings/registry.h"
#include "version.h"

#include <cmath>
#include <string_view>
#include <utility>

namespace quillarbor {

namespace {

// A delay is only taken when every draw from it fits: one that fits for some draws only would
// fail by chance, minutes or days later.
bool everyDrawFits(double delayMinutes) {
    return drawCountdownSeconds(delayMinutes, 0.0f) &&
           drawCountdownSeconds(delayMinutes, std::nextafter(1.0f, 0.0f));
}

// What the delay box makes of a text, so that the box always shows the delay in force.
enum class DelayFate {
    Kept,     // a delay countdowns can be drawn from
    Minimum,  // below the minimum (by its leading number): raised to it
    Largest,  // too large for the 32-bit countdown: brought down to the largest that fits
    NoNumber, // a number followed by more ("2x"): the last delay in force is put back
};

DelayFate delayFate(std::string_view text) {
    const double leading = leadingNumber(text);
    if (leading < kMinimumDelay) {
        return DelayFate::Minimum;
    }
    const auto delay = parseNumber(text);
    if (delay ? !everyDrawFits(*delay) : std::isinf(leading)) {
        return DelayFate::Largest;
    }
    return delay ? DelayFate::Kept : DelayFate::NoNumber;
}

} // namespace

MainWindowPresenter::MainWindowPresenter(MainWindowView& view, PresenterDependencies dependencies)
    : view_(view), deps_(std::move(dependencies)) {
    view_.attach(*this);
}

MainWindowPresenter::Start MainWindowPresenter::load(const std::vector<std::string>& args) {
    commandLine_ = captureCommandLine(args);
    view_.centreOnScreen();
    restoreSkinFolder();

    const std::string delay = deps_.store.get(loc::settingDelay, loc::settingValue);
    // A saved delay goes into the box as if typed, but one with more after its number ("5x") is
    // treated as missing: there is no delay before it to put back.
    if (!delay.empty() && delayFate(delay) != DelayFate::NoNumber) {
        setDelayText(delay);
    }

    const std::string systray = deps_.store.get(loc::settingSystray, loc::settingValue);
    if (const auto startInTray = textToBool(systray)) {
        startInTray_ = *startInTray;
        view_.setStartInTrayChecked(startInTray_);
    }

    runAtStartup_ = !deps_.store.get(loc::runKey, loc::runValue).empty();
    view_.setRunAtStartupChecked(runAtStartup_);

    const auto delayMinutes = parseNumber(view_.delayText());
    if (!delayMinutes || !(*delayMinutes >= kMinimumDelay)) {
        setDelayText("1");
    }

    // The random source was seeded from the clock when it was made.
    lastShown_.clear();

    if (startInTray_) {
        view_.setWindowState(MainWindowView::WindowState::Minimised);
    }
    view_.showWindow();
    view_.repaint();

    trayTip_ = fitTrayTip(kInitialTrayTip);
    view_.addTrayIcon(trayTip_);

    if (isOneShot(commandLine_)) {
        oneShot_ = true;
        failure_.clear();
        pickRandomSkin();
        unload();
        // A job that runs the one-shot must be able to tell that nothing was applied.
        return failure_.empty() ? Start::Ended : Start::Failed;
    }

    resetCountdown();
    return Start::Running;
}

void MainWindowPresenter::restoreSkinFolder() {
    // The choosers are moved once, to the saved folder or else to the current one, so that a
    // start reads the skin folder once.
    const std::string saved = deps_.store.get(loc::settingPath, loc::settingValue);
    if (deps_.folders.exists(saved)) {
        if (view_.showSkinFolder(saved)) {
            return;
        }
        view_.warn(messages::folderCannotBeRead(saved));
    }
    view_.showSkinFolder(deps_.folders.current());
}

void MainWindowPresenter::unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    saveSettings();
    view_.removeTrayIcon();
    setBeat(false);
    view_.end();
}

void MainWindowPresenter::saveSettings() {
    // Each setting is saved on its own, so one that cannot be leaves the others saved. The program
    // is ending, perhaps with the session: said where no one has to answer it.
    const std::pair<std::string_view, std::string> settings[] = {
        {loc::settingPath, view_.skinFolder()},
        {loc::settingDelay, view_.delayText()},
        {loc::settingSystray, boolToText(startInTray_)},
    };
    for (const auto& [subKey, data] : settings) {
        if (const auto error = deps_.store.save(subKey, loc::settingValue, data)) {
            view_.warn("cannot save the setting " + std::string(subKey) + " (" + data + ") to " +
                       error->place + ": " + error->reason);
        }
    }
}

void MainWindowPresenter::pickRandomSkin() {
    // A one-shot picks from the reading its start made a moment ago, so that a folder of many
    // thousands of files is read once.
    const std::size_t n = oneShot_ ? view_.skinCount() : view_.refreshSkinList();
    if (n == 0) {
        return;
    }
    const int i = pickIndex(static_cast<int>(n), deps_.random.next());
    apply(view_.skinAt(static_cast<std::size_t>(i)), Asked::ByTimer);
}

void MainWindowPresenter::onSkinChosen() {
    const int i = view_.selectedSkin();
    if (i < 0) {
        return;
    }
    apply(view_.skinAt(static_cast<std::size_t>(i)), Asked::ByUser);
}

void MainWindowPresenter::apply(const std::string& name, Asked asked) {
    const std::string picName = addSlash(view_.skinFolder()) + name;
    failure_.clear();
    if (!view_.showPreview(picName)) {
        failure_ = "cannot load " + picName + " as a picture; the skin stays as it was";
    } else {
        const std::string previous = std::exchange(lastShown_, name);
        if (asked == Asked::ByTimer) {
            view_.repaint();
        }
        changeSkin(picName);
        if (!failure_.empty()) {
            // The window never shows as applied a skin the browser will not show.
            lastShown_ = previous;
            if (appliedPicName_.empty() || !view_.showPreview(appliedPicName_)) {
                view_.clearPreview();
            }
        }
    }
    if (failure_.empty()) {
        return;
    }
    // A timed pick must not wait for an answer: no one may be there to give it.
    if (asked == Asked::ByUser) {
        view_.messageBox(std::string(kAppTitle) + " " + failure_ + ".", kAppTitle,
                         MainWindowView::Buttons::OkOnly);
    } else if (!oneShot_) { // a one-shot's failure is told once, by its exit
        view_.warn(failure_);
    }
}

void MainWindowPresenter::changeSkin(const std::string& picName) {
    if (const auto error = deps_.store.save(loc::toolbarKey, loc::toolbarValue, picName)) {
        failure_ = "cannot write " + picName + " to the browser's toolbar value " +
                   std::string(loc::toolbarValue) + " in " + error->place + ": " + error->reason;
        return;
    }
    appliedPicName_ = picName;
    view_.setLastShownText(lastShownCaption(lastShown_));
}

void MainWindowPresenter::resetCountdown() {
    setBeat(false);
    const std::int32_t seconds = drawCountdown(deps_.random.next());
    view_.setCountdownText(numberToText(seconds));
    showCountdownTip();
    setBeat(true);
}

std::int32_t MainWindowPresenter::drawCountdown(float r) {
    // The box holds a delay in force after every edit; the last one is the fallback all the same.
    std::string delay = view_.delayText();
    if (delayFate(delay) != DelayFate::Kept) {
        delay = delayInForce_;
    }
    return drawCountdownSeconds(parseNumber(delay).value_or(1.0), r).value_or(0);
}

void MainWindowPresenter::onTick() {
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

void MainWindowPresenter::onDelayEdited(std::string_view text) {
    // A text box raises its change event again at once for a replaced text; that run draws a
    // countdown, and so does this one after it.
    switch (delayFate(text)) {
    case DelayFate::Kept:
        delayInForce_ = text;
        break;
    case DelayFate::Minimum:
        setDelayText(std::string(kMinimumDelayText));
        break;
    case DelayFate::Largest:
        setDelayText(std::string(kLargestDelayText));
        break;
    case DelayFate::NoNumber:
        setDelayText(std::string(delayInForce_)); // a copy: the nested run replaces it
        break;
    }
    setBeat(false);
    setBeat(true);
    resetCountdown();
}

void MainWindowPresenter::setDelayText(const std::string& text) {
    // As a text box does: a new text raises the change event, the same text raises nothing.
    if (view_.delayText() == text) {
        return;
    }
    view_.setDelayText(text);
    onDelayEdited(text);
}

void MainWindowPresenter::showCountdownTip() {
    setTrayTip(countdownTooltip(view_.countdownText(), lastShown_));
}

void MainWindowPresenter::setTrayTip(std::string_view text) {
    trayTip_ = fitTrayTip(text);
    view_.setTrayTip(trayTip_);
}

void MainWindowPresenter::setBeat(bool enabled) {
    beating_ = enabled;
    view_.setBeatEnabled(enabled);
}

void MainWindowPresenter::onStartInTrayClicked() {
    // Matters at the next exit and start only: the running window stays as it is.
    startInTray_ = !startInTray_;
    view_.setStartInTrayChecked(startInTray_);
}

void MainWindowPresenter::onRunAtStartupClicked() {
    runAtStartup_ = !runAtStartup_;
    view_.setRunAtStartupChecked(runAtStartup_);
    if (runAtStartup_) {
        deps_.store.save(loc::runKey, loc::runValue, runEntryCommand(deps_.programFolder));
    } else {
        deps_.store.remove(loc::runKey, loc::runValue);
    }
    // Desktops that follow the XDG rules start only what their autostart folder names.
    deps_.autostart.set(runAtStartup_);
}

void MainWindowPresenter::onSettingsClicked() {
    showFromTray();
}

void MainWindowPresenter::onExitClicked() {
    unload();
}

void MainWindowPresenter::onClose() {
    unload();
}

void MainWindowPresenter::onResetClicked() {
    if (view_.messageBox(messages::resetQuestion, messages::resetTitle,
                         MainWindowView::Buttons::OkCancel) != MainWindowView::Answer::Ok) {
        return;
    }
    // A skin applied while the user reads the next box would undo the reset just before the
    // program exits, so the countdown waits for the answer.
    const bool counting = beating_;
    setBeat(false);
    deps_.store.save(loc::toolbarKey, loc::toolbarValue, " ");
    if (view_.messageBox(messages::resetExitNotice, messages::resetTitle,
                         MainWindowView::Buttons::OkCancel) == MainWindowView::Answer::Ok) {
        unload();
        return;
    }
    if (!unloaded_) {
        setBeat(counting);
    }
}

void MainWindowPresenter::onAboutClicked() {
    view_.showAbout();
}

void MainWindowPresenter::onCommand(form::Command command) {
    switch (command) {
    case form::Command::StartInTray:
        onStartInTrayClicked();
        break;
    case form::Command::RunAtStartup:
        onRunAtStartupClicked();
        break;
    case form::Command::Exit:
        onExitClicked();
        break;
    case form::Command::Settings:
        onSettingsClicked();
        break;
    case form::Command::Reset:
        onResetClicked();
        break;
    case form::Command::About:
        onAboutClicked();
        break;
    }
}

void MainWindowPresenter::onTrayEvent(TrayEvent event) {
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

void MainWindowPresenter::showFromTray() {
    userHasWindow_ = true;
    view_.setWindowState(MainWindowView::WindowState::Normal);
    view_.bringToFront();
    view_.showWindow();
}

void MainWindowPresenter::onWindowMinimised() {
    hideIfMinimisedToTray();
}

void MainWindowPresenter::onTrayAppeared() {
    // A start in the tray that found no notification area (its panel starts later) goes there
    // once there is one, unless the user has had the window since. A window minimised while
    // there was nowhere to hide it goes there too.
    if (startInTray_ && !userHasWindow_ && !unloaded_) {
        view_.setWindowState(MainWindowView::WindowState::Minimised);
    }
    hideIfMinimisedToTray();
}

void MainWindowPresenter::onTrayGone() {
    // Hidden, the window could only come back through the icon: it is given back at once, and
    // stays in view when a notification area returns.
    if (unloaded_ || view_.isWindowVisible()) {
        return;
    }
    showFromTray();
}

void MainWindowPresenter::onWindowUsed() {
    userHasWindow_ = true;
}

void MainWindowPresenter::onSecondStart() {
    if (!unloaded_) {
        showFromTray();
    }
}

MainWindowPresenter::Launch MainWindowPresenter::claimSession(const std::vector<std::string>& args,
                                                              SessionSlot& slot) {
    // A one-shot applies its skin and ends, whatever else runs.
    if (isOneShot(captureCommandLine(args)) || slot.take()) {
        return Launch::Run;
    }
    if (slot.askHolderToShow()) {
        return Launch::Forwarded;
    }
    // The holder may have ended between the two questions.
    return slot.take() ? Launch::Run : Launch::Unanswered;
}

void MainWindowPresenter::hideIfMinimisedToTray() {
    // Without an icon to bring it back, a hidden window would be lost: it stays minimised the
    // ordinary way instead.
    if (view_.windowState() == MainWindowView::WindowState::Minimised && view_.isTrayIconShown()) {
        view_.hideWindow();
    }
}

} // namespace quillarbor
