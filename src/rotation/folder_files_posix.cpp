#include "rotation/folder_files.h"

#include <dirent.h>
#include <sys/stat.h>

namespace quillarbor {

std::vector<std::string> listFolderFiles(const std::string& folder,
                                         bool (*wanted)(std::string_view name)) {
    std::vector<std::string> names;
    // A text with a NUL in it would name some other, shorter path.
    if (folder.empty() || folder.find('\0') != std::string::npos) {
        return names;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    // The entry's own type spares a stat call per file; only links and file
    // systems that do not report types need one.
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (!wanted(name)) {
            continue;
        }
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            regular =
                ::fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (regular) {
            names.emplace_back(name);
        }
    }
    ::closedir(dir);
    return names;
}

std::optional<std::vector<std::string>> listSubFolders(const std::string& folder) {
    if (folder.empty() || folder.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            isFolder =
                ::fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
        }
        if (isFolder) {
            names.emplace_back(name);
        }
    }
    ::closedir(dir);
    return names;
}

} // namespace quillarbor
