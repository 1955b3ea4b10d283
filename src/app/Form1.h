#pragma once

#include <QMainWindow>

#include <cstdint>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QString;

namespace quillarbor {

class DriveChooser;
class FileList;
class FolderChooser;
class RandomSource;
class Ticker;
class TrayIcon;
struct TrayIconData;

// The main window: the skin folder choosers, the delay and countdown boxes, the
// preview, the menus and the tray pop-up, and the program's start-up and shutdown.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    // `random` and `ticker` must outlive the window. Without a ticker the
    // window beats once a second of real time.
    explicit Form1(RandomSource& random, Ticker* ticker = nullptr, QWidget* parent = nullptr);

    // Runs the start-up sequence. Returns true when the program has already
    // ended (one-shot mode), so that no event loop is needed.
    bool load(const std::vector<std::string>& args);

    // Applies one skin of the folder chosen at random; nothing when there is none.
    void pickRandomSkin();
    // Names the last shown skin and hands `picName` (its full path) to the browser.
    void changeSkin(const std::string& picName);
    // Saves the settings and ends the program; runs once, later calls do nothing.
    void unload();

    const std::string& lastShown() const { return lastShown_; }
    const std::string& commandLine() const { return commandLine_; }
    const TrayIconData& trayIconData() const;

signals:
    // The program is over: the settings are saved and nothing more should run.
    void ended();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenus();
    void centreOnScreen();
    void restoreSkinFolder();

    void onDriveChanged(const std::string& drive);
    void onFolderChanged(const std::string& folder);
    void reportUnreadable(const std::string& folder);

    void applySelectedSkin();
    bool showPreview(const std::string& picName);

    void toggleStartInTray(bool wasChecked);
    void toggleRunAtStartup(bool wasChecked);
    void resetBeforeUninstall();
    void showAbout();

    void resetCountdown();
    std::int32_t drawCountdown(float r);
    void onTimer1Tick();
    void onDelayChanged(const QString& text);
    void showCountdownTip();

    void addTrayIcon();
    void setTrayTip(const QString& text);
    void removeTrayIcon();
    void showFromTray();
    void forgetMinimisedHint();
    void openTrayMenu();
    void hideIfMinimisedToTray();

    RandomSource& random_;
    std::string commandLine_;
    std::string lastShown_;
    bool unloaded_ = false;
    bool quietErrors_ = false;
    // The delay countdowns are drawn from while the box holds one that cannot
    // be; at first the box's own "1".
    double lastGoodDelay_ = 1.0;

    QPushButton* Command1 = nullptr;
    FileList* File1 = nullptr;
    FolderChooser* Dir1 = nullptr;
    DriveChooser* Drive1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtDelay = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* txtCountdown = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QLabel* imgPreview = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuSystray = nullptr;
    QAction* mnuStartup = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnu_1 = nullptr;
    QAction* mnuSystray2 = nullptr;
    QAction* mnuStartup2 = nullptr;
    QAction* mnuSettings = nullptr;
    QAction* mnuTerminate = nullptr;
    QMenu* mnuHelp0 = nullptr;
    QAction* mnuReset = nullptr;
    QAction* mnuAbout = nullptr;

    Ticker* Timer1 = nullptr;
    TrayIcon* tray_ = nullptr;
};

} // namespace quillarbor
