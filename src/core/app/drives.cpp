#include "app/drives.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quillarbor {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// "C:" or "C:\": drive letters are compared without letter case, and "\" and
// "/" both end a drive's part of a path. Mount points compare exactly.
bool isLetterDrive(std::string_view drive) {
    return drive.size() >= 2 && drive[1] == ':' &&
           ((drive[0] >= 'A' && drive[0] <= 'Z') || (drive[0] >= 'a' && drive[0] <= 'z'));
}

char foldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool holds(std::string_view drive, std::string_view path) {
    if (drive.empty() || path.size() < drive.size()) {
        return false;
    }
    const bool letterDrive = isLetterDrive(drive);
    const std::string_view head = path.substr(0, drive.size());
    const bool samePrefix =
        letterDrive ? std::equal(head.begin(), head.end(), drive.begin(),
                                 [](char a, char b) { return foldCase(a) == foldCase(b); })
                    : head == drive;
    if (!samePrefix) {
        return false;
    }
    // "/mnt/data" holds "/mnt/data/x" but not "/mnt/database".
    if (path.size() == drive.size() || isSeparator(drive.back())) {
        return true;
    }
    const char next = path[drive.size()];
    return letterDrive ? isSeparator(next) : next == '/';
}

// File systems that hold no user files, mounted by the kernel and the init system.
constexpr std::array<std::string_view, 22> kPseudoFileSystems = {
    "proc",     "sysfs",      "cgroup",          "cgroup2",    "devpts",      "devtmpfs",
    "mqueue",   "debugfs",    "tracefs",         "securityfs", "pstore",      "bpf",
    "configfs", "fusectl",    "hugetlbfs",       "autofs",     "binfmt_misc", "efivarfs",
    "nsfs",     "rpc_pipefs", "fuse.gvfsd-fuse", "fuse.portal"};

bool isBelow(std::string_view path, std::string_view folder) {
    return path == folder ||
           (path.size() > folder.size() && path.substr(0, folder.size()) == folder &&
            path[folder.size()] == '/');
}

bool isPseudoMount(std::string_view mountPoint, std::string_view type) {
    if (std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), type) !=
        kPseudoFileSystems.end()) {
        return true;
    }
    if (isBelow(mountPoint, "/proc") || isBelow(mountPoint, "/sys")) {
        return true;
    }
    // Removable media may be mounted below /run, so only its memory file systems go.
    return type == "tmpfs" && (isBelow(mountPoint, "/run") || isBelow(mountPoint, "/dev"));
}

bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// The kernel writes blanks, tabs, line feeds and backslashes of a mount point as
// three-digit octal escapes ("\040" for a space).
std::string unescapeMountField(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1]) &&
            isOctalDigit(field[i + 2]) && isOctalDigit(field[i + 3])) {
            const int code =
                (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            text.push_back(static_cast<char>(code));
            i += 3;
        } else {
            text.push_back(field[i]);
        }
    }
    return text;
}

} // namespace

std::string driveOf(std::string_view path, const std::vector<std::string>& drives) {
    std::string best;
    for (const std::string& drive : drives) {
        if (drive.size() > best.size() && holds(drive, path)) {
            best = drive;
        }
    }
    return best;
}

std::vector<std::string> parseMountPoints(std::string_view mountsText) {
    std::vector<std::string> mountPoints;
    while (!mountsText.empty()) {
        const std::size_t lineEnd = std::min(mountsText.find('\n'), mountsText.size());
        std::string_view line = mountsText.substr(0, lineEnd);
        mountsText.remove_prefix(std::min(lineEnd + 1, mountsText.size()));

        // device, mount point, type, options, ...: separated by single spaces.
        std::array<std::string_view, 3> fields;
        std::size_t count = 0;
        while (count < fields.size() && !line.empty()) {
            const std::size_t start = line.find_first_not_of(' ');
            if (start == std::string_view::npos) {
                break;
            }
            line.remove_prefix(start);
            const std::size_t fieldEnd = std::min(line.find(' '), line.size());
            fields[count++] = line.substr(0, fieldEnd);
            line.remove_prefix(fieldEnd);
        }
        if (count < fields.size()) {
            continue;
        }
        std::string mountPoint = unescapeMountField(fields[1]);
        if (mountPoint.empty() || mountPoint.front() != '/' ||
            isPseudoMount(mountPoint, fields[2])) {
            continue;
        }
        mountPoints.push_back(std::move(mountPoint));
    }
    std::sort(mountPoints.begin(), mountPoints.end());
    mountPoints.erase(std::unique(mountPoints.begin(), mountPoints.end()), mountPoints.end());
    return mountPoints;
}

} // namespace quillarbor
