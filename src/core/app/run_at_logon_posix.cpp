#include "app/run_at_logon.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace quillarbor {

std::string runningExecutable() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

std::string autostartEntryPath() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string base = (configHome != nullptr && *configHome != '\0')
                                 ? std::string(configHome)
                                 : std::string(home != nullptr ? home : "") + "/.config";
    return base + "/autostart/quillarbor.desktop";
}

void setAutostart(bool on, const std::string& executable) {
    const fs::path entry = autostartEntryPath();
    std::error_code ec;
    if (!on) {
        fs::remove(entry, ec);
        if (ec) {
            std::fprintf(stderr, "quillarbor: cannot remove %s: %s\n", entry.c_str(),
                         ec.message().c_str());
        }
        return;
    }
    if (executable.empty() || executable.find_first_of("\r\n") != std::string::npos) {
        std::fprintf(stderr, "quillarbor: the program's own path is unknown; no autostart entry\n");
        return;
    }
    fs::create_directories(entry.parent_path(), ec);
    const fs::path temp = entry.string() + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Quillarbor\n"
               "Comment=Rotates the browser toolbar background bitmap\n"
               "Exec="
            << desktopExecValue(executable)
            << "\n"
               "Icon=quillarbor\n"
               "Terminal=false\n"
               "X-GNOME-Autostart-enabled=true\n";
        out.close();
        if (!out) {
            fs::remove(temp, ec);
            std::fprintf(stderr, "quillarbor: cannot write %s\n", entry.c_str());
            return;
        }
    }
    fs::rename(temp, entry, ec);
    if (ec) {
        fs::remove(temp, ec);
        std::fprintf(stderr, "quillarbor: cannot write %s\n", entry.c_str());
    }
}

} // namespace quillarbor
