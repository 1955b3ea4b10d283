#include "TrayIcon.h"

#include "app/tray_policy.h"

#include <algorithm>
#include <shellapi.h>

namespace quillarbor::win32 {

namespace {
constexpr UINT_PTR kRetryTimer = 0x7172; // the window's other timers count from 1
}

TrayIcon::TrayIcon(HWND window, UINT message, UINT appeared, HICON icon)
    : appeared_(appeared), taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
    // The size Windows 2000 and XP know, which every later Windows accepts too; its tip holds
    // 127 characters, more than the presenter's 63.
    data_.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data_.hWnd = window;
    data_.uID = 1;
    data_.uCallbackMessage = message;
    data_.hIcon = icon;
}

void TrayIcon::fillTip(std::wstring_view tip) {
    // The caller fitted the text already; this only guards the field and its NUL.
    constexpr std::size_t room = sizeof data_.szTip / sizeof data_.szTip[0] - 1;
    const std::size_t n = std::min(tip.size(), room);
    std::copy_n(tip.data(), n, data_.szTip);
    data_.szTip[n] = L'\0';
}

TrayIcon::~TrayIcon() {
    remove();
}

void TrayIcon::add(std::wstring_view tip) {
    fillTip(tip);
    wanted_ = true;
    if (!offer()) {
        SetTimer(data_.hWnd, kRetryTimer, static_cast<UINT>(quillarbor::kTrayRetryInterval.count()),
                 nullptr);
    }
}

bool TrayIcon::offer() {
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    shown_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    if (!shown_) {
        // The taskbar also announces itself when only its DPI changed: the icon is still there.
        shown_ = Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
    }
    if (shown_) {
        KillTimer(data_.hWnd, kRetryTimer);
        PostMessageW(data_.hWnd, appeared_, 0, 0);
    }
    return shown_;
}

bool TrayIcon::handle(UINT message, WPARAM wParam) {
    if (message == WM_TIMER && wParam == kRetryTimer) {
        offer();
        return true;
    }
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        // Explorer (re)started: it knows no icon of ours, whether it had one before or not.
        if (wanted_) {
            offer();
        }
        return true;
    }
    return false;
}

void TrayIcon::setTip(std::wstring_view tip) {
    fillTip(tip);
    if (!shown_) {
        return; // the tip is kept for when the icon is added
    }
    data_.uFlags = NIF_TIP;
    Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void TrayIcon::remove() {
    wanted_ = false;
    KillTimer(data_.hWnd, kRetryTimer);
    if (shown_) {
        Shell_NotifyIconW(NIM_DELETE, &data_);
    }
    shown_ = false;
}

} // namespace quillarbor::win32
