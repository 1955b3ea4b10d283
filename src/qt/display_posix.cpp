#include "qt/display.h"

#include <cstdlib>

namespace quillarbor {

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

} // namespace

void prepareDisplay(bool oneShot) {
    // The user's own choice of platform always wins.
    if (!oneShot || isSet("QT_QPA_PLATFORM")) {
        return;
    }
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) {
        // Nothing to connect to: go offscreen directly instead of failing first.
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return;
    }
    // A display is named but may be gone (a stale DISPLAY in a cron job): Qt
    // tries the platforms in turn and ends offscreen rather than aborting.
    ::setenv("QT_QPA_PLATFORM",
             isSet("WAYLAND_DISPLAY") ? "wayland;xcb;offscreen" : "xcb;offscreen", 1);
}

} // namespace quillarbor
