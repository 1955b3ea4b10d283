#include "text.h"

#include <windows.h>

namespace quillarbor::win32 {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int n = static_cast<int>(utf8.size());
    const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(wide > 0 ? wide : 0), L'\0');
    if (wide > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, out.data(), wide);
    }
    return out;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    const int n = static_cast<int>(utf16.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, utf16.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_UTF8, 0, utf16.data(), n, out.data(), bytes, nullptr, nullptr);
    }
    return out;
}

void writeStd(bool error, std::string_view utf8) {
    const HANDLE handle = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return;
    }
    std::string text;
    text.reserve(utf8.size() + 8);
    for (const char c : utf8) {
        if (c == '\n') {
            text += '\r';
        }
        text += c;
    }
    DWORD written = 0;
    if (GetFileType(handle) == FILE_TYPE_CHAR) {
        // A console shows UTF-16 whatever its code page.
        const std::wstring wide = widen(text);
        if (WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written,
                          nullptr)) {
            return;
        }
    }
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

} // namespace quillarbor::win32
