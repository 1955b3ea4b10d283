#include "rotation/path_text_win.h"
#include "rotation/skin_file.h"

#include <windows.h>

namespace quillarbor {

std::optional<std::string> detail::readWholeFile(const std::string& path, std::uint64_t maxBytes) {
    const auto wide = wideFromText(path);
    if (!wide) {
        return std::nullopt;
    }
    const HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && static_cast<std::uint64_t>(size.QuadPart) <= maxBytes) {
        std::string data(static_cast<std::size_t>(size.QuadPart), '\0');
        DWORD read = 0;
        if (data.empty() ||
            (ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr) &&
             read == data.size())) {
            bytes = std::move(data);
        }
    }
    CloseHandle(file);
    return bytes;
}

} // namespace quillarbor
