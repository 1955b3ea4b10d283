#include "app/startup_rules.h"

#include "rotation/path_text.h"

#include <filesystem>
#include <system_error>

namespace quillarbor {

std::string captureCommandLine(const std::vector<std::string>& args) {
    std::string line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0) {
            line.push_back(' ');
        }
        line += args[i];
    }
    // ASCII only: other bytes may be parts of UTF-8 sequences.
    for (char& c : line) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return line;
}

bool isOneShot(std::string_view upperCommandLine) {
    return upperCommandLine.find("/O") != std::string_view::npos;
}

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

} // namespace quillarbor
