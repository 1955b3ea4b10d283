#pragma once

#include <windows.h>

#include <span>
#include <string_view>

// The windows are designed in twips, 1440 to the inch: 15 to a pixel at 96 DPI.
namespace quillarbor::win32 {

inline int twips(int value, UINT dpi) {
    return MulDiv(value, static_cast<int>(dpi), 1440);
}

// A text and the box, in twips, it must fit in.
struct TextBox {
    std::wstring_view text;
    int width;
    int height;
    bool wrap;   // may take several lines
    bool button; // drawn with a button's margins
};

// The desktop's message font at `dpi`, no larger than 8 points (the size the layout was
// designed for) and stepped down to 6 points at the least until every text fits its box.
HFONT fittedFont(UINT dpi, std::span<const TextBox> boxes);

// Moves a window, keeping its size, to the middle of the monitor it is on.
void centreOnScreen(HWND window);

} // namespace quillarbor::win32
