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

namespace quillarbor {

std::optional<std::string> normalFolder(const std::string& folder) {
    const auto wide = wideFromText(folder);
    if (!wide || wide->empty()) {
        return std::nullopt;
    }
    const DWORD size = GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide->c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return std::nullopt;
    }
    full.resize(length);
    std::string text = textFromWide(full);
    if (text.size() > folderRootLength(text) && text.back() == '\\') {
        text.pop_back();
    }
    return text;
}

std::size_t folderRootLength(std::string_view folder) {
    if (folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\') {
        return 3;
    }
    if (folder.starts_with("\\\\")) {
        const std::size_t server = folder.find('\\', 2);
        const std::size_t share =
            server == std::string_view::npos ? server : folder.find('\\', server + 1);
        return share == std::string_view::npos ? folder.size() : share + 1;
    }
    return folder.size();
}

std::string driveFolder(const std::string& drive) {
    // "D:" rather than "D:\": a drive is entered where the user last was on it.
    return drive.ends_with('\\') ? drive.substr(0, drive.size() - 1) : drive;
}

} // namespace quillarbor
