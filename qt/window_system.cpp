#include "window_system.h"

#include <QByteArray>
#include <QtGlobal>

#ifdef AMBRELITH_WAYLAND
#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <string_view>
#endif
#ifdef AMBRELITH_XCB
#include <xcb/xcb.h>
#endif

namespace {

#ifdef AMBRELITH_WAYLAND

// The Wayland globals through which a compositor offers to draw its clients' title bars.
constexpr std::array<std::string_view, 2> ServerDecorations = {
    "zxdg_decoration_manager_v1", "org_kde_kwin_server_decoration_manager"};

void NoteGlobal(void* data, wl_registry* /*registry*/, std::uint32_t /*name*/,
                const char* interface, std::uint32_t /*version*/) {
    if (std::ranges::find(ServerDecorations, std::string_view(interface)) !=
        ServerDecorations.end())
        *static_cast<bool*>(data) = true;
}

void IgnoreRemoval(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

constexpr wl_registry_listener GlobalsListener = {.global = NoteGlobal,
                                                  .global_remove = IgnoreRemoval};

// Connects to WAYLAND_DISPLAY itself: libwayland would otherwise take a socket handed down in
// WAYLAND_SOCKET, and unset it, leaving Qt without its connection.
wl_display* ConnectWayland() {
    const QByteArray handedDown = qgetenv("WAYLAND_SOCKET");
    if (!handedDown.isNull())
        qunsetenv("WAYLAND_SOCKET");
    wl_display* display = wl_display_connect(nullptr);
    if (!handedDown.isNull())
        qputenv("WAYLAND_SOCKET", handedDown);
    return display;
}

void NoteDone(void* data, wl_callback* /*callback*/, std::uint32_t /*serial*/) {
    *static_cast<bool*>(data) = true;
}

constexpr wl_callback_listener DoneListener = {.done = NoteDone};

// One round trip, as wl_display_roundtrip makes it, but given up after a second: a compositor
// that takes the connection and never answers must not hold up the start.
bool RoundTrip(wl_display* display) {
    bool done = false;
    wl_callback* sync = wl_display_sync(display);
    wl_callback_add_listener(sync, &DoneListener, &done);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (!done) {
        if (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0)
                break;
            continue;
        }
        wl_display_flush(display);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{wl_display_get_fd(display), POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            wl_display_cancel_read(display);
            break;
        }
        if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0)
            break;
    }
    wl_callback_destroy(sync);
    return done;
}

// Lists the compositor's globals (one round trip lists them all) and tells whether one of them
// offers server-side title bars. Where no compositor listens, the connection fails at once.
bool CompositorDrawsTitleBars() {
    wl_display* display = ConnectWayland();
    if (!display)
        return false;
    bool offered = false;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &GlobalsListener, &offered);
    const bool listed = RoundTrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return listed && offered;
}

#else

bool CompositorDrawsTitleBars() {
    return false;
}

#endif

} // namespace

#ifdef AMBRELITH_WAYLAND
bool WaylandOpens() {
    wl_display* display = ConnectWayland();
    const bool opened = display != nullptr;
    if (opened)
        wl_display_disconnect(display);
    return opened;
}
#else
bool WaylandOpens() {
    return false;
}
#endif

#ifdef AMBRELITH_XCB
bool X11Opens() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool opened = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return opened;
}
#else
bool X11Opens() {
    return false;
}
#endif

void ChooseWindowSystem() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    // Wayland still, where the X server cannot be reached.
    if (!CompositorDrawsTitleBars())
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}
