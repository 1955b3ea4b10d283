#include "rotation/skins.h"

#include "rotation/conversions.h"
#include "rotation/folder_files.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <ranges>
#include <utility>

namespace quillarbor {

namespace {

unsigned char foldCase(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// Eight folded bytes of a name from `from` on, the first the most significant,
// padded with zero bytes: a shorter name then sorts first, as in skinNameLess,
// because no name holds a zero byte. The letters are folded eight at a time.
std::uint64_t foldedWord(std::string_view name, std::size_t from) {
    unsigned char bytes[8] = {};
    if (from < name.size()) {
        std::memcpy(bytes, name.data() + from, std::min<std::size_t>(8, name.size() - from));
    }
    std::uint64_t word = 0;
    for (const unsigned char byte : bytes) {
        word = (word << 8) | byte;
    }
    constexpr std::uint64_t kEach = 0x0101010101010101u;
    const std::uint64_t low7 = word & (0x7f * kEach);
    // The top bit of each byte tells whether it is at least 'A', then above 'Z';
    // no sum carries into the next byte.
    const std::uint64_t fromA = low7 + (0x80 - 'A') * kEach;
    const std::uint64_t pastZ = low7 + (0x80 - 'Z' - 1) * kEach;
    const std::uint64_t upper = fromA & ~pastZ & ~word & (0x80 * kEach);
    return word | (upper >> 2); // 0x20 makes a capital small
}

struct SortEntry {
    std::uint64_t head; // folded bytes 0 to 7
    std::uint64_t next; // folded bytes 8 to 15
    std::uint32_t index;
};

// Byte `k` (0 to 15, the first the most significant) of an entry's sixteen folded bytes.
unsigned keyByte(const SortEntry& entry, int k) {
    const std::uint64_t word = k < 8 ? entry.head : entry.next;
    return static_cast<unsigned>(word >> (56 - 8 * (k % 8))) & 0xffu;
}

// Sorts by the sixteen bytes, one byte a pass from the last (each pass keeps the order of the
// one before), skipping the bytes every name shares, such as a common prefix and the
// extension: in a folder of thousands, a few passes over the list instead of some fourteen
// comparisons for each name.
void sortByKeyBytes(std::vector<SortEntry>& entries) {
    constexpr int kKeyBytes = 16;
    std::vector<std::array<std::uint32_t, 256>> counts(kKeyBytes);
    for (const SortEntry& entry : entries) {
        for (int k = 0; k < 8; ++k) {
            ++counts[k][(entry.head >> (56 - 8 * k)) & 0xffu];
            ++counts[8 + k][(entry.next >> (56 - 8 * k)) & 0xffu];
        }
    }
    std::vector<SortEntry> sorted(entries.size());
    for (int k = kKeyBytes - 1; k >= 0; --k) {
        std::array<std::uint32_t, 256>& starts = counts[k];
        if (starts[keyByte(entries.front(), k)] == entries.size()) {
            continue;
        }
        std::uint32_t start = 0;
        for (std::uint32_t& count : starts) {
            start += std::exchange(count, start);
        }
        for (const SortEntry& entry : entries) {
            sorted[starts[keyByte(entry, k)]++] = entry;
        }
        entries.swap(sorted);
    }
}

// The indices of `names` in the order of skinNameLess. Comparing the first
// sixteen folded bytes as two numbers settles nearly every comparison without
// touching the names, which in a list of many thousands lie all over memory.
std::vector<std::uint32_t> sortedOrder(const std::vector<std::string>& names) {
    constexpr std::size_t kFewNames = 64; // fewer are sorted faster by comparing
    std::vector<SortEntry> entries(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        entries[i] = {foldedWord(names[i], 0), foldedWord(names[i], 8),
                      static_cast<std::uint32_t>(i)};
    }
    const auto sameKey = [](const SortEntry& a, const SortEntry& b) {
        return a.head == b.head && a.next == b.next;
    };
    const auto byName = [&names](const SortEntry& a, const SortEntry& b) {
        return skinNameLess(names[a.index], names[b.index]);
    };
    if (entries.size() < kFewNames) {
        std::sort(entries.begin(), entries.end(), [&](const SortEntry& a, const SortEntry& b) {
            if (!sameKey(a, b)) {
                return a.head != b.head ? a.head < b.head : a.next < b.next;
            }
            return byName(a, b);
        });
    } else {
        sortByKeyBytes(entries);
        // Names that agree in their first sixteen folded bytes: the names decide.
        for (auto run = entries.begin(); run != entries.end();) {
            const auto end = std::find_if_not(
                run, entries.end(), [&](const SortEntry& entry) { return sameKey(entry, *run); });
            std::sort(run, end, byName);
            run = end;
        }
    }
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
    // Called for every entry of a folder. Setting 0x20 makes 'B', 'M' and 'P'
    // small and turns no other byte into 'b', 'm' or 'p'.
    if (fileName.size() < 4) {
        return false;
    }
    const char* tail = fileName.data() + fileName.size() - 4;
    return tail[0] == '.' && (tail[1] | 0x20) == 'b' && (tail[2] | 0x20) == 'm' &&
           (tail[3] | 0x20) == 'p';
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

std::optional<std::size_t> SkinList::find(std::string_view name) const {
    // The list is sorted: a name is found by halving.
    const auto rows = std::views::iota(std::size_t{0}, size());
    const auto found = std::ranges::lower_bound(
        rows, name, skinNameLess,
        [this](std::size_t row) -> std::string_view { return (*this)[row]; });
    if (found == rows.end() || (*this)[*found] != name) {
        return std::nullopt;
    }
    return *found;
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
