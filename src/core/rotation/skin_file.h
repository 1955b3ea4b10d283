#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillarbor {

// Larger than any toolbar bitmap by far; such a file is not read into memory.
inline constexpr std::uint64_t kMaxSkinBytes = 256u * 1024 * 1024;

// A skin's bytes for the preview to decode: nullopt when the file cannot be read whole, is larger
// than kMaxSkinBytes, or is a bitmap cut short, which a picture reader would show in part but the
// browser cannot load.
std::optional<std::string> readSkinFile(const std::string& picName);

namespace detail {
// The whole file, or nullopt when it cannot be read or holds more than maxBytes (one per platform).
std::optional<std::string> readWholeFile(const std::string& path, std::uint64_t maxBytes);
} // namespace detail

} // namespace quillarbor
