#pragma once

#include "FolderChooser.h"
#include "TrayIcon.h"

#include "app/MainWindowView.h"
#include "app/skin_folder.h"
#include "app/window_forms.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillarbor::win32 {

// The main window as Windows draws it: the skin folder choosers, the delay and countdown boxes,
// the preview, the menus and the tray icon. It shows what the presenter tells it and reports
// what the user does; the program's rules live in the presenter.
class MainWindow final : public MainWindowView {
public:
    explicit MainWindow(HINSTANCE instance);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND handle() const { return hwnd_; }
    // The next main window of a copy of the program in this desktop session after `after`
    // (the first for null), or null.
    static HWND findRunning(HWND after = nullptr);
    // What a second start sends that window to have it brought forward; the window of a copy
    // that runs on answers kShownAnswer.
    static UINT showRequestMessage();
    static constexpr LRESULT kShownAnswer = 0x5157;
    // Keyboard handling the window asks of the message loop: Tab between the controls, Enter,
    // Esc. True when the message was used.
    bool preTranslate(MSG& message);

    void attach(MainWindowPresenter& presenter) override;

    std::string delayText() const override;
    void setDelayText(std::string_view text) override;
    std::string countdownText() const override;
    void setCountdownText(std::string_view text) override;
    void setLastShownText(std::string_view text) override;

    bool showSkinFolder(const std::string& folder) override;
    std::string skinFolder() const override;
    std::size_t refreshSkinList() override;
    std::size_t skinCount() const override { return folder_.skins().size(); }
    std::string skinAt(std::size_t index) const override;
    int selectedSkin() const override;
    bool showPreview(const std::string& picName) override;
    void clearPreview() override;

    void setStartInTrayChecked(bool checked) override;
    void setRunAtStartupChecked(bool checked) override;

    void centreOnScreen() override;
    WindowState windowState() const override;
    void setWindowState(WindowState state) override;
    bool isWindowVisible() const override;
    void showWindow() override;
    void hideWindow() override;
    void repaint() override;
    void bringToFront() override;

    void addTrayIcon(std::string_view tip) override;
    void setTrayTip(std::string_view tip) override;
    void removeTrayIcon() override;
    bool isTrayIconShown() const override;
    void openTrayMenu() override;

    Answer messageBox(std::string_view text, std::string_view title, Buttons buttons) override;
    void showAbout() override;
    void warn(std::string_view text) override;

    void setBeatEnabled(bool enabled) override;
    void end() override;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(int id, int code);
    void onTrayMessage(UINT mouseMessage);
    // Runs `toPresenter` with the presenter, once one is attached.
    template <typename Report> void report(Report&& toPresenter);
    bool onActivate(bool active); // true when it set the focus itself
    bool onMeasureItem(MEASUREITEMSTRUCT& item);
    bool onDrawItem(const DRAWITEMSTRUCT& item);
    void onCloseBox();
    void onDestroy();
    LRESULT onShowRequest();
    void onDpiChanged(UINT dpi, const RECT& suggested);

    void createControls();
    void createMenus();
    void setChecked(form::Command command, bool checked);
    void layout();
    void applyFont();
    void setChildrenFont();
    void drawPreview(const DRAWITEMSTRUCT& item) const;

    // Draws the choosers after the skin folder moved; false when it could not move.
    bool showMoved(const std::optional<SkinFolder::Shown>& shown);
    void showDrives();
    void showSkins(const SkinFolder::Shown& shown);
    std::optional<std::size_t> selection() const;
    void onDriveChosen();
    void openHighlightedFolder();
    void reportUnreadable(const std::string& folder);

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HMENU menu_ = nullptr;
    HMENU popup_ = nullptr;                        // the tray's pop-up menu
    std::vector<const form::MenuItem*> menuItems_; // by id, from kFirstMenuItemId
    UINT dpi_ = 96;
    HFONT font_ = nullptr;
    double scale_ = 1.0 / 15; // pixels to a twip: the DPI's, grown until every text fits
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HBITMAP preview_ = nullptr;
    std::unique_ptr<TrayIcon> tray_;
    UINT showRequest_ = 0;
    bool used_ = false; // the user has clicked or typed in the window

    MainWindowPresenter* presenter_ = nullptr;
    bool quiet_ = false; // text set by the program raises no change event
    bool minimisedBeforeShow_ = false;
    HWND focus_ = nullptr; // given back when the window is activated again

    SkinFolder folder_;
    FolderChooser folderList;

    HWND startFocus = nullptr;
    HWND skinList = nullptr;
    HWND driveList = nullptr;
    HWND txtDelay = nullptr;
    HWND txtCountdown = nullptr;
    HWND lblLastShown = nullptr;
    HWND cmdRefresh = nullptr;
    HWND imgPreview = nullptr;
};

} // namespace quillarbor::win32
