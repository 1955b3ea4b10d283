#include "rotation/skin_file.h"

#include "rotation/bitmap_check.h"

namespace quillarbor {

std::optional<std::string> readSkinFile(const std::string& picName) {
    auto bytes = detail::readWholeFile(picName, kMaxSkinBytes);
    if (!bytes || bitmapIsCutShort(*bytes)) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace quillarbor
