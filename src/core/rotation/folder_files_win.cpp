#include "rotation/folder_files.h"

#include "rotation/path_text.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace quillarbor {

namespace {

// One pass over a folder that keeps the files `wanted` accepts (none without it)
// and, when asked, the sub-folders; nullopt when the folder cannot be opened.
std::optional<FolderListing> readFolder(const std::string& folder,
                                        bool (*wanted)(std::string_view name), bool subFolders) {
    const auto path = pathFromText(folder);
    if (folder.empty() || !path) {
        return std::nullopt;
    }
    std::error_code error;
    std::filesystem::directory_iterator it(*path, error);
    if (error) {
        return std::nullopt;
    }
    FolderListing listing;
    const std::filesystem::directory_iterator end;
    for (; !error && it != end; it.increment(error)) {
        auto name = textFromPath(it->path().filename());
        if (!name) {
            continue;
        }
        const bool asFile = wanted != nullptr && wanted(*name);
        // Both type tests follow symbolic links.
        std::error_code typeError;
        if (asFile && it->is_regular_file(typeError)) {
            listing.files.push_back(std::move(*name));
        } else if (subFolders && it->is_directory(typeError)) {
            listing.subFolders.push_back(std::move(*name));
        }
    }
    return listing;
}

} // namespace

std::vector<std::string> listFolderFiles(const std::string& folder,
                                         bool (*wanted)(std::string_view name)) {
    auto listing = readFolder(folder, wanted, false);
    return listing ? std::move(listing->files) : std::vector<std::string>();
}

std::optional<std::vector<std::string>> listSubFolders(const std::string& folder) {
    auto listing = readFolder(folder, nullptr, true);
    if (!listing) {
        return std::nullopt;
    }
    return std::move(listing->subFolders);
}

std::optional<FolderListing> listFolder(const std::string& folder,
                                        bool (*wanted)(std::string_view name)) {
    return readFolder(folder, wanted, true);
}

} // namespace quillarbor
