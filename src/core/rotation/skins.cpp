#include "rotation/skins.h"

#include "rotation/conversions.h"
#include "rotation/folder_files.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace quillarbor {

namespace {

unsigned char foldCase(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// Eight folded bytes of a name from `from` on, the first the most significant,
// padded with zero bytes: a shorter name then sorts first, as in skinNameLess,
// because no name holds a zero byte.
std::uint64_t foldedWord(std::string_view name, std::size_t from) {
    std::uint64_t word = 0;
    for (std::size_t i = from; i < from + 8; ++i) {
        word = (word << 8) | (i < name.size() ? foldCase(name[i]) : 0u);
    }
    return word;
}

// The indices of `names` in the order of skinNameLess. Comparing the first
// sixteen folded bytes as two numbers settles nearly every comparison without
// touching the names, which in a list of many thousands lie all over memory.
std::vector<std::uint32_t> sortedOrder(const std::vector<std::string>& names) {
    struct Entry {
        std::uint64_t head;
        std::uint64_t next;
        std::uint32_t index;
    };
    std::vector<Entry> entries(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        entries[i] = {foldedWord(names[i], 0), foldedWord(names[i], 8),
                      static_cast<std::uint32_t>(i)};
    }
    std::sort(entries.begin(), entries.end(), [&names](const Entry& a, const Entry& b) {
        if (a.head != b.head) {
            return a.head < b.head;
        }
        if (a.next != b.next) {
            return a.next < b.next;
        }
        return skinNameLess(names[a.index], names[b.index]);
    });
    std::vector<std::uint32_t> order(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        order[i] = entries[i].index;
    }
    return order;
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
    return SkinList().reread(folder).value_or(SkinList()).names();
}

std::vector<std::string> SkinList::names() const {
    std::vector<std::string> names;
    names.reserve(size());
    for (const std::uint32_t i : order_) {
        names.push_back(listed_[i]);
    }
    return names;
}

std::optional<SkinList> SkinList::reread(const std::string& folder) const {
    return reread(listFolderFiles(folder, matchesSkinPattern));
}

std::optional<SkinList> SkinList::reread(std::vector<std::string> listed) const {
    if (listed == listed_) {
        return std::nullopt;
    }
    SkinList fresh;
    fresh.order_ = sortedOrder(listed);
    fresh.listed_ = std::move(listed);
    return fresh;
}

} // namespace quillarbor
