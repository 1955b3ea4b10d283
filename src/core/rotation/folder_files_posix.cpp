#include "rotation/folder_files.h"

#include "rotation/path_text.h"

#include <dirent.h>
#include <sys/stat.h>

#include <filesystem>
#include <system_error>
#include <utility>

namespace quillarbor {

std::optional<FolderListing> detail::readFolder(const std::string& folder,
                                                bool (*wanted)(std::string_view name),
                                                bool subFolders) {
    // A text with a NUL in it would name some other, shorter path.
    if (folder.empty() || folder.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    FolderListing listing;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        const bool asFile = wanted != nullptr && wanted(name);
        const bool asFolder = subFolders && name != "." && name != "..";
        if (!asFile && !asFolder) {
            continue;
        }
        // The entry's own type spares a stat call per file; only links and file
        // systems that do not report types need one.
        unsigned char type = entry->d_type;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat info {};
            type = DT_UNKNOWN;
            if (::fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0) {
                type = S_ISREG(info.st_mode) ? DT_REG : S_ISDIR(info.st_mode) ? DT_DIR : DT_UNKNOWN;
            }
        }
        if (asFile && type == DT_REG) {
            listing.files.emplace_back(name);
        } else if (asFolder && type == DT_DIR) {
            listing.subFolders.emplace_back(name);
        }
    }
    ::closedir(dir);
    return listing;
}

} // namespace quillarbor

namespace quillarbor {

std::optional<std::string> normalFolder(const std::string& folder) {
    const auto path = pathFromText(folder);
    if (!path || path->empty()) {
        return std::nullopt;
    }
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(*path, error).lexically_normal();
    if (error) {
        return std::nullopt;
    }
    if (!absolute.has_filename() && absolute != absolute.root_path()) {
        absolute = absolute.parent_path();
    }
    return textFromPath(absolute);
}

std::size_t folderRootLength(std::string_view folder) {
    return folder.starts_with('/') ? 1 : 0;
}

std::string driveFolder(const std::string& drive) {
    return drive;
}

} // namespace quillarbor
