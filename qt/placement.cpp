#include "placement.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#ifdef AMBRELITH_XCB
#include <xcb/xcb.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>
#endif

namespace {

// How the window is to be placed on the screen.
struct Placement {
    bool managed = false;              // a window manager gives the window its frame and the focus
    bool placesItself = false;         // the window manager places new windows by its own rules
    bool framePlacedAsCreated = false; // the frame goes where the window is created, not moved
    QMargins frame;                    // in device pixels
};

#ifdef AMBRELITH_XCB

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

enum AtomName {
    NetSupportingWmCheck,
    NetWmName,
    Utf8String,
    NetRequestFrameExtents,
    NetFrameExtents,
    AtomCount
};

constexpr std::array<std::string_view, AtomCount> AtomNames = {
    "_NET_SUPPORTING_WM_CHECK", "_NET_WM_NAME", "UTF8_STRING", "_NET_REQUEST_FRAME_EXTENTS",
    "_NET_FRAME_EXTENTS"};

constexpr std::array<std::string_view, 1> PlaceWindowsThemselves = {"KWin"};

// Weston's window manager for XWayland puts the top left of its frame where an X window is first
// created, and ignores moves before the window is shown. It publishes no frame extents; its frame
// is the same on every window: 6 px borders and a 27 px title bar (its shadow is not counted).
constexpr std::string_view Weston = "Weston WM";
constexpr QMargins WestonFrame(6, 27, 6, 6);

// A window property's raw bytes; empty when it is not set, or the window is gone.
std::string Property(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                     xcb_atom_t type) {
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, property, type, 0, 1024), nullptr),
        std::free);
    const int length = reply ? xcb_get_property_value_length(reply.get()) : 0;
    if (length <= 0)
        return {};
    return {static_cast<const char*>(xcb_get_property_value(reply.get())),
            static_cast<std::size_t>(length)};
}

std::vector<std::uint32_t> Cardinals(const std::string& bytes) {
    std::vector<std::uint32_t> values(bytes.size() / 4);
    if (!values.empty())
        std::memcpy(values.data(), bytes.data(), values.size() * 4);
    return values;
}

// Asks the window manager, before the window is mapped, what frame it will put around it
// (_NET_REQUEST_FRAME_EXTENTS), so that the window is placed right the first time.
Placement AskWindowManager(QWidget& window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return {.managed = true, .placesItself = false, .frame = {}};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;

    std::array<xcb_intern_atom_cookie_t, AtomCount> cookies{};
    for (std::size_t i = 0; i < AtomCount; ++i)
        cookies.at(i) =
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(AtomNames.at(i).size()),
                            AtomNames.at(i).data());
    std::array<xcb_atom_t, AtomCount> atoms{};
    for (std::size_t i = 0; i < AtomCount; ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection, cookies.at(i), nullptr), std::free);
        atoms.at(i) = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    const std::vector<std::uint32_t> check =
        Cardinals(Property(connection, root, atoms[NetSupportingWmCheck], XCB_ATOM_WINDOW));
    // A window manager that ended without cleaning up leaves its check on the root window, naming
    // a window that is gone or, by then, another program's: only its own window names itself.
    if (check.empty() || Cardinals(Property(connection, check[0], atoms[NetSupportingWmCheck],
                                            XCB_ATOM_WINDOW)) != std::vector{check[0]})
        return {};
    // Window managers that do not answer the request place new windows by their own rules
    // whatever position is asked for; KWin's default rule centres them, frame and all.
    const std::string manager = Property(connection, check[0], atoms[NetWmName], atoms[Utf8String]);
    if (std::ranges::find(PlaceWindowsThemselves, manager) != PlaceWindowsThemselves.end())
        return {.managed = true, .placesItself = true, .frame = {}};
    // The window must not be created yet: it is to be created where its frame goes.
    if (manager == Weston)
        return {.managed = true, .framePlacedAsCreated = true, .frame = WestonFrame};

    // The window manager answers by setting _NET_FRAME_EXTENTS on the unmapped window.
    const auto id = static_cast<xcb_window_t>(window.winId());
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = id;
    request.type = atoms[NetRequestFrameExtents];
    std::array<char, sizeof request> event{};
    std::memcpy(event.data(), &request, sizeof request);
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   event.data());
    xcb_flush(connection);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    do {
        const std::vector<std::uint32_t> extents =
            Cardinals(Property(connection, id, atoms[NetFrameExtents], XCB_ATOM_CARDINAL));
        if (extents.size() == 4) // left, right, top, bottom
            return {.managed = true,
                    .placesItself = false,
                    .frame = QMargins(int(extents[0]), int(extents[2]), int(extents[1]),
                                      int(extents[3]))};
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < deadline);
    return {.managed = true, .placesItself = false, .frame = {}};
}

#else

Placement AskWindowManager(QWidget& /*window*/) {
    return {.managed = true, .placesItself = false, .frame = {}};
}

#endif

} // namespace

bool CentreOnScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const Placement placement = AskWindowManager(window);
    if (!screen || placement.placesItself)
        return placement.managed;
    // Device pixels to the window's own, which Qt may scale for the screen.
    const qreal scale = window.devicePixelRatioF(); // the screen's, before the window is made
    const QMargins frame = placement.frame / scale;
    const QRect area = screen->availableGeometry();
    const QSize outer = window.size().grownBy(frame);
    // The centred frame's top left; the client area goes inside it, except where the frame goes
    // where the window is created: there the window, not created yet, is created at that point.
    const QPoint outerCorner(area.x() + (area.width() - outer.width()) / 2,
                             area.y() + (area.height() - outer.height()) / 2);
    const QPoint client = placement.framePlacedAsCreated
                              ? outerCorner
                              : outerCorner + QPoint(frame.left(), frame.top());
    window.setGeometry(QRect(client, window.size()));
    return placement.managed;
}
