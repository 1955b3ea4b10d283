#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillarbor {

// Separator that joins a folder and a file name on this platform.
#ifdef _WIN32
inline constexpr char kFolderSeparator = '\\';
#else
inline constexpr char kFolderSeparator = '/';
#endif

// The path with one separator appended unless it already ends in one; "" gives
// the separator alone.
std::string addSlash(std::string_view path);

// True for names ending in ".bmp" in any letter case.
bool matchesSkinPattern(std::string_view fileName);

// Index of the random pick among n entries (n >= 1): (n - 1) * r in single
// precision, rounded half to even.
int pickIndex(int n, float r);

// "Last shown: " followed by the file name.
std::string lastShownCaption(std::string_view lastShown);

// Case-insensitive order of the skin list, ties broken by bytes so the order is total.
bool skinNameLess(std::string_view a, std::string_view b);

// The regular files of a folder matching the skin pattern, sorted by skinNameLess.
// Names are the raw bytes the file system holds. An unreadable or missing folder
// yields an empty list.
std::vector<std::string> listSkinFiles(const std::string& folder);

} // namespace quillarbor
