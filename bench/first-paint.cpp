// Times one start of a program on the current X display, from exec to its
// window on screen and to the window's first frame, without polling from a
// shell: it watches the display itself.
//   first-paint X Y RRGGBB PROGRAM [ARGUMENT...]
// It starts PROGRAM, waits until PROGRAM maps a top-level window (MapNotify on
// the root window, the window's _NET_WM_PID naming PROGRAM), then reads the
// window's pixel at X,Y every quarter millisecond until it shows the colour
// RRGGBB, which only the program's own painting puts there. It prints the two
// times in milliseconds since exec, "MAP PAINT", ends PROGRAM and exits 0; it
// exits 1 if either does not come within ten seconds.
// Choose X,Y low in the window: a large frame may reach the display in parts,
// top first.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::optional<pid_t> windowPid(xcb_connection_t *connection, xcb_window_t window)
{
    static constexpr char Name[] = "_NET_WM_PID";
    const Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, 0, sizeof Name - 1, Name), nullptr),
        &std::free);
    if (!atom) {
        return std::nullopt;
    }
    const Reply<xcb_get_property_reply_t> property(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, window, atom->atom,
                                                XCB_ATOM_CARDINAL, 0, 1),
                               nullptr),
        &std::free);
    if (!property || property->format != 32 || xcb_get_property_value_length(property.get()) != 4) {
        return std::nullopt;
    }
    return pid_t(*static_cast<const uint32_t *>(xcb_get_property_value(property.get())));
}

// The pixel at x,y of `window` as 0xRRGGBB, on a 24- or 32-bit TrueColor display.
std::optional<uint32_t> pixelAt(xcb_connection_t *connection, xcb_window_t window, int x, int y)
{
    const Reply<xcb_get_image_reply_t> image(
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                                          int16_t(x), int16_t(y), 1, 1, ~0U),
                            nullptr),
        &std::free);
    if (!image || xcb_get_image_data_length(image.get()) < 4) {
        return std::nullopt;
    }
    const uint8_t *bytes = xcb_get_image_data(image.get());
    return uint32_t(bytes[2]) << 16 | uint32_t(bytes[1]) << 8 | bytes[0]; // B, G, R, pad
}

int finish(pid_t child, int status)
{
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: first-paint X Y RRGGBB PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const int x = std::atoi(argv[1]);
    const int y = std::atoi(argv[2]);
    const uint32_t colour = uint32_t(std::stoul(argv[3], nullptr, 16));

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "first-paint: cannot connect to the display\n");
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    // A round trip, so that the server watches the root before the program starts.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[4], argv + 4);
        _exit(127);
    }
    if (child < 0) {
        std::perror("first-paint: fork");
        return 1;
    }

    // Map: the first top-level window of the program's own.
    xcb_window_t window = XCB_NONE;
    double mapped = 0;
    const int fd = xcb_get_file_descriptor(connection);
    while (window == XCB_NONE) {
        if (millisecondsSince(start) > 10000) {
            std::fprintf(stderr, "first-paint: %s mapped no window\n", argv[4]);
            return finish(child, 1);
        }
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (event == nullptr) {
            if (xcb_connection_has_error(connection) || waitpid(child, nullptr, WNOHANG) == child) {
                std::fprintf(stderr, "first-paint: %s ended before showing a window\n", argv[4]);
                return 1;
            }
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(fd, &readable);
            timeval wait{0, 10000};
            select(fd + 1, &readable, nullptr, nullptr, &wait);
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(event);
            if (!map->override_redirect && windowPid(connection, map->window) == child) {
                mapped = millisecondsSince(start);
                window = map->window;
            }
        }
        std::free(event);
    }

    // First frame: the chosen pixel turns the program's colour.
    for (;;) {
        if (pixelAt(connection, window, x, y) == colour) {
            break;
        }
        if (millisecondsSince(start) > 10000) {
            std::fprintf(stderr, "first-paint: no pixel %06x at %d,%d\n", unsigned(colour), x, y);
            return finish(child, 1);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(250));
    }
    const double painted = millisecondsSince(start);
    std::printf("%.2f %.2f\n", mapped, painted);
    xcb_disconnect(connection);
    return finish(child, 0);
}
