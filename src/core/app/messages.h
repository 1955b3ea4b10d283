#pragma once

#include <string>
#include <string_view>

// The texts of the program's message boxes and warnings, written once for every front-end.
namespace quillarbor::messages {

inline constexpr std::string_view resetTitle = "Reset Registry before uninstall";
inline constexpr std::string_view resetQuestion =
    "Are you sure you want to do this? (Please see documentation first.)";
inline constexpr std::string_view resetExitNotice = "Quillarbor will exit next.";

inline std::string folderCannotBeRead(std::string_view folder) {
    return "The folder " + std::string(folder) + " cannot be read.";
}

} // namespace quillarbor::messages
