// The floor of a Windows program of Quillarbor's shape: the least such a program costs. Its main
// window, built from the same description as Quillarbor.exe's (every control as the same kind of
// system control, in the same order, placed from the same twips; the same menu bar and tray
// menu), in the desktop's message font, under the same manifest. Empty: nothing is read from
// disk, no settings, no drives listed, no caption fitted. It is shown and painted, a tray icon is
// added and removed again, and the window is closed. Quillarbor.exe /O is timed against it under
// Wine (bench/windows.sh).
//
//   win32_floor           shown, painted, tray icon added; closed, tray icon removed; ends
//   win32_floor --stay    the same, but the window stays until it is closed (for a screenshot)

#include "app/window_forms.h"
#include "control_class.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <string_view>

namespace {

namespace form = quillarbor::form;
using quillarbor::win32::ControlClass;
using quillarbor::win32::controlClass;

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr int kFirstControlId = 1000;
constexpr int kFolderCaptionId = 1999;
constexpr int kFirstMenuItemId = 2000;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

UINT dpi = 96;
HFONT font = nullptr;
NOTIFYICONDATAW tray{};
bool trayShown = false;

std::wstring widen(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

int twips(int value) {
    return MulDiv(value, static_cast<int>(dpi), 1440);
}

HWND createChild(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                 DWORD exStyle, int id, const form::TwipRect& rect) {
    const HWND child = CreateWindowExW(
        exStyle, windowClass, text, WS_CHILD | style, twips(rect.left), twips(rect.top),
        twips(rect.width), twips(rect.height), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

// Creation order is the tab order, each caption just before the control it names.
void createControls(HWND window) {
    const auto make = [window](std::size_t index) {
        const form::Control& control = form::kMainWindowControls[index];
        const ControlClass made = controlClass(control.kind);
        const bool dropDown = control.kind == form::Kind::DriveList;
        form::TwipRect rect = control.rect;
        if (dropDown) {
            rect.height *= 8; // a drop-down list's height is that of its open list
        }
        const HWND child =
            createChild(window, made.windowClass, widen(control.text).c_str(), made.style,
                        made.exStyle, kFirstControlId + static_cast<int>(index), rect);
        if (dropDown) {
            // Closed, its selection field and a frame of three pixels each side fill the twips.
            SendMessageW(child, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                         twips(control.rect.height) - MulDiv(6, static_cast<int>(dpi), 96));
        }
    };
    for (std::size_t i = 0; i < form::kMainWindowControls.size(); ++i) {
        const form::Control& control = form::kMainWindowControls[i];
        if (control.kind == form::Kind::Caption) {
            continue;
        }
        for (std::size_t k = 0; k < form::kMainWindowControls.size(); ++k) {
            const form::Control& caption = form::kMainWindowControls[k];
            if (caption.kind == form::Kind::Caption && caption.names == control.name) {
                make(k);
            }
        }
        if (control.kind == form::Kind::FolderList) {
            // Quillarbor.exe names its folder list with a caption that is never shown.
            createChild(window, WC_STATICW, widen(control.accessibleName).c_str(), SS_NOPREFIX, 0,
                        kFolderCaptionId, {0, 0, 0, 0});
        }
        make(i);
    }
}

HMENU createMenu(const form::Menu& menu, HMENU into, int& id) {
    for (const form::MenuItem& item : menu.items) {
        AppendMenuW(into, MF_STRING, static_cast<UINT_PTR>(id++), widen(item.caption).c_str());
    }
    return into;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        createControls(window);
        return 0;
    case WM_MEASUREITEM: {
        // The empty folder list's rows: one line of the font.
        auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        item.itemHeight = static_cast<UINT>(MulDiv(18, static_cast<int>(dpi), 96));
        return TRUE;
    }
    case WM_DRAWITEM: {
        // The empty preview: the window's face colour.
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_DESTROY:
        // As Quillarbor.exe does: the icon goes with the window, while the window still exists.
        if (trayShown) {
            Shell_NotifyIconW(NIM_DELETE, &tray);
        }
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const bool stay = std::wstring_view(commandLine) == L"--stay";

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const HDC screen = GetDC(nullptr);
    dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font = CreateFontIndirectW(&metrics.lfMessageFont);

    const HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"Floor";
    RegisterClassExW(&windowClass);

    int id = kFirstMenuItemId;
    const HMENU menuBar = CreateMenu();
    for (const form::Menu& menu : form::kMenuBar) {
        AppendMenuW(menuBar, MF_POPUP,
                    reinterpret_cast<UINT_PTR>(createMenu(menu, CreatePopupMenu(), id)),
                    widen(menu.caption).c_str());
    }
    const HMENU trayMenu = createMenu(form::kTrayMenu, CreatePopupMenu(), id);

    RECT outer{0, 0, twips(form::kMainClientWidth), twips(form::kMainClientHeight)};
    AdjustWindowRectEx(&outer, kStyle, TRUE, 0);
    // In the middle of the screen, as Quillarbor.exe places its window.
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const HWND window =
        CreateWindowExW(0, L"Floor", L"Floor", kStyle, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                        (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                        menuBar, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);

    tray.cbSize = NOTIFYICONDATAW_V2_SIZE;
    tray.hWnd = window;
    tray.uID = 1;
    tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray.uCallbackMessage = kTrayMessage;
    tray.hIcon = icon;
    lstrcpynW(tray.szTip, L"Floor", sizeof tray.szTip / sizeof tray.szTip[0]);
    trayShown = Shell_NotifyIconW(NIM_ADD, &tray) != FALSE;
    if (!stay) {
        DestroyWindow(window);
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    DestroyMenu(trayMenu);
    DeleteObject(font);
    return 0;
}
