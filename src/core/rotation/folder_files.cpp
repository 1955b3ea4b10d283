#include "rotation/folder_files.h"

#include <utility>

namespace quillarbor {

std::vector<std::string> listFolderFiles(const std::string& folder,
                                         bool (*wanted)(std::string_view name)) {
    auto listing = detail::readFolder(folder, wanted, false);
    return listing ? std::move(listing->files) : std::vector<std::string>();
}

std::optional<FolderListing> listFolder(const std::string& folder,
                                        bool (*wanted)(std::string_view name)) {
    return detail::readFolder(folder, wanted, true);
}

} // namespace quillarbor
