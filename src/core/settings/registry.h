#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The string store every setting, the logon entry and the browser value go
// through. Texts are UTF-8 in this API; the Windows backend converts at its
// boundary. No operation reports failure to its caller: a missing or unreadable
// value reads as "", and a failed write leaves the previous data whole.
namespace quillarbor {

enum class RegRoot : std::uint32_t {
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
};

std::string regGetString(RegRoot root, std::string_view subKey, std::string_view valueName);
void regSaveString(RegRoot root, std::string_view subKey, std::string_view valueName,
                   std::string_view data);

// Why a write did not reach the store: where it was to go (a file, or a registry key) and why not.
struct SaveError {
    std::string place;
    std::string reason;
};

// regSaveString for the callers that must know: nullopt once the data is stored (or already was).
std::optional<SaveError> regTrySaveString(RegRoot root, std::string_view subKey,
                                          std::string_view valueName, std::string_view data);
void regDeleteValue(RegRoot root, std::string_view subKey, std::string_view valueName);

// Every location the program touches.
namespace loc {
inline constexpr std::string_view settingsRoot = "Software\\Quillarbor\\";
inline constexpr std::string_view settingPath = "Software\\Quillarbor\\path";
inline constexpr std::string_view settingDelay = "Software\\Quillarbor\\delay";
inline constexpr std::string_view settingSystray = "Software\\Quillarbor\\systray";
inline constexpr std::string_view settingValue = "String";
inline constexpr std::string_view runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view runValue = "Quillarbor";
inline constexpr std::string_view toolbarKey = "Software\\Microsoft\\Internet Explorer\\Toolbar";
inline constexpr std::string_view toolbarValue = "BackBitmapIE5";
inline constexpr std::string_view msinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view msinfoValue = "PATH";
inline constexpr std::string_view msinfoLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view msinfoLocationValue = "MSINFO";
} // namespace loc

} // namespace quillarbor
