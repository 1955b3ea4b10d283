#include "app/drives.h"

#include <fstream>
#include <iterator>

namespace quillarbor {

std::vector<std::string> listDrives() {
    std::ifstream mounts("/proc/self/mounts");
    if (mounts) {
        const std::string text((std::istreambuf_iterator<char>(mounts)),
                               std::istreambuf_iterator<char>());
        if (auto mountPoints = parseMountPoints(text); !mountPoints.empty()) {
            return mountPoints;
        }
    }
    // Without the mount table the root still holds every folder.
    return {"/"};
}

} // namespace quillarbor
