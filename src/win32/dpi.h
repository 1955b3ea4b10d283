#pragma once

#include <windows.h>

// The DPI of a window and what depends on it. Windows 10 (1607) and later give these per monitor;
// the program also runs on Windows XP, so their calls are looked up when the program starts, and
// where one is missing its answer comes from the system DPI, which is then the only one.
namespace quillarbor::win32 {

#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

// Vista's NONCLIENTMETRICSW, one int longer than XP's: the size the per-DPI call expects.
struct NonClientMetrics {
    NONCLIENTMETRICSW xp;
    int paddedBorderWidth;
};

struct DpiCalls {
    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
    int(WINAPI* getSystemMetricsForDpi)(int, UINT) = nullptr;
    BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
};

// Each call found by `lookup` (GetProcAddress on user32 for the program); null where not.
DpiCalls lookUpDpiCalls(FARPROC (*lookup)(const char* name));
// The program's: looked up in user32 once.
const DpiCalls& dpiCalls();

// The system DPI, from the screen's device context: Windows XP's only one.
UINT systemDpi();

UINT dpiForWindow(HWND window, const DpiCalls& calls = dpiCalls());
int systemMetric(int index, UINT dpi, const DpiCalls& calls = dpiCalls());
// The outer rectangle of a window whose client area is `rect`, at `dpi`.
void adjustWindowRect(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi,
                      const DpiCalls& calls = dpiCalls());
// The desktop's message font at `dpi`.
LOGFONTW messageFont(UINT dpi, const DpiCalls& calls = dpiCalls());

} // namespace quillarbor::win32
