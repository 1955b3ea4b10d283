#include "rotation/folder_files.h"

#include <dirent.h>
#include <sys/stat.h>

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
