#pragma once

#include "app/window_forms.h"

#include <windows.h>

#include <commctrl.h>

namespace quillarbor::win32 {

// The window class and styles of each kind of control; every one is a child window.
struct ControlClass {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
};

inline ControlClass controlClass(form::Kind kind) {
    constexpr DWORD visible = WS_VISIBLE;
    constexpr DWORD tab = WS_VISIBLE | WS_TABSTOP;
    constexpr DWORD list = tab | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    switch (kind) {
    case form::Kind::Button:
    case form::Kind::FocusHolder:
        return {WC_BUTTONW, tab | BS_PUSHBUTTON, 0};
    case form::Kind::SkinList:
        return {WC_LISTBOXW, list, WS_EX_CLIENTEDGE};
    case form::Kind::FolderList:
        return {WC_LISTBOXW, list | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, WS_EX_CLIENTEDGE};
    case form::Kind::DriveList:
        return {WC_COMBOBOXW, tab | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case form::Kind::Caption:
    case form::Kind::Text:
        return {WC_STATICW, visible | SS_NOPREFIX, 0};
    case form::Kind::TextBox:
        return {WC_EDITW, tab | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case form::Kind::ReadOnlyBox:
        return {WC_EDITW, tab | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE};
    case form::Kind::Picture:
        return {WC_STATICW, visible | SS_OWNERDRAW | WS_BORDER, 0};
    }
    return {WC_STATICW, 0, 0};
}

} // namespace quillarbor::win32
