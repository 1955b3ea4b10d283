#include "app/run_at_logon.h"

#include <windows.h>

namespace quillarbor {

std::string runningExecutable() {
    char buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return (n == 0 || n == sizeof buffer) ? std::string() : std::string(buffer, n);
}

std::string autostartEntryPath() { return {}; }

// The Run value written by the caller is what Windows starts at logon.
void setAutostart(bool, const std::string&) {}

} // namespace quillarbor
