#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Paths travel through the program as UTF-8 text. On POSIX the bytes pass
// through unchanged, so names that are not valid UTF-8 still round-trip; on
// Windows they are decoded. Neither direction throws: a text that cannot name
// a path (invalid UTF-8 on Windows) gives nullopt.
namespace quillarbor {

inline std::optional<std::filesystem::path> pathFromText(std::string_view text) noexcept {
    try {
        return std::filesystem::path(std::u8string(text.begin(), text.end()));
    } catch (...) {
        return std::nullopt;
    }
}

inline std::optional<std::string> textFromPath(const std::filesystem::path& path) noexcept {
    try {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace quillarbor
