#include "twips.h"

#include "dpi.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace quillarbor::win32 {

namespace {

constexpr double kDesignedPoints = 8.0;
constexpr double kSmallestPoints = 6.0;

bool fits(HDC dc, UINT dpi, const TextBox& box) {
    std::wstring text(box.text);
    if (box.button) {
        std::erase(text, L'&');
    }
    const int margin = box.button ? MulDiv(6, static_cast<int>(dpi), 96) : 0;
    RECT needed{0, 0, twips(box.width, dpi) - 2 * margin, 0};
    UINT format = DT_CALCRECT | DT_NOPREFIX | (box.wrap ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, format);
    return needed.right <= twips(box.width, dpi) - 2 * margin &&
           needed.bottom <= twips(box.height, dpi);
}

} // namespace

HFONT fittedFont(UINT dpi, std::span<const TextBox> boxes) {
    LOGFONTW font = messageFont(dpi);
    double points = font.lfHeight < 0 ? -font.lfHeight * 72.0 / dpi : kDesignedPoints;
    points = std::min(points, kDesignedPoints);

    const HDC dc = GetDC(nullptr);
    for (;; points -= 0.5) {
        font.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
        const HFONT candidate = CreateFontIndirectW(&font);
        const HGDIOBJ old = SelectObject(dc, candidate);
        const bool all =
            std::ranges::all_of(boxes, [&](const TextBox& box) { return fits(dc, dpi, box); });
        SelectObject(dc, old);
        if (all || points <= kSmallestPoints) {
            ReleaseDC(nullptr, dc);
            return candidate;
        }
        DeleteObject(candidate);
    }
}

void centreOnScreen(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& screen = monitor.rcMonitor;
    SetWindowPos(window, nullptr,
                 screen.left + (screen.right - screen.left - (outer.right - outer.left)) / 2,
                 screen.top + (screen.bottom - screen.top - (outer.bottom - outer.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace quillarbor::win32
