#pragma once

#include "app/MainWindowView.h"
#include "app/skin_folder.h"
#include "app/window_forms.h"

#include <QMainWindow>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace quillarbor {

class DriveChooser;
class FileList;
class FolderChooser;
class MainWindowPresenter;
class Ticker;
class TrayIcon;

// The main window as Qt draws it: the skin folder choosers, the delay and countdown boxes, the
// preview, the menus and the tray pop-up. It shows what the presenter tells it and reports what
// the user does; the program's rules live in the presenter.
class MainWindow : public QMainWindow, public MainWindowView {
    Q_OBJECT

public:
    // `ticker` must outlive the window; without one the window beats once a second of real time.
    explicit MainWindow(Ticker* ticker = nullptr, QWidget* parent = nullptr);

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

    // What the tray icon shows now, as the user would see it.
    const TrayIcon& trayIcon() const { return *tray_; }

signals:
    // The program is over: the settings are saved and nothing more should run.
    void ended();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenus();
    QMenu* createMenu(const form::Menu& menu);
    void setChecked(form::Command command, bool checked);

    // Draws the choosers after the skin folder moved; false when it could not move.
    bool showMoved(const std::optional<SkinFolder::Shown>& shown);
    std::optional<std::size_t> selection() const;
    void onDriveChosen(std::size_t index);
    void onFolderOpened(const std::string& folder);
    void reportUnreadable(const std::string& folder);
    void forgetMinimisedHint();

    MainWindowPresenter* presenter_ = nullptr;
    SkinFolder folder_;
    bool frontWhenShown_ = false; // brought to the front while hidden

    QPushButton* startFocus = nullptr;
    FileList* skinList = nullptr;
    FolderChooser* folderList = nullptr;
    DriveChooser* driveList = nullptr;
    QLineEdit* txtDelay = nullptr;
    QLineEdit* txtCountdown = nullptr;
    QLabel* lblLastShown = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QLabel* imgPreview = nullptr;
    QMenu* mnuTray = nullptr;
    // The items with a check mark, by the command they run: each option has one in each menu.
    std::vector<std::pair<form::Command, QAction*>> checkables_;

    Ticker* ticker_ = nullptr;
    TrayIcon* tray_ = nullptr;
};

} // namespace quillarbor
