#include "qt/display.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace quillarbor {

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Set only by prepareDisplay: the user chose no platform, so ending offscreen was not asked for.
bool offscreenIsFallback = false;

void sayNoDisplay(const char* what) {
    std::fprintf(stderr,
                 "quillarbor: %s, so the window cannot be shown; \"quillarbor /O\" applies a skin "
                 "without one\n",
                 what);
}

} // namespace

bool prepareDisplay(bool oneShot) {
    // The user's own choice of platform always wins.
    if (isSet("QT_QPA_PLATFORM")) {
        return true;
    }
    const bool x11 = isSet("DISPLAY");
    const bool wayland = isSet("WAYLAND_DISPLAY");
    if (!x11 && !wayland) {
        if (!oneShot) {
            sayNoDisplay("no display is set (neither DISPLAY nor WAYLAND_DISPLAY)");
            return false;
        }
        // Nothing to connect to: go offscreen directly instead of failing first.
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return true;
    }
    // A display is named but may be gone (a stale DISPLAY in a cron job): Qt tries the platforms
    // in turn and ends offscreen rather than aborting; a normal start then says so and ends.
    const char* order =
        x11 ? (wayland ? "xcb;wayland;offscreen" : "xcb;offscreen") : "wayland;xcb;offscreen";
    ::setenv("QT_QPA_PLATFORM", order, 1);
    offscreenIsFallback = true;
    return true;
}

bool displayOpened(bool oneShot) {
    if (oneShot || !offscreenIsFallback ||
        QGuiApplication::platformName() != QLatin1String("offscreen")) {
        return true;
    }
    sayNoDisplay("the display named by DISPLAY or WAYLAND_DISPLAY cannot be opened");
    return false;
}

} // namespace quillarbor
