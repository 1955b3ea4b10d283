#include "MainWindow.h"

#include "control_class.h"
#include "dpi.h"
#include "frmAbout.h"
#include "resource.h"
#include "text.h"
#include "twips.h"

#include "app/MainWindowPresenter.h"
#include "app/messages.h"
#include "app/window_forms.h"
#include "rotation/skin_file.h"
#include "version.h"

#include <algorithm>
#include <cmath>
#include <commctrl.h>
#include <ranges>

namespace quillarbor::win32 {

namespace {

constexpr wchar_t kClassName[] = L"QuillarborMainWindow";
constexpr wchar_t kShowRequest[] = L"QuillarborShowRequest";
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kTrayAppeared = WM_APP + 2;
constexpr UINT kMinimised = WM_APP + 3;
constexpr UINT_PTR kBeatTimer = 1;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// Controls are numbered by their place in the window's description, menu items apart from them,
// so that one WM_COMMAND switch can tell them by id alone.
constexpr int kFirstControlId = 1000;
constexpr int kFolderCaptionId = 1999;
constexpr int kFirstMenuItemId = 2000;

constexpr int controlId(std::string_view name) {
    for (std::size_t i = 0; i < form::kMainWindowControls.size(); ++i) {
        if (form::kMainWindowControls[i].name == name) {
            return kFirstControlId + static_cast<int>(i);
        }
    }
    throw "no such control";
}
constexpr int idSkinList = controlId("skinList");
constexpr int idFolderList = controlId("folderList");
constexpr int idDriveList = controlId("driveList");
constexpr int idTxtDelay = controlId("txtDelay");
constexpr int idCmdRefresh = controlId("cmdRefresh");
constexpr int idImgPreview = controlId("imgPreview");

std::wstring windowText(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

HICON loadIcon(HINSTANCE instance, int metric, UINT dpi) {
    const int size = systemMetric(metric, dpi);
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLARBOR), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR));
}

HWND createControl(HWND parent, const wchar_t* kind, const wchar_t* text, DWORD style, int id,
                   DWORD exStyle = 0) {
    return CreateWindowExW(exStyle, kind, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                           nullptr);
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUILLARBOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    showRequest_ = showRequestMessage();
    createMenus();
    const std::wstring title = widen(kAppTitle);
    CreateWindowExW(0, kClassName, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu_, instance, this);
}

MainWindow::~MainWindow() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
    if (popup_ != nullptr) {
        DestroyMenu(popup_);
    }
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(preview_)}) {
        if (object != nullptr) {
            DeleteObject(object);
        }
    }
    for (HICON icon : {bigIcon_, smallIcon_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

HWND MainWindow::findRunning(HWND after) {
    // Hidden in the tray or not, the window is found by its class.
    return FindWindowExW(nullptr, after, kClassName, nullptr);
}

UINT MainWindow::showRequestMessage() {
    return RegisterWindowMessageW(kShowRequest);
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (tray_ && tray_->handle(message, wParam)) {
        return 0;
    }
    // Each message the window answers itself has a handler of its own; the rest, and those a
    // handler leaves, go to the system.
    switch (message) {
    case WM_CREATE:
        dpi_ = dpiForWindow(hwnd_);
        createControls();
        return 0;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kBeatTimer) {
            report([](MainWindowPresenter& p) { p.onTick(); });
        }
        return 0;
    case kTrayMessage:
        onTrayMessage(LOWORD(lParam));
        return 0;
    case kTrayAppeared:
        report([](MainWindowPresenter& p) { p.onTrayAppeared(); });
        return 0;
    case kMinimised:
        report([](MainWindowPresenter& p) { p.onWindowMinimised(); });
        return 0;
    case WM_SIZE:
        // Handled once the window system has finished minimising.
        if (wParam == SIZE_MINIMIZED) {
            PostMessageW(hwnd_, kMinimised, 0, 0);
        }
        return 0;
    case WM_ACTIVATE:
        if (onActivate(LOWORD(wParam) != WA_INACTIVE)) {
            return 0;
        }
        break;
    case WM_MEASUREITEM:
        if (onMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) {
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
            return TRUE;
        }
        break;
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The process may be ended as soon as this returns.
        if (wParam != FALSE) {
            report([](MainWindowPresenter& p) { p.unload(); });
        }
        return 0;
    case WM_CLOSE:
        onCloseBox();
        return 0;
    case WM_DESTROY:
        onDestroy();
        return 0;
    default:
        if (message == showRequest_ && showRequest_ != 0) {
            return onShowRequest();
        }
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

template <typename Report> void MainWindow::report(Report&& toPresenter) {
    if (presenter_ != nullptr) {
        toPresenter(*presenter_);
    }
}

bool MainWindow::onActivate(bool active) {
    // A window that is not a dialog keeps no focus of its own across activations.
    if (!active) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) {
            focus_ = focus;
        }
        return false;
    }
    if (focus_ != nullptr && IsWindow(focus_)) {
        SetFocus(focus_);
        return true;
    }
    return false;
}

bool MainWindow::onMeasureItem(MEASUREITEMSTRUCT& item) {
    if (item.CtlID != idFolderList) {
        return false;
    }
    folderList.measure(item, font_, dpi_);
    return true;
}

bool MainWindow::onDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == idFolderList) {
        folderList.draw(item, dpi_);
        return true;
    }
    if (item.CtlID == idImgPreview) {
        drawPreview(item);
        return true;
    }
    return false;
}

void MainWindow::onCloseBox() {
    if (presenter_ != nullptr) {
        presenter_->onClose();
    } else {
        DestroyWindow(hwnd_);
    }
}

void MainWindow::onDestroy() {
    if (tray_) {
        tray_->remove();
    }
    hwnd_ = nullptr;
    PostQuitMessage(0);
}

LRESULT MainWindow::onShowRequest() {
    // A one-shot's window, or one that is ending, cannot stand in for the program.
    if (presenter_ == nullptr || presenter_->hasEnded()) {
        return 0;
    }
    presenter_->onSecondStart();
    return kShownAnswer;
}

void MainWindow::createControls() {
    bigIcon_ = loadIcon(instance_, SM_CXICON, dpi_);
    smallIcon_ = loadIcon(instance_, SM_CXSMICON, dpi_);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    tray_ = std::make_unique<TrayIcon>(hwnd_, kTrayMessage, kTrayAppeared, smallIcon_);

    // The font first: the folder list measures its rows in it as it is created.
    applyFont();

    // Creation order is the tab order, and each caption comes just before the control it names,
    // which is how screen readers find a control's name. The start focus lies right of the
    // client area: never seen, it holds the focus at start so that Enter or Space do nothing.
    const auto make = [this](const form::Control& control, int id) {
        const ControlClass made = controlClass(control.kind);
        return createControl(hwnd_, made.windowClass, widen(control.text).c_str(), made.style, id,
                             made.exStyle);
    };
    for (std::size_t i = 0; i < form::kMainWindowControls.size(); ++i) {
        const form::Control& control = form::kMainWindowControls[i];
        if (control.kind == form::Kind::Caption) {
            continue; // made with the control it names
        }
        for (std::size_t k = 0; k < form::kMainWindowControls.size(); ++k) {
            const form::Control& caption = form::kMainWindowControls[k];
            if (caption.kind == form::Kind::Caption && caption.names == control.name) {
                make(caption, kFirstControlId + static_cast<int>(k));
            }
        }
        if (control.kind == form::Kind::FolderList) {
            // The folder list has no caption of its own on screen; this one only names it.
            createControl(hwnd_, WC_STATICW, widen(control.accessibleName).c_str(), SS_NOPREFIX,
                          kFolderCaptionId);
        }
        const HWND made = make(control, kFirstControlId + static_cast<int>(i));
        if (control.kind == form::Kind::FolderList) {
            folderList.attach(made);
        }
    }
    startFocus = GetDlgItem(hwnd_, controlId("startFocus"));
    skinList = GetDlgItem(hwnd_, idSkinList);
    driveList = GetDlgItem(hwnd_, idDriveList);
    txtDelay = GetDlgItem(hwnd_, idTxtDelay);
    txtCountdown = GetDlgItem(hwnd_, controlId("txtCountdown"));
    lblLastShown = GetDlgItem(hwnd_, controlId("lblLastShown"));
    cmdRefresh = GetDlgItem(hwnd_, idCmdRefresh);
    imgPreview = GetDlgItem(hwnd_, idImgPreview);

    setChildrenFont();
    layout();
    showDrives();
    focus_ = startFocus;
}

void MainWindow::layout() {
    for (std::size_t i = 0; i < form::kMainWindowControls.size(); ++i) {
        form::TwipRect r = form::kMainWindowControls[i].rect;
        const HWND control = GetDlgItem(hwnd_, kFirstControlId + static_cast<int>(i));
        // A drop-down list's height is that of its open list; its closed height is set below.
        r.height *= control == driveList ? 8 : 1;
        place(control, r, scale_);
    }
    // The closed drop-down is its selection field plus a frame of three pixels each side.
    const int field =
        static_cast<int>(std::lround(315 * scale_)) - MulDiv(6, static_cast<int>(dpi_), 96);
    SendMessageW(driveList, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);

    const form::PixelRect client =
        form::toPixels({0, 0, form::kMainClientWidth, form::kMainClientHeight}, scale_);
    RECT outer{0, 0, client.width, client.height};
    adjustWindowRect(outer, kStyle, true, 0, dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::applyFont() {
    // The type is the desktop's; the layout grows if a caption, the button's text or a field's
    // line needs it.
    std::vector<std::wstring> texts;
    for (const form::Control& control : form::kMainWindowControls) {
        texts.push_back(widen(control.text));
    }
    const FittedLayout fitted = fitLayout(dpi_, form::kMainWindowControls, texts);
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    font_ = fitted.font;
    scale_ = fitted.pixelsPerTwip;
    setChildrenFont();
    if (folderList.handle() != nullptr) {
        MEASUREITEMSTRUCT item{};
        folderList.measure(item, font_, dpi_);
        SendMessageW(folderList.handle(), LB_SETITEMHEIGHT, 0,
                     static_cast<LPARAM>(item.itemHeight));
    }
}

void MainWindow::setChildrenFont() {
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
}

void MainWindow::onDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    applyFont();
    layout();
    // The place the system suggests; the size is the one the layout needs at the new DPI.
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

bool MainWindow::preTranslate(MSG& message) {
    if (hwnd_ == nullptr) {
        return false;
    }
    if (!used_ && presenter_ != nullptr &&
        (message.hwnd == hwnd_ || IsChild(hwnd_, message.hwnd) != FALSE)) {
        switch (message.message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            // Until then, a start in the tray may still send the window there.
            used_ = true;
            presenter_->onWindowUsed();
            break;
        default:
            break;
        }
    }
    return IsDialogMessageW(hwnd_, &message) != FALSE;
}

void MainWindow::onCommand(int id, int code) {
    if (presenter_ == nullptr) {
        return;
    }
    if (id >= kFirstMenuItemId && id < kFirstMenuItemId + static_cast<int>(menuItems_.size())) {
        presenter_->onCommand(menuItems_[static_cast<std::size_t>(id - kFirstMenuItemId)]->command);
        return;
    }
    switch (id) {
    case IDOK: // Enter, from the dialog keys of the message loop
        if (GetFocus() == skinList) {
            presenter_->onSkinChosen(); // the keyboard's way to "change now"
        } else if (GetFocus() == folderList.handle()) {
            openHighlightedFolder();
        }
        break;
    case idSkinList:
        if (code == LBN_DBLCLK) {
            presenter_->onSkinChosen();
        }
        break;
    case idFolderList:
        if (code == LBN_DBLCLK) {
            openHighlightedFolder();
        }
        break;
    case idDriveList:
        if (code == CBN_DROPDOWN) {
            folder_.relistDrives(); // media come and go while the program runs
            showDrives();
        } else if (code == CBN_SELCHANGE) {
            onDriveChosen();
        }
        break;
    case idTxtDelay:
        if (code == EN_CHANGE && !quiet_) {
            presenter_->onDelayEdited(narrow(windowText(txtDelay)));
        }
        break;
    case idCmdRefresh:
        if (code == BN_CLICKED) {
            refreshSkinList();
        }
        break;
    default:
        break;
    }
}

void MainWindow::onTrayMessage(UINT mouseMessage) {
    if (presenter_ == nullptr) {
        return;
    }
    using Event = MainWindowPresenter::TrayEvent;
    switch (mouseMessage) {
    case WM_LBUTTONUP:
        presenter_->onTrayEvent(Event::LeftButtonUp);
        break;
    case WM_LBUTTONDBLCLK:
        presenter_->onTrayEvent(Event::LeftDoubleClick);
        break;
    case WM_RBUTTONUP:
        presenter_->onTrayEvent(Event::RightButtonUp);
        break;
    default:
        presenter_->onTrayEvent(Event::Other);
        break;
    }
}

void MainWindow::attach(MainWindowPresenter& presenter) {
    presenter_ = &presenter;
}

std::string MainWindow::delayText() const {
    return narrow(windowText(txtDelay));
}

void MainWindow::setDelayText(std::string_view text) {
    quiet_ = true;
    SetWindowTextW(txtDelay, widen(text).c_str());
    quiet_ = false;
}

std::string MainWindow::countdownText() const {
    return narrow(windowText(txtCountdown));
}

void MainWindow::setCountdownText(std::string_view text) {
    SetWindowTextW(txtCountdown, widen(text).c_str());
}

void MainWindow::setLastShownText(std::string_view text) {
    SetWindowTextW(lblLastShown, widen(text).c_str());
}

void MainWindow::showDrives() {
    SendMessageW(driveList, CB_RESETCONTENT, 0, 0);
    for (const std::string& drive : folder_.drives()) {
        SendMessageW(driveList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(drive).c_str()));
    }
    // Setting the selection from code raises no change.
    SendMessageW(driveList, CB_SETCURSEL, folder_.drive().value_or(static_cast<WPARAM>(-1)), 0);
}

bool MainWindow::showSkinFolder(const std::string& folder) {
    return showMoved(folder_.open(folder, selection()));
}

bool MainWindow::showMoved(const std::optional<SkinFolder::Shown>& shown) {
    // A drive the user chose goes back to the folder's when it cannot be entered.
    showDrives();
    if (!shown) {
        return false;
    }
    folderList.show(folder_.folders(), folder_.chosenFolder());
    showSkins(*shown);
    return true;
}

void MainWindow::onDriveChosen() {
    const auto index = static_cast<std::size_t>(SendMessageW(driveList, CB_GETCURSEL, 0, 0));
    if (index >= folder_.drives().size()) {
        return; // no drive chosen (CB_ERR)
    }
    const std::string drive = folder_.drives()[index];
    if (!showMoved(folder_.openDrive(index, selection()))) {
        reportUnreadable(drive);
    }
}

void MainWindow::openHighlightedFolder() {
    const std::string target = folderList.highlighted();
    if (!target.empty() && !showMoved(folder_.open(target, selection()))) {
        reportUnreadable(target);
    }
}

void MainWindow::reportUnreadable(const std::string& folder) {
    MessageBoxW(hwnd_, widen(messages::folderCannotBeRead(folder)).c_str(),
                widen(kAppTitle).c_str(), MB_OK);
}

void MainWindow::showSkins(const SkinFolder::Shown& shown) {
    const SkinList& skins = folder_.skins();
    if (shown.skinsChanged) {
        std::size_t characters = 0;
        for (std::size_t i = 0; i < skins.size(); ++i) {
            characters += skins[i].size() + 1;
        }
        SendMessageW(skinList, WM_SETREDRAW, FALSE, 0);
        SendMessageW(skinList, LB_RESETCONTENT, 0, 0);
        SendMessageW(skinList, LB_INITSTORAGE, skins.size(),
                     static_cast<LPARAM>(characters * sizeof(wchar_t)));
        for (std::size_t i = 0; i < skins.size(); ++i) {
            SendMessageW(skinList, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(widen(skins[i]).c_str()));
        }
        SendMessageW(skinList, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(skinList, nullptr, TRUE);
    }
    if (shown.selected != selection()) {
        SendMessageW(skinList, LB_SETCURSEL, shown.selected.value_or(static_cast<WPARAM>(-1)), 0);
    }
}

std::optional<std::size_t> MainWindow::selection() const {
    const LRESULT index = SendMessageW(skinList, LB_GETCURSEL, 0, 0);
    return index < 0 ? std::nullopt : std::optional<std::size_t>(index);
}

std::string MainWindow::skinFolder() const {
    return folder_.path();
}

std::size_t MainWindow::refreshSkinList() {
    showSkins(folder_.reread(selection()));
    return folder_.skins().size();
}

std::string MainWindow::skinAt(std::size_t index) const {
    return folder_.skins()[index];
}

int MainWindow::selectedSkin() const {
    return static_cast<int>(SendMessageW(skinList, LB_GETCURSEL, 0, 0));
}

bool MainWindow::showPreview(const std::string& picName) {
    const std::wstring path = widen(picName);
    if (!readSkinFile(picName)) {
        return false;
    }
    const auto bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                        LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (bitmap == nullptr) {
        return false;
    }
    if (preview_ != nullptr) {
        DeleteObject(preview_);
    }
    preview_ = bitmap;
    InvalidateRect(imgPreview, nullptr, FALSE);
    return true;
}

void MainWindow::clearPreview() {
    if (preview_ != nullptr) {
        DeleteObject(preview_);
        preview_ = nullptr;
    }
    InvalidateRect(imgPreview, nullptr, FALSE);
}

void MainWindow::drawPreview(const DRAWITEMSTRUCT& item) const {
    const RECT& box = item.rcItem;
    if (preview_ == nullptr) {
        FillRect(item.hDC, &box, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    BITMAP info{};
    GetObjectW(preview_, sizeof info, &info);
    const HDC source = CreateCompatibleDC(item.hDC);
    const HGDIOBJ old = SelectObject(source, preview_);
    // Stretched to fill the box, smoothed rather than dropping rows.
    SetStretchBltMode(item.hDC, HALFTONE);
    SetBrushOrgEx(item.hDC, 0, 0, nullptr);
    StretchBlt(item.hDC, box.left, box.top, box.right - box.left, box.bottom - box.top, source, 0,
               0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void MainWindow::createMenus() {
    const auto fill = [this](HMENU into, const form::Menu& menu) {
        for (const form::MenuItem& item : menu.items) {
            const auto id = static_cast<UINT_PTR>(kFirstMenuItemId) + menuItems_.size();
            menuItems_.push_back(&item);
            AppendMenuW(into, MF_STRING, id, widen(item.caption).c_str());
        }
    };
    menu_ = CreateMenu();
    for (const form::Menu& menu : form::kMenuBar) {
        const HMENU sub = CreatePopupMenu();
        fill(sub, menu);
        AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), widen(menu.caption).c_str());
    }
    // Opened only from the tray icon.
    popup_ = CreatePopupMenu();
    fill(popup_, form::kTrayMenu);
}

void MainWindow::setChecked(form::Command command, bool checked) {
    const UINT mark = MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED);
    for (std::size_t i = 0; i < menuItems_.size(); ++i) {
        if (menuItems_[i]->checkable && menuItems_[i]->command == command) {
            const UINT id = kFirstMenuItemId + static_cast<UINT>(i);
            // Each item is in one of the two menus; the other does not know its id.
            CheckMenuItem(menu_, id, mark);
            CheckMenuItem(popup_, id, mark);
        }
    }
}

void MainWindow::setStartInTrayChecked(bool checked) {
    setChecked(form::Command::StartInTray, checked);
}

void MainWindow::setRunAtStartupChecked(bool checked) {
    setChecked(form::Command::RunAtStartup, checked);
}

void MainWindow::centreOnScreen() {
    win32::centreOnScreen(hwnd_);
}

MainWindowView::WindowState MainWindow::windowState() const {
    const bool minimised =
        IsWindowVisible(hwnd_) ? IsIconic(hwnd_) != FALSE : minimisedBeforeShow_ || IsIconic(hwnd_);
    return minimised ? WindowState::Minimised : WindowState::Normal;
}

void MainWindow::setWindowState(WindowState state) {
    if (state == WindowState::Minimised) {
        if (IsWindowVisible(hwnd_)) {
            ShowWindow(hwnd_, SW_MINIMIZE);
        } else {
            minimisedBeforeShow_ = true; // shown minimised
        }
        return;
    }
    minimisedBeforeShow_ = false;
    if (IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    }
}

bool MainWindow::isWindowVisible() const {
    return IsWindowVisible(hwnd_) != FALSE;
}

void MainWindow::showWindow() {
    if (IsWindowVisible(hwnd_)) {
        return;
    }
    if (minimisedBeforeShow_ || IsIconic(hwnd_)) {
        minimisedBeforeShow_ = false;
        ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
        return;
    }
    ShowWindow(hwnd_, SW_SHOWNORMAL);
}

void MainWindow::hideWindow() {
    ShowWindow(hwnd_, SW_HIDE);
}

void MainWindow::repaint() {
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void MainWindow::bringToFront() {
    SetForegroundWindow(hwnd_);
}

void MainWindow::addTrayIcon(std::string_view tip) {
    tray_->add(widen(tip));
}

void MainWindow::setTrayTip(std::string_view tip) {
    tray_->setTip(widen(tip));
}

void MainWindow::removeTrayIcon() {
    tray_->remove();
}

bool MainWindow::isTrayIconShown() const {
    return tray_->shown();
}

void MainWindow::openTrayMenu() {
    // The menu closes when the user clicks elsewhere only if its window is in front, and the
    // message posted after it lets the next click through: both as the shell asks.
    SetForegroundWindow(hwnd_);
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenuEx(popup_, TPM_RIGHTBUTTON, at.x, at.y, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

MainWindowView::Answer MainWindow::messageBox(std::string_view text, std::string_view title,
                                              Buttons buttons) {
    const int answer = MessageBoxW(hwnd_, widen(text).c_str(), widen(title).c_str(),
                                   buttons == Buttons::OkCancel ? MB_OKCANCEL : MB_OK);
    return answer == IDOK ? Answer::Ok : Answer::Cancel;
}

void MainWindow::showAbout() {
    showAboutBox(instance_, hwnd_);
}

void MainWindow::warn(std::string_view text) {
    const std::string line = std::string(kAppTitle) + ": " + std::string(text) + "\n";
    writeStd(true, line);
    OutputDebugStringW(widen(line).c_str());
}

void MainWindow::setBeatEnabled(bool enabled) {
    if (enabled) {
        SetTimer(hwnd_, kBeatTimer, 1000, nullptr); // a running timer starts a fresh second
    } else {
        KillTimer(hwnd_, kBeatTimer);
    }
}

void MainWindow::end() {
    if (hwnd_ != nullptr) {
        KillTimer(hwnd_, kBeatTimer);
        DestroyWindow(hwnd_);
    }
}

} // namespace quillarbor::win32
