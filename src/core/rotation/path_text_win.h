#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

// The Windows side of path text: the program's UTF-8 and the system's UTF-16, converted with the
// system's own calls rather than std::filesystem, whose conversions bring the whole of the C++
// locale library into the executable.
namespace quillarbor {

// nullopt for text that is not UTF-8: it can name no file.
inline std::optional<std::wstring> wideFromText(std::string_view text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int n = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), n, nullptr, 0);
    if (wide <= 0) {
        return std::nullopt;
    }
    std::wstring out(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), n, out.data(), wide);
    return out;
}

// File names are UTF-16 as the file system holds them; an unpaired surrogate becomes U+FFFD.
inline std::string textFromWide(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int n = static_cast<int>(wide.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), bytes, nullptr, nullptr);
    }
    return out;
}

} // namespace quillarbor
