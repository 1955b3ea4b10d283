#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillarbor {

// The names of a folder's regular files (symbolic links followed) that `wanted`
// accepts, in the order the file system lists them. Names are path text as the
// core keeps it: on POSIX the raw bytes. A folder that cannot be opened gives
// an empty list; an error part-way keeps what was read so far.
std::vector<std::string> listFolderFiles(const std::string& folder,
                                         bool (*wanted)(std::string_view name));

// A folder's files that `wanted` accepts (none without it) and its sub-folders
// (symbolic links followed; hidden ones too, "." and ".." not), from one
// reading of it, in the order the file system lists them: a folder of many
// thousands of files is read once for both. nullopt when the folder cannot be
// opened; an error part-way keeps what was read so far.
struct FolderListing {
    std::vector<std::string> files;
    std::vector<std::string> subFolders;
};
std::optional<FolderListing> listFolder(const std::string& folder,
                                        bool (*wanted)(std::string_view name));

// The absolute, normal form of a folder path: no "." or ".." parts and no separator at its end
// except at a drive's root ("D:" on Windows is that drive's current folder). nullopt when the
// text names no path.
std::optional<std::string> normalFolder(const std::string& folder);

// The length of the part of a normal path that names its drive's root: "/", "C:\" or
// "\\server\share\".
std::size_t folderRootLength(std::string_view folder);

// The folder a chosen drive opens at: on Windows that drive's current folder, elsewhere its root.
std::string driveFolder(const std::string& drive);

namespace detail {
// Each platform's one pass over a folder (folder_files_posix.cpp, folder_files_win.cpp), behind
// the three above: the files `wanted` accepts (none without it) and, when asked, the
// sub-folders; nullopt when the folder cannot be opened.
std::optional<FolderListing> readFolder(const std::string& folder,
                                        bool (*wanted)(std::string_view name), bool subFolders);
} // namespace detail

} // namespace quillarbor
