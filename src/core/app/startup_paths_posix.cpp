#include "app/startup_rules.h"

#include "rotation/path_text.h"

#include <filesystem>
#include <system_error>

namespace quillarbor {

bool PathExists(std::string_view path) {
    if (path.empty()) {
        return false;
    }
    const auto folder = pathFromText(path);
    if (!folder) {
        return false;
    }
    std::error_code error;
    return std::filesystem::is_directory(*folder, error);
}

std::string currentFolder() {
    std::error_code error;
    const auto folder = std::filesystem::current_path(error);
    return error ? std::string() : textFromPath(folder).value_or(std::string());
}

std::string folderOf(std::string_view executable) {
    const auto path = pathFromText(executable);
    if (!path) {
        return {};
    }
    return textFromPath(path->parent_path().make_preferred()).value_or(std::string());
}

} // namespace quillarbor
