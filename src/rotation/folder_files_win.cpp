#include "rotation/folder_files.h"

#include "rotation/path_text.h"

#include <filesystem>
#include <system_error>

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

} // namespace quillarbor
