#pragma once

#include "settings/registry.h"

#include <functional>
#include <string>
#include <string_view>

// The About box's system-information button: where the tool is looked up and
// when it counts as unavailable. Every front-end shows the same outcome.
namespace quillarbor {

inline constexpr std::string_view kSysInfoUnavailable =
    "System Information Is Unavailable At This Time";

struct SysInfoServices {
    // Reads one machine-wide value as GetKeyValue does (and may throw as it does).
    std::function<bool(RegRoot root, std::string_view key, std::string_view value,
                       std::string& text)>
        readKey;
    // True for an existing file that is neither a folder nor hidden nor a system file.
    std::function<bool(const std::string& path)> isNormalFile;
    // Starts the program without waiting for it; false when it cannot be started.
    std::function<bool(const std::string& path)> launch;
};

// Looks the tool up and starts it. False when it is unavailable: nothing names
// it, it is not there, it cannot be started, or reading the settings failed.
bool StartSysInfo(const SysInfoServices& services);

} // namespace quillarbor
