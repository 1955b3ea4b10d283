#include "rotation/folder_files.h"

#include "rotation/find_first_win.h"
#include "rotation/path_text_win.h"

#include <utility>

#include <windows.h>

namespace quillarbor {

// The listing carries each entry's attributes, so no entry is looked up on its own.
std::optional<FolderListing> detail::readFolder(const std::string& folder,
                                                bool (*wanted)(std::string_view name),
                                                bool subFolders) {
    const auto path = wideFromText(folder);
    if (folder.empty() || !path) {
        return std::nullopt;
    }
    std::wstring pattern = *path;
    if (pattern.back() != L'\\' && pattern.back() != L'/') {
        pattern += L'\\';
    }
    pattern += L'*';
    WIN32_FIND_DATAW entry;
    const HANDLE find = findFirstFile(pattern, entry);
    if (find == INVALID_HANDLE_VALUE) {
        // An empty drive root lists nothing at all; any other failure is a folder not read.
        return GetLastError() == ERROR_FILE_NOT_FOUND
                   ? std::optional<FolderListing>(FolderListing())
                   : std::nullopt;
    }
    FolderListing listing;
    do {
        const std::wstring_view name = entry.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        DWORD attributes = entry.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            // A link: what it points at decides, as it does for every other program.
            attributes = GetFileAttributesW(
                (pattern.substr(0, pattern.size() - 1) + std::wstring(name)).c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES) {
                continue;
            }
        }
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder ? !subFolders : wanted == nullptr) {
            continue;
        }
        std::string text = textFromWide(name);
        if (isFolder) {
            listing.subFolders.push_back(std::move(text));
        } else if (wanted(text)) {
            listing.files.push_back(std::move(text));
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return listing;
}

} // namespace quillarbor
