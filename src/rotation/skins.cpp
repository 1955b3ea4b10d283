#include "rotation/skins.h"

#include "rotation/conversions.h"
#include "rotation/path_text.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace quillarbor {

namespace {

unsigned char foldCase(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

} // namespace

std::string addSlash(std::string_view path) {
    std::string result(path);
    if (result.empty() || result.back() != kFolderSeparator) {
        result.push_back(kFolderSeparator);
    }
    return result;
}

bool matchesSkinPattern(std::string_view fileName) {
    constexpr std::string_view kExtension = ".bmp";
    if (fileName.size() < kExtension.size()) {
        return false;
    }
    const std::string_view tail = fileName.substr(fileName.size() - kExtension.size());
    return std::equal(tail.begin(), tail.end(), kExtension.begin(),
                      [](char a, char b) { return foldCase(a) == foldCase(b); });
}

int pickIndex(int n, float r) {
    if (n <= 1) {
        return 0;
    }
    const float x = static_cast<float>(n - 1) * r;
    const double rounded = roundHalfEven(static_cast<double>(x));
    // Guards against an r outside [0, 1) and against float rounding of very
    // large lists: the index must name an entry.
    if (!(rounded > 0.0)) {
        return 0;
    }
    if (rounded >= static_cast<double>(n - 1)) {
        return n - 1;
    }
    return static_cast<int>(rounded);
}

std::string lastShownCaption(std::string_view lastShown) {
    return "Last shown: " + std::string(lastShown);
}

bool skinNameLess(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (foldCase(a[i]) != foldCase(b[i])) {
            return foldCase(a[i]) < foldCase(b[i]);
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    // Names that differ only in letter case: the bytes decide (compared unsigned).
    return a < b;
}

std::vector<std::string> listSkinFiles(const std::string& folder) {
    std::vector<std::string> names;
    const auto path = pathFromText(folder);
    if (folder.empty() || !path) {
        return names;
    }
    std::error_code error;
    std::filesystem::directory_iterator it(*path, error);
    const std::filesystem::directory_iterator end;
    // An error part-way through keeps what was read so far.
    for (; !error && it != end; it.increment(error)) {
        const auto name = textFromPath(it->path().filename());
        if (!name || !matchesSkinPattern(*name)) {
            continue;
        }
        std::error_code typeError;
        if (it->is_regular_file(typeError)) { // follows symbolic links
            names.push_back(*name);
        }
    }
    std::sort(names.begin(), names.end(), skinNameLess);
    return names;
}

} // namespace quillarbor
