#include "rotation/folder_files.h"

#include <dirent.h>
#include <sys/stat.h>

namespace quillarbor {

namespace {

// The names of a folder's entries of one kind (a dirent type and the matching
// stat mode), symbolic links followed; nullopt when the folder cannot be opened.
template <typename Wanted>
std::optional<std::vector<std::string>> entriesOfKind(const std::string& folder, unsigned char type,
                                                      mode_t mode, Wanted wanted) {
    // A text with a NUL in it would name some other, shorter path.
    if (folder.empty() || folder.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    // The entry's own type spares a stat call per file; only links and file
    // systems that do not report types need one.
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (!wanted(name)) {
            continue;
        }
        bool ofKind = entry->d_type == type;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            ofKind = ::fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0 &&
                     (info.st_mode & S_IFMT) == mode;
        }
        if (ofKind) {
            names.emplace_back(name);
        }
    }
    ::closedir(dir);
    return names;
}

} // namespace

std::vector<std::string> listFolderFiles(const std::string& folder,
                                         bool (*wanted)(std::string_view name)) {
    return entriesOfKind(folder, DT_REG, S_IFREG, wanted).value_or(std::vector<std::string>());
}

std::optional<std::vector<std::string>> listSubFolders(const std::string& folder) {
    return entriesOfKind(folder, DT_DIR, S_IFDIR,
                         [](std::string_view name) { return name != "." && name != ".."; });
}

} // namespace quillarbor
