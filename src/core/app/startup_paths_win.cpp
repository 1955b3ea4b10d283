#include "app/startup_rules.h"

#include "rotation/path_text_win.h"

#include <windows.h>

namespace quillarbor {

bool PathExists(std::string_view path) {
    const auto wide = wideFromText(path);
    if (path.empty() || !wide) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(wide->c_str()); // follows links
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string currentFolder() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, folder.data());
    if (length == 0 || length >= size) {
        return {};
    }
    folder.resize(length);
    return textFromWide(folder);
}

std::string folderOf(std::string_view executable) {
    const std::size_t slash = executable.find_last_of("\\/");
    if (slash == std::string_view::npos) {
        return {};
    }
    std::string folder(executable.substr(0, slash));
    // A drive's root keeps its separator: "C:\", not the drive's current folder "C:".
    if (folder.size() == 2 && folder[1] == ':') {
        folder += '\\';
    }
    for (char& c : folder) {
        if (c == '/') {
            c = '\\';
        }
    }
    return folder;
}

} // namespace quillarbor
