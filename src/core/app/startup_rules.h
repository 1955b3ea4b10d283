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

// What the options asking for information want done before any window exists. Every other
// argument, unknown options included, leaves the program to start as usual.
enum class CliAction { Run, Help, Version };

// The first of "--help" (or "-h") and "--version" decides; none of them means Run.
CliAction parseCommandLine(const std::vector<std::string>& args);

// The text "--help" prints: usage, options and where the settings live.
std::string helpText();

// True only for an existing folder (a file, a missing path and "" are false).
bool PathExists(std::string_view path);

// The process's current folder, where the choosers start; "" when it cannot be told.
std::string currentFolder();

// The folder of a program's full path, without a trailing separator except at a root.
std::string folderOf(std::string_view executable);

} // namespace quillarbor
