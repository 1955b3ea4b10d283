#pragma once

#include "settings/registry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The few primitives each platform supplies (registry_win.cpp, registry_posix.cpp).
// The string operations in registry.cpp are written once on top of them.
namespace quillarbor::backend {

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

struct RawValue {
    std::uint32_t type = 0;
    std::string bytes; // exactly the stored bytes; text types are UTF-8 here

    bool operator==(const RawValue&) const = default;
};

enum class ReadStatus { Ok, NoKey, NoValue, TooLarge };

struct ReadResult {
    ReadStatus status = ReadStatus::NoKey;
    RawValue value;
};

// Reads one value with read access only. With maxBytes set, a value whose data
// is longer than that is reported as TooLarge and not returned.
ReadResult readValue(RegRoot root, std::string_view subKey, std::string_view valueName,
                     std::optional<std::size_t> maxBytes = std::nullopt);

// Creates the key and any missing parents, then sets the value; nullopt once it is stored.
std::optional<SaveError> writeValue(RegRoot root, std::string_view subKey,
                                    std::string_view valueName, const RawValue& value);

void deleteValue(RegRoot root, std::string_view subKey, std::string_view valueName);

} // namespace quillarbor::backend
