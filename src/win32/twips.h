#pragma once

#include <windows.h>

#include "app/layout_scale.h"

#include <span>
#include <string>

// The windows are designed in twips, 1440 to the inch: 15 to a pixel at 96 DPI.
namespace quillarbor::win32 {

struct FittedLayout {
    HFONT font;           // the desktop's message font, the caller's to delete
    double pixelsPerTwip; // at the window's DPI, grown by the factor every text needs
};

// The desktop's message font at `dpi`, and the scale at which the text each control shows,
// `texts[i]` for `controls[i]`, fits its box in it.
FittedLayout fitLayout(UINT dpi, std::span<const form::Control> controls,
                       std::span<const std::wstring> texts);

// Moves a control to `rect` at `pixelsPerTwip`.
void place(HWND control, const form::TwipRect& rect, double pixelsPerTwip);

// Moves a window, keeping its size, to the middle of the monitor it is on.
void centreOnScreen(HWND window);

} // namespace quillarbor::win32
