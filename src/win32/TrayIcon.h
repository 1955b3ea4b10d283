#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string_view>

namespace quillarbor::win32 {

// The notification-area icon of one window, for its whole life: added, offered again while no
// notification area takes it, added again when Explorer restarts, and removed. The shell reports
// the mouse on it as `message` to that window, with the mouse message in the low word of lParam;
// once a notification area shows it, `appeared` is posted to the window.
class TrayIcon {
public:
    TrayIcon(HWND window, UINT message, UINT appeared, HICON icon);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void add(std::wstring_view tip);
    void setTip(std::wstring_view tip);
    void remove();
    bool shown() const { return shown_; }

    // The window's messages that concern the icon (its retry timer, Explorer's restart); true
    // when the message was one of them.
    bool handle(UINT message, WPARAM wParam);

private:
    void fillTip(std::wstring_view tip);
    // Offers the icon; true when a notification area shows it now.
    bool offer();

    NOTIFYICONDATAW data_{};
    UINT appeared_;
    UINT taskbarCreated_;
    bool wanted_ = false; // added and not yet removed, whether a notification area has it or not
    bool shown_ = false;
};

} // namespace quillarbor::win32
