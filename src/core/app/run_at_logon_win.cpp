#include "app/run_at_logon.h"

#include "rotation/path_text_win.h"

#include <windows.h>

namespace quillarbor {

std::string runningExecutable() {
    // Long paths do not fit MAX_PATH: the buffer grows until the whole name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return {};
        }
        if (n < path.size()) {
            path.resize(n);
            return textFromWide(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string autostartEntryPath() {
    return {};
}

// The Run value written by the caller is what Windows starts at logon.
void setAutostart(bool, const std::string&) {
}

} // namespace quillarbor
