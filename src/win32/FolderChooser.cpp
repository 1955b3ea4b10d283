#include "FolderChooser.h"

#include "text.h"

#include <algorithm>

namespace quillarbor::win32 {

namespace {

constexpr int kIndentPixels = 7; // at 96 DPI, as every size below
constexpr int kIconPixels = 16;

int scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), 96);
}

// A folder in a 16-unit box: the back with its tab, then the front, tipped forward when open.
void drawFolder(HDC dc, int left, int top, UINT dpi, bool open) {
    const auto at = [&](int x, int y) {
        return POINT{left + scaled(x, dpi), top + scaled(y, dpi)};
    };
    const HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x2d, 0x5e, 0x98));
    const HBRUSH back = CreateSolidBrush(RGB(0x6f, 0xa3, 0xdc));
    const HBRUSH front = CreateSolidBrush(RGB(0xa9, 0xcb, 0xf0));
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    const HGDIOBJ oldBrush = SelectObject(dc, back);
    const POINT body[] = {at(1, 3), at(6, 3), at(7, 5), at(14, 5), at(14, 13), at(1, 13)};
    Polygon(dc, body, 6);
    SelectObject(dc, front);
    if (open) {
        const POINT lid[] = {at(4, 7), at(15, 7), at(13, 13), at(1, 13)};
        Polygon(dc, lid, 4);
    } else {
        const POINT lid[] = {at(1, 6), at(14, 6), at(14, 13), at(1, 13)};
        Polygon(dc, lid, 4);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(front);
    DeleteObject(back);
    DeleteObject(pen);
}

} // namespace

void FolderChooser::show(const std::vector<FolderEntry>& entries, std::size_t chosen) {
    entries_ = &entries;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (const FolderEntry& entry : entries) {
        // The names are kept for screen readers; drawing uses the entries.
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(entry.name).c_str()));
    }
    SendMessageW(list_, LB_SETCURSEL, chosen, 0);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

std::string FolderChooser::highlighted() const {
    const LRESULT index = SendMessageW(list_, LB_GETCURSEL, 0, 0);
    if (entries_ == nullptr || index < 0 || static_cast<std::size_t>(index) >= entries_->size()) {
        return {};
    }
    return (*entries_)[static_cast<std::size_t>(index)].path;
}

void FolderChooser::measure(MEASUREITEMSTRUCT& item, HFONT font, UINT dpi) const {
    const HDC dc = GetDC(list_);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(list_, dc);
    item.itemHeight = static_cast<UINT>(std::max<int>(metrics.tmHeight, scaled(kIconPixels, dpi)) +
                                        scaled(2, dpi));
}

void FolderChooser::draw(const DRAWITEMSTRUCT& item, UINT dpi) const {
    const HDC dc = item.hDC;
    const RECT& box = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &box, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (entries_ != nullptr && item.itemID < entries_->size()) {
        const FolderEntry& entry = (*entries_)[item.itemID];
        const std::wstring name = widen(entry.name);
        const int icon = scaled(kIconPixels, dpi);
        const int left = box.left + scaled(2, dpi) + entry.level * scaled(kIndentPixels, dpi);
        drawFolder(dc, left, box.top + (box.bottom - box.top - icon) / 2, dpi, entry.open);
        RECT text = box;
        text.left = left + icon + scaled(4, dpi);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
        DrawFocusRect(dc, &box);
    }
}

} // namespace quillarbor::win32
