#pragma once

#include <windows.h>

namespace quillarbor::win32 {

// The About box, modal to `owner`; returns when it is closed.
void showAboutBox(HINSTANCE instance, HWND owner);

} // namespace quillarbor::win32
