#include "app/drives.h"

#include <windows.h>

namespace quillarbor {

std::vector<std::string> listDrives() {
    // "C:\<NUL>D:\<NUL><NUL>"; the first call asks for the size.
    const DWORD size = GetLogicalDriveStringsA(0, nullptr);
    std::string buffer(size + 1, '\0');
    const DWORD length = GetLogicalDriveStringsA(size, buffer.data());
    std::vector<std::string> drives;
    for (std::size_t start = 0; start < length && start < buffer.size();) {
        const std::size_t end = buffer.find('\0', start);
        if (end == start || end == std::string::npos) {
            break;
        }
        drives.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    return drives;
}

} // namespace quillarbor
