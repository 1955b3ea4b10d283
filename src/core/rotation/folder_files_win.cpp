#include "rotation/folder_files.h"

#include "rotation/path_text.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace quillarbor {

std::vector<std::string> listFolderFiles(const std::string& folder,
                                         bool (*wanted)(std::string_view name)) {
    std::vector<std::string> names;
    const auto path = pathFromText(folder);
    if (folder.empty() || !path) {
        return names;
    }
    std::error_code error;
    std::filesystem::directory_iterator it(*path, error);
    const std::filesystem::directory_iterator end;
    for (; !error && it != end; it.increment(error)) {
        const auto name = textFromPath(it->path().filename());
        if (!name || !wanted(*name)) {
            continue;
        }
        std::error_code typeError;
        if (it->is_regular_file(typeError)) { // follows symbolic links
            names.push_back(*name);
        }
    }
    return names;
}

std::optional<std::vector<std::string>> listSubFolders(const std::string& folder) {
    const auto path = pathFromText(folder);
    if (folder.empty() || !path) {
        return std::nullopt;
    }
    std::error_code error;
    std::filesystem::directory_iterator it(*path, error);
    if (error) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    const std::filesystem::directory_iterator end;
    for (; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (!it->is_directory(typeError)) { // follows symbolic links
            continue;
        }
        if (auto name = textFromPath(it->path().filename())) {
            names.push_back(std::move(*name));
        }
    }
    return names;
}

} // namespace quillarbor
