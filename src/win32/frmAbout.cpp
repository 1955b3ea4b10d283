#include "frmAbout.h"

#include "dpi.h"
#include "resource.h"
#include "text.h"
#include "twips.h"

#include "app/sys_info.h"
#include "app/window_forms.h"
#include "settings/key_value.h"
#include "version.h"

#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillarbor::win32 {

namespace {

// The dialog's controls, by their names in the About box's description.
constexpr std::pair<std::string_view, int> kControlIds[] = {
    {"cmdOK", IDOK},
    {"picIcon", IDC_PICICON},
    {"cmdSysInfo", IDC_SYSINFO},
    {"lblDescription", IDC_DESCRIPTION},
    {"lblDisclaimer", IDC_DISCLAIMER},
    {"lblTitle", IDC_TITLE},
    {"lblVersion", IDC_VERSION},
    {"lblNotice", IDC_NOTICE},
};

int controlId(std::string_view name) {
    for (const auto& [known, id] : kControlIds) {
        if (known == name) {
            return id;
        }
    }
    return 0;
}

struct State {
    HFONT font = nullptr;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    UINT dpi = 96;
    double scale = 1.0 / 15; // pixels to a twip, once laid out
};

// A normal file: there, not a folder, not hidden and not a system file.
bool isNormalFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

// Starts the program itself, with no shell to interpret its path, and does not wait for it.
bool launch(const std::string& path) {
    const std::wstring program = widen(path);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void StartSysInfo(HWND dialog) {
    const SysInfoServices services{GetKeyValue, isNormalFile, launch};
    if (!quillarbor::StartSysInfo(services)) {
        MessageBoxW(dialog, widen(kSysInfoUnavailable).c_str(), widen(kAppTitle).c_str(), MB_OK);
    }
}

void setIcons(HWND dialog, State& state) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto load = [&](int size) {
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLARBOR), IMAGE_ICON,
                                             size, size, LR_DEFAULTCOLOR));
    };
    state.bigIcon = load(MulDiv(32, static_cast<int>(state.dpi), 96));
    state.smallIcon = load(systemMetric(SM_CXSMICON, state.dpi));
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(state.bigIcon));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(state.smallIcon));
    SendDlgItemMessageW(dialog, IDC_PICICON, STM_SETICON, reinterpret_cast<WPARAM>(state.bigIcon),
                        0);
}

void layout(HWND dialog, State& state) {
    const UINT dpi = state.dpi;
    // What each control shows, as loaded.
    std::vector<std::wstring> shown;
    for (const form::Control& control : form::kAboutControls) {
        const HWND item = GetDlgItem(dialog, controlId(control.name));
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(item)), L'\0');
        GetWindowTextW(item, text.data(), static_cast<int>(text.size()) + 1);
        shown.push_back(std::move(text));
    }
    // The type is the desktop's; the whole box grows if a text needs it.
    const FittedLayout fitted = fitLayout(dpi, form::kAboutControls, shown);
    for (const form::Control& c : form::kAboutControls) {
        const HWND control = GetDlgItem(dialog, controlId(c.name));
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fitted.font), FALSE);
        place(control, c.rect, fitted.pixelsPerTwip);
    }
    if (state.font != nullptr) {
        DeleteObject(state.font);
    }
    state.font = fitted.font;
    state.scale = fitted.pixelsPerTwip;

    const form::PixelRect client =
        form::toPixels({0, 0, form::kAboutClientWidth, form::kAboutClientHeight}, state.scale);
    RECT outer{0, 0, client.width, client.height};
    adjustWindowRect(outer, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), false,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)), dpi);
    SetWindowPos(dialog, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void load(HWND dialog, State& state) {
    SetWindowTextW(dialog, widen(form::aboutTitle()).c_str());
    SetDlgItemTextW(dialog, IDC_VERSION, widen(form::aboutVersion()).c_str());
    SetDlgItemTextW(dialog, IDC_TITLE, widen(kAppTitle).c_str());
    for (const form::Control& control : form::kAboutControls) {
        if (!control.text.empty()) {
            SetDlgItemTextW(dialog, controlId(control.name), widen(control.text).c_str());
        }
    }
    state.dpi = dpiForWindow(dialog);
    setIcons(dialog, state);
    layout(dialog, state);
    centreOnScreen(dialog);
}

void paintSeparator(HWND dialog, const State& state) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(dialog, &paint);
    const form::Separator& line = form::kAboutSeparator;
    const auto px = [&state](int twips) {
        return static_cast<int>(std::lround(twips * state.scale));
    };
    const int y = px(line.top);
    const int right = px(line.right);
    const int width = MulDiv(1, static_cast<int>(state.dpi), 96);
    const HPEN grey = CreatePen(PS_SOLID, width, RGB(128, 128, 128));
    const HPEN white = CreatePen(PS_SOLID, 2 * width, RGB(255, 255, 255));
    const HGDIOBJ old = SelectObject(dc, grey);
    MoveToEx(dc, px(line.greyLeft), y, nullptr);
    LineTo(dc, right, y);
    SelectObject(dc, white);
    MoveToEx(dc, px(line.whiteLeft), y + width, nullptr);
    LineTo(dc, right, y + width);
    SelectObject(dc, old);
    DeleteObject(white);
    DeleteObject(grey);
    EndPaint(dialog, &paint);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        load(dialog, *reinterpret_cast<State*>(lParam));
        return TRUE; // the focus goes to OK, the first control
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL: // Esc and the close box press OK, as Enter does
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDC_SYSINFO:
            StartSysInfo(dialog);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CTLCOLORSTATIC: {
        // The title, the description and the warning are black whatever the desktop's colours.
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id != IDC_TITLE && id != IDC_DESCRIPTION && id != IDC_DISCLAIMER) {
            return FALSE;
        }
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_PAINT:
        if (state == nullptr) {
            return FALSE;
        }
        paintSeparator(dialog, *state);
        return TRUE;
    case WM_DPICHANGED: {
        state->dpi = HIWORD(wParam);
        layout(dialog, *state);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(dialog, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(dialog, nullptr, TRUE);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

void showAboutBox(HINSTANCE instance, HWND owner) {
    // Loaded afresh at each opening; nothing is kept between them.
    State state;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, dialogProc,
                    reinterpret_cast<LPARAM>(&state));
    if (state.font != nullptr) {
        DeleteObject(state.font);
    }
    for (HICON icon : {state.bigIcon, state.smallIcon}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

} // namespace quillarbor::win32
