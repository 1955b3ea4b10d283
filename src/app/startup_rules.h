#pragma once

#include <string>
#include <string_view>
#include <vector>

// Rules of start-up and the commands that need no window.
namespace quillarbor {

// The arguments joined by spaces and upper-cased (ASCII), as the program keeps them.
std::string captureCommandLine(const std::vector<std::string>& args);

// One-shot mode: "/O" anywhere in the upper-cased command line.
bool isOneShot(std::string_view upperCommandLine);

// True only for an existing folder (a file, a missing path and "" are false).
bool PathExists(std::string_view path);

} // namespace quillarbor
