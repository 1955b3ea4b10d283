#include "twips.h"

#include "dpi.h"

namespace quillarbor::win32 {

FittedLayout fitLayout(UINT dpi, std::span<const form::Control> controls,
                       std::span<const std::wstring> texts) {
    const LOGFONTW logFont = messageFont(dpi);
    const HFONT font = CreateFontIndirectW(&logFont);
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // Three pixels a side at 96 DPI: a field's frame, and half a button's margins.
    const int frame = MulDiv(6, static_cast<int>(dpi), 96);

    const auto measure = [&](std::size_t i, int width) -> form::TextSize {
        using form::Kind;
        const Kind kind = controls[i].kind;
        if (kind == Kind::TextBox || kind == Kind::ReadOnlyBox || kind == Kind::DriveList) {
            return {0, metrics.tmHeight + frame};
        }
        if (texts[i].empty() ||
            (kind != Kind::Caption && kind != Kind::Text && kind != Kind::Button)) {
            return {0, 0};
        }
        // A button's access key is drawn underlined, not as an ampersand; a caption keeps to one
        // line.
        const int margins = kind == Kind::Button ? 2 * frame : 0;
        const UINT format = DT_CALCRECT | (kind == Kind::Button ? 0u : UINT{DT_NOPREFIX}) |
                            (kind == Kind::Text ? DT_WORDBREAK : DT_SINGLELINE);
        RECT needed{0, 0, width - margins, 0};
        DrawTextW(dc, texts[i].c_str(), static_cast<int>(texts[i].size()), &needed, format);
        return {needed.right + margins, needed.bottom};
    };
    const double pixelsPerTwip = dpi / 1440.0;
    const double factor = form::layoutScale(controls, pixelsPerTwip, measure);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {font, pixelsPerTwip * factor};
}

void place(HWND control, const form::TwipRect& rect, double pixelsPerTwip) {
    const form::PixelRect shown = form::toPixels(rect, pixelsPerTwip);
    SetWindowPos(control, nullptr, shown.left, shown.top, shown.width, shown.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
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
