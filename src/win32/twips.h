#pragma once

#include <windows.h>

#include "app/window_forms.h"

#include <span>
#include <string_view>

// The windows are designed in twips, 1440 to the inch: 15 to a pixel at 96 DPI.
namespace quillarbor::win32 {

// A text and the box, in twips, it must fit in.
struct TextBox {
    enum class Fit { Line, Wrapped, Button, Field }; // a field: one line of what the user types
    std::wstring_view text;
    form::TwipRect box;
    Fit fit;
};

struct FittedLayout {
    HFONT font;           // the desktop's message font, the caller's to delete
    double pixelsPerTwip; // at the window's DPI, grown by the factor every text needs
};

// The desktop's message font at `dpi`, and the scale at which every text fits its box in it.
FittedLayout fitLayout(UINT dpi, std::span<const TextBox> texts);

// Moves a control to `rect` at `pixelsPerTwip`.
void place(HWND control, const form::TwipRect& rect, double pixelsPerTwip);

// Moves a window, keeping its size, to the middle of the monitor it is on.
void centreOnScreen(HWND window);

} // namespace quillarbor::win32
