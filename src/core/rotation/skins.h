#pragma once

#include <cstdint>
#include <optional>
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

// One folder's skin list, in the order of listSkinFiles, kept for re-reading.
// In a folder of many thousands of files sorting is most of a read's work, and
// a re-read usually finds the folder as it was: then nothing is sorted.
class SkinList {
public:
    std::size_t size() const { return order_.size(); }
    // The i-th name of the sorted list.
    const std::string& operator[](std::size_t i) const { return listed_[order_[i]]; }
    std::vector<std::string> names() const; // a copy of the whole sorted list
    // Where `name` stands in the list, so that a selection outlives a re-read; nullopt when it
    // is not there.
    std::optional<std::size_t> find(std::string_view name) const;

    // Reads `folder` afresh: its list as it is now, or nullopt when the folder
    // lists exactly the entries of this list, in the same order as when it was read.
    std::optional<SkinList> reread(const std::string& folder) const;
    // As reread, from names the folder listed just now (as listFolderFiles gives
    // them with matchesSkinPattern), so that a folder read for more is not read twice.
    std::optional<SkinList> reread(std::vector<std::string> listed) const;

private:
    std::vector<std::string> listed_;  // in the order the file system listed them
    std::vector<std::uint32_t> order_; // indices into listed_, sorted by skinNameLess
};

} // namespace quillarbor
