#pragma once

#include <string>
#include <string_view>

// The texts of the program's message boxes and warnings, written once for every front-end.
namespace quillarbor::messages {

inline constexpr std::string_view resetTitle = "Reset Registry before uninstall";
inline constexpr std::string_view resetQuestion =
    "Are you sure you want to do this? (Please see documentation first.)";
inline constexpr std::string_view resetExitNotice = "Quillarbor will exit next.";

// A second start whose running copy did not answer: it is told on standard error.
inline constexpr std::string_view alreadyRunningUnanswered =
    "quillarbor: Quillarbor already runs in this desktop session but does not answer; end it, "
    "then start it again";

inline std::string folderCannotBeRead(std::string_view folder) {
    return "The folder " + std::string(folder) + " cannot be read.";
}

} // namespace quillarbor::messages
