// Start to a shown window, measured from outside the program.
//
//   shown_time TITLE PROGRAM [ARGS...]
//
// Starts PROGRAM and watches the X server: prints the milliseconds from the
// start to the mapping of the program's top-level window titled TITLE, and to
// the first painted pixel in it, then ends the program. Run it on a server
// with a black root window and no window manager (Xvfb -br): a window that
// has been mapped but not yet painted shows the black root through it.

#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

std::string windowTitle(xcb_connection_t* x, xcb_window_t window) {
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            x, xcb_get_property(x, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
            nullptr),
        &std::free);
    if (!reply) {
        return {};
    }
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

// The pixel one in from the window's bottom-right corner: window background
// in both the program and the floor.
bool painted(xcb_connection_t* x, xcb_window_t window, std::uint16_t width, std::uint16_t height) {
    Reply<xcb_get_image_reply_t> reply(
        xcb_get_image_reply(x,
                            xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                                          static_cast<std::int16_t>(width - 2),
                                          static_cast<std::int16_t>(height - 2), 1, 1, ~0u),
                            nullptr),
        &std::free);
    if (!reply) {
        return false;
    }
    const std::uint8_t* data = xcb_get_image_data(reply.get());
    const int length = xcb_get_image_data_length(reply.get());
    for (int i = 0; i < length && i < 3; ++i) {
        if (data[i] != 0) {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: shown_time TITLE PROGRAM [ARGS...]\n");
        return 2;
    }
    const std::string title = argv[1];

    int screenNumber = 0;
    xcb_connection_t* x = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(x) != 0) {
        std::fprintf(stderr, "shown_time: cannot open the display\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x));
    for (int i = 0; i < screenNumber; ++i) {
        xcb_screen_next(&screens);
    }
    const xcb_window_t root = screens.data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));

    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp(argv[2], argv + 2);
        std::perror("shown_time: exec");
        ::_exit(127);
    }

    double mappedMs = -1;
    double paintedMs = -1;
    xcb_window_t window = XCB_NONE;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    const double giveUpMs = 20000;
    while (paintedMs < 0 && msSince(start) < giveUpMs) {
        if (window == XCB_NONE) {
            pollfd wait{xcb_get_file_descriptor(x), POLLIN, 0};
            ::poll(&wait, 1, 50);
            while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
                if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && window == XCB_NONE) {
                    const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                    if (windowTitle(x, map->window) == title) {
                        mappedMs = msSince(start);
                        window = map->window;
                    }
                }
                std::free(event);
            }
            if (window != XCB_NONE) {
                Reply<xcb_get_geometry_reply_t> geometry(
                    xcb_get_geometry_reply(x, xcb_get_geometry(x, window), nullptr), &std::free);
                if (!geometry) {
                    break;
                }
                width = geometry->width;
                height = geometry->height;
            }
            continue;
        }
        if (painted(x, window, width, height)) {
            paintedMs = msSince(start);
            break;
        }
        ::usleep(500);
    }

    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    xcb_disconnect(x);
    if (paintedMs < 0) {
        std::fprintf(stderr, "shown_time: no window titled \"%s\" was %s\n", title.c_str(),
                     mappedMs < 0 ? "mapped" : "painted");
        return 1;
    }
    std::printf("%.1f %.1f\n", mappedMs, paintedMs);
    return 0;
}
