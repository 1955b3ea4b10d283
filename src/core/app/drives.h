#pragma once

#include <string>
#include <string_view>
#include <vector>

// The "drives" of the drive chooser: drive roots on Windows, the mounted file
// systems (their mount points, pseudo file systems left out) elsewhere.
namespace quillarbor {

std::vector<std::string> listDrives();

// The drive among `drives` that holds `path`: the longest drive that is a
// path prefix of it (compared without letter case on Windows). "" when none.
std::string driveOf(std::string_view path, const std::vector<std::string>& drives);

// Mount points of /proc/self/mounts text, unescaped (\040 is a space), pseudo
// file systems (proc, sysfs, cgroup, tmpfs below /run and /sys, ...) left out,
// each once, sorted.
std::vector<std::string> parseMountPoints(std::string_view mountsText);

} // namespace quillarbor
