#include "rotation/skin_file.h"

#include <cstdio>
#include <sys/stat.h>

namespace quillarbor {

std::optional<std::string> detail::readWholeFile(const std::string& path, std::uint64_t maxBytes) {
    // A text with a NUL in it would name some other, shorter path.
    if (path.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    struct stat info {};
    if (::fstat(::fileno(file), &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uint64_t>(info.st_size) <= maxBytes) {
        std::string data(static_cast<std::size_t>(info.st_size), '\0');
        // A file that grew while it was read is not taken in part.
        if (std::fread(data.data(), 1, data.size(), file) == data.size() &&
            std::fgetc(file) == EOF) {
            bytes = std::move(data);
        }
    }
    std::fclose(file);
    return bytes;
}

} // namespace quillarbor
