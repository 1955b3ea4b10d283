#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillarbor {

class MainWindowPresenter;

// What the main window shows and can be asked to do, in the terms of the program, not of a
// toolkit. A front-end implements it and reports the user's actions to the presenter; it keeps no
// rule of the program. Texts are UTF-8.
class MainWindowView {
public:
    enum class WindowState { Normal, Minimised };
    enum class Buttons { OkOnly, OkCancel };
    enum class Answer { Ok, Cancel };

    virtual ~MainWindowView() = default;

    // The presenter the view reports to, for the life of both.
    virtual void attach(MainWindowPresenter& presenter) = 0;

    // txtDelay, txtCountdown and the last-shown line. Setting a text raises no event.
    virtual std::string delayText() const = 0;
    virtual void setDelayText(std::string_view text) = 0;
    virtual std::string countdownText() const = 0;
    virtual void setCountdownText(std::string_view text) = 0;
    virtual void setLastShownText(std::string_view text) = 0;

    // The drive, folder and skin choosers moved to `folder` together; false, showing what they
    // showed before, when it cannot be read.
    virtual bool showSkinFolder(const std::string& folder) = 0;
    // The folder of the skin list.
    virtual std::string skinFolder() const = 0;
    // Re-reads the skin list from its folder and returns how many entries it holds now.
    virtual std::size_t refreshSkinList() = 0;
    // How many entries the skin list holds as last read.
    virtual std::size_t skinCount() const = 0;
    // The entry at `index` (0 <= index < the count), a file name without folder.
    virtual std::string skinAt(std::size_t index) const = 0;
    // The selected entry's index, or -1 when none is selected.
    virtual int selectedSkin() const = 0;
    // Shows the bitmap in the preview; false, keeping the preview, when it cannot be loaded.
    virtual bool showPreview(const std::string& picName) = 0;
    // An empty preview, as at start-up.
    virtual void clearPreview() = 0;

    // The check marks of both "Start in system tray" items, and of both "Run at startup" items.
    virtual void setStartInTrayChecked(bool checked) = 0;
    virtual void setRunAtStartupChecked(bool checked) = 0;

    virtual void centreOnScreen() = 0;
    virtual WindowState windowState() const = 0;
    virtual void setWindowState(WindowState state) = 0;
    virtual bool isWindowVisible() const = 0;
    virtual void showWindow() = 0; // modeless
    virtual void hideWindow() = 0;
    virtual void repaint() = 0;
    // Brings a shown window to the foreground; a hidden one stays hidden.
    virtual void bringToFront() = 0;

    // The notification-area icon. `tip` is already fitted to the icon's 63 characters.
    virtual void addTrayIcon(std::string_view tip) = 0;
    virtual void setTrayTip(std::string_view tip) = 0;
    virtual void removeTrayIcon() = 0;
    // The icon is in a notification area now, so it can bring a hidden window back.
    virtual bool isTrayIconShown() const = 0;
    // Opens the tray's pop-up menu and returns when it closes.
    virtual void openTrayMenu() = 0;

    // A modal box with no icon; closing it any other way than with OK answers Cancel.
    virtual Answer messageBox(std::string_view text, std::string_view title, Buttons buttons) = 0;
    // The About box, modal.
    virtual void showAbout() = 0;
    // Something went wrong that no one is there to answer (a start-up, a timed pick): never a box.
    virtual void warn(std::string_view text) = 0;

    // The one-second beat: once enabled, reports a tick every second to the presenter. Enabling a
    // stopped beat starts a fresh interval.
    virtual void setBeatEnabled(bool enabled) = 0;

    // The program is over: the settings are saved and the tray icon is gone.
    virtual void end() = 0;
};

} // namespace quillarbor
