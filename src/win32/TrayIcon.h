#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string_view>

namespace quillarbor::win32 {

// The notification-area icon of one window. The shell reports the mouse on it as `message`
// to that window, with the mouse message in the low word of lParam.
class TrayIcon {
public:
    TrayIcon(HWND window, UINT message, HICON icon);
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // True when a notification area took the icon.
    bool add(std::wstring_view tip);
    // Adds the icon again with its last tip, after the taskbar was re-created; true when a
    // notification area shows it now.
    bool readd();
    void setTip(std::wstring_view tip);
    void remove();
    bool shown() const { return shown_; }

private:
    void fillTip(std::wstring_view tip);

    NOTIFYICONDATAW data_{};
    bool shown_ = false;
};

} // namespace quillarbor::win32
