#include "dpi.h"

namespace quillarbor::win32 {

namespace {

template <typename Function>
void find(FARPROC (*lookup)(const char*), const char* name, Function& into) {
    // Through void(*)(), the one function type any other may be cast to without a warning.
    into = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(lookup(name)));
}

FARPROC fromUser32(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 == nullptr ? nullptr : GetProcAddress(user32, name);
}

int scale(int value, UINT dpi) {
    return MulDiv(value, static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

} // namespace

DpiCalls lookUpDpiCalls(FARPROC (*lookup)(const char* name)) {
    DpiCalls calls;
    find(lookup, "GetDpiForWindow", calls.getDpiForWindow);
    find(lookup, "AdjustWindowRectExForDpi", calls.adjustWindowRectExForDpi);
    find(lookup, "GetSystemMetricsForDpi", calls.getSystemMetricsForDpi);
    find(lookup, "SystemParametersInfoForDpi", calls.systemParametersInfoForDpi);
    return calls;
}

const DpiCalls& dpiCalls() {
    static const DpiCalls calls = lookUpDpiCalls(fromUser32);
    return calls;
}

UINT systemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen == nullptr ? 0 : GetDeviceCaps(screen, LOGPIXELSY);
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT dpiForWindow(HWND window, const DpiCalls& calls) {
    const UINT dpi = calls.getDpiForWindow != nullptr ? calls.getDpiForWindow(window) : 0;
    return dpi != 0 ? dpi : systemDpi();
}

int systemMetric(int index, UINT dpi, const DpiCalls& calls) {
    if (calls.getSystemMetricsForDpi != nullptr) {
        return calls.getSystemMetricsForDpi(index, dpi);
    }
    return scale(GetSystemMetrics(index), dpi);
}

void adjustWindowRect(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi,
                      const DpiCalls& calls) {
    if (calls.adjustWindowRectExForDpi != nullptr &&
        calls.adjustWindowRectExForDpi(&rect, style, menu, exStyle, dpi)) {
        return;
    }
    // The frame at the system DPI, grown in proportion for another: close enough where the
    // system cannot tell, since no other DPI is ever in force there.
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, menu, exStyle);
    rect.left += scale(frame.left, dpi);
    rect.top += scale(frame.top, dpi);
    rect.right += scale(frame.right, dpi);
    rect.bottom += scale(frame.bottom, dpi);
}

LOGFONTW messageFont(UINT dpi, const DpiCalls& calls) {
    if (calls.systemParametersInfoForDpi != nullptr) {
        NonClientMetrics metrics{};
        metrics.xp.cbSize = sizeof metrics;
        if (calls.systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                             dpi)) {
            return metrics.xp.lfMessageFont;
        }
    }
    // XP's own size: it refuses the longer one.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        LOGFONTW font{};
        font.lfHeight = -MulDiv(8, static_cast<int>(dpi), 72);
        font.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(font.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
        return font;
    }
    metrics.lfMessageFont.lfHeight = scale(metrics.lfMessageFont.lfHeight, dpi);
    return metrics.lfMessageFont;
}

} // namespace quillarbor::win32
