#pragma once

#include "version.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

// The program's two windows as data: every control's kind, name, place in twips, text, tab order
// and what a screen reader says of it, and the menu tree with the command each item runs. Each
// front-end builds its widgets from these tables, so a caption, a rectangle or a menu item is
// changed here once.
namespace quillarbor::form {

// A rectangle in twips (1/1440 inch, 15 to a pixel at 96 DPI) from the client area's top left.
struct TwipRect {
    int left, top, width, height;
};

enum class Kind {
    Button,
    FocusHolder, // a button out of sight that only holds the focus when the window opens
    SkinList,
    FolderList,
    DriveList,
    Caption, // names the control given in `names`
    Text,    // a label that shows what the program writes into it
    TextBox, // typed into
    ReadOnlyBox,
    Picture,
};

struct Control {
    Kind kind;
    std::string_view name;
    TwipRect rect;
    std::string_view text; // initial caption or text
    // What a screen reader says; an empty name lets a label be read by its text.
    std::string_view accessibleName;
    std::string_view accessibleDescription;
    std::string_view names = {}; // a caption's control, by name
};

// The main window's client area and controls, in tab order; the captions and the preview never
// take the focus.
inline constexpr int kMainClientWidth = 7515;
inline constexpr int kMainClientHeight = 5850;
inline constexpr std::array kMainWindowControls = {
    Control{Kind::FocusHolder,
            "startFocus",
            {7680, 600, 1335, 615},
            "Command1",
            "Start focus",
            "Holds the focus when the window opens and does nothing; Tab moves to the skin list."},
    Control{Kind::SkinList,
            "skinList",
            {4080, 360, 3255, 2235},
            "",
            "Skin list",
            "The bitmaps in the skin folder. Enter or a double-click applies the chosen one."},
    Control{Kind::FolderList,
            "folderList",
            {240, 720, 3735, 1890},
            "",
            "Skin folder",
            "The folder whose bitmaps are listed. Enter opens a folder."},
    Control{Kind::DriveList,
            "driveList",
            {240, 360, 3735, 315},
            "",
            "Drive",
            "The drive the skin folder is on."},
    Control{Kind::Caption,
            "lblFolders",
            {240, 120, 1575, 255},
            "*.BMP path",
            "",
            "Caption of the drive and folder lists.",
            "driveList"},
    Control{Kind::Caption,
            "lblSkins",
            {4080, 120, 2535, 255},
            "Skins list (dbl-click to change now)",
            "",
            "Caption of the skin list.",
            "skinList"},
    Control{Kind::TextBox,
            "txtDelay",
            {1800, 2760, 975, 375},
            "1",
            "Delay in minutes",
            "Minutes between skin changes."},
    Control{Kind::Caption,
            "lblDelay",
            {240, 2760, 1575, 255},
            "Delay in minutes",
            "",
            "Caption of the delay box.",
            "txtDelay"},
    Control{Kind::Caption,
            "lblCountdown",
            {3000, 2760, 1575, 255},
            "Countdown (secs)",
            "",
            "Caption of the countdown box.",
            "txtCountdown"},
    Control{Kind::ReadOnlyBox,
            "txtCountdown",
            {4560, 2760, 975, 375},
            "",
            "Seconds to the next change",
            "Counts down to the next skin change."},
    Control{Kind::Text,
            "lblLastShown",
            {360, 5160, 6855, 375},
            "",
            "Last shown skin",
            "Names the skin shown last; empty until one is shown."},
    Control{Kind::Button,
            "cmdRefresh",
            {5880, 2760, 1335, 375},
            "Refresh",
            "Refresh the skin list",
            "Reads the skin folder again."},
    Control{Kind::Picture,
            "imgPreview",
            {240, 3240, 7050, 1725},
            "",
            "Preview of the chosen skin",
            "The skin shown last."},
};

// What a menu item asks of the presenter.
enum class Command { StartInTray, RunAtStartup, Exit, Settings, Reset, About };

struct MenuItem {
    std::string_view name;
    std::string_view caption;
    Command command;
    bool checkable = false;
};

struct Menu {
    std::string_view name;
    std::string_view caption;
    std::span<const MenuItem> items;
};

// Captions carry no access keys and the items no shortcut keys: F10 or Alt reaches the menus.
inline constexpr MenuItem kFileMenuItems[] = {
    {"mnuSystray", "Start in system tray", Command::StartInTray, true},
    {"mnuStartup", "Run at startup", Command::RunAtStartup, true},
    {"mnuExit", "Exit", Command::Exit},
};
inline constexpr MenuItem kHelpMenuItems[] = {
    {"mnuReset", "Reset before uninstall", Command::Reset},
    {"mnuAbout", "About", Command::About},
};
inline constexpr MenuItem kTrayMenuItems[] = {
    {"mnuSystray2", "Start in system tray", Command::StartInTray, true},
    {"mnuStartup2", "Run at startup", Command::RunAtStartup, true},
    {"mnuSettings", "Settings", Command::Settings},
    {"mnuTerminate", "Terminate", Command::Exit},
};
inline constexpr Menu kMenuBar[] = {
    {"mnuFile", "File", kFileMenuItems},
    {"mnuHelp", "Help", kHelpMenuItems},
};
// Opened only from the tray icon, never part of the menu bar.
inline constexpr Menu kTrayMenu = {"mnuTray", "Popup", kTrayMenuItems};

// The About box: its client area and controls, in tab order (only the buttons take the focus).
inline constexpr int kAboutClientWidth = 5730;
inline constexpr int kAboutClientHeight = 4200;
inline constexpr std::string_view kAboutDescription =
    "This app will switch the default wallpaper for Microsoft Internet Explorer 5+ at a "
    "specified interval. It will NOT change a window already open however. This is freeware. "
    "E-mail comments to quillarbor@example.org.";
inline constexpr std::string_view kAboutNotice = "Copyright \u00a9 2026 the Quillarbor developers.";
inline constexpr std::array kAboutControls = {
    Control{Kind::Button,
            "cmdOK",
            {4365, 3105, 1260, 345},
            "OK",
            "OK",
            "Closes this box. Enter and Esc do the same."},
    Control{
        Kind::Picture, "picIcon", {240, 240, 540, 540}, "", "Program icon", "The program's icon."},
    Control{Kind::Button,
            "cmdSysInfo",
            {4380, 3555, 1245, 345},
            "&System Info...",
            "System Info",
            "Starts the system information tool. Alt+S does the same."},
    Control{Kind::Text,
            "lblDescription",
            {1080, 960, 3885, 810},
            kAboutDescription,
            "",
            "What the program does."},
    Control{Kind::Text,
            "lblDisclaimer",
            {360, 2745, 3870, 1305},
            "",
            "Warning",
            "A legal warning; empty in this version."},
    Control{Kind::Text, "lblTitle", {1080, 240, 3885, 240}, "", "", "The program's name."},
    Control{Kind::Text, "lblVersion", {1080, 600, 3885, 225}, "", "", "The program's version."},
    Control{
        Kind::Text, "lblNotice", {1080, 2040, 3855, 495}, kAboutNotice, "", "Copyright notice."},
};

// The separator between the notice and the warning: a grey line over a white one, the white one
// starting a pixel later, both running past the right edge.
struct Separator {
    int greyLeft, whiteLeft, top, right;
};
inline constexpr Separator kAboutSeparator = {210, 225, 2640, 5774};

// What the About box fills in as it opens: its title bar and the version line.
inline std::string aboutTitle() {
    return std::string("About ") + kAppTitle;
}
inline std::string aboutVersion() {
    return "Version " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision);
}

} // namespace quillarbor::form
