#include "session.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace {

// The Wayland globals through which a compositor offers to draw its clients' title bars.
constexpr std::array<std::string_view, 2> ServerDecorations = {
    "zxdg_decoration_manager_v1", "org_kde_kwin_server_decoration_manager"};

class Socket {
public:
    Socket()
        : fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    ~Socket() {
        if (fd >= 0)
            close(fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket(Socket&&) = delete;
    Socket& operator=(Socket&&) = delete;

    const int fd;
};

std::uint32_t Word(const QByteArray& bytes, qsizetype at) {
    std::uint32_t word = 0;
    std::memcpy(&word, bytes.sliced(at, sizeof word).constData(), sizeof word);
    return word;
}

// Lists the compositor's globals over the Wayland wire protocol (a registry, then a sync to know
// the list is complete) and tells whether one of them offers server-side title bars.
bool CompositorDrawsTitleBars() {
    const QByteArray name = qgetenv("WAYLAND_DISPLAY");
    const QByteArray path = name.startsWith('/') ? name : qgetenv("XDG_RUNTIME_DIR") + '/' + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(static_cast<char*>(address.sun_path), path.constData(), path.size());
    const Socket wayland;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the socket API's own idiom
    const auto* generic = reinterpret_cast<const sockaddr*>(&address);
    if (wayland.fd < 0 || connect(wayland.fd, generic, sizeof address) != 0)
        return false;

    enum : std::uint32_t { Display = 1, Registry = 2, Callback = 3 };
    enum : std::uint32_t { Sync = 0, GetRegistry = 1 };       // requests of the display
    enum : std::uint32_t { Error = 0, Global = 0, Done = 0 }; // events of each object
    constexpr std::uint32_t RequestSize = 12 << 16;
    const std::array<std::uint32_t, 6> requests = {Display, RequestSize | GetRegistry, Registry,
                                                   Display, RequestSize | Sync,        Callback};
    if (write(wayland.fd, requests.data(), sizeof requests) != ssize_t(sizeof requests))
        return false;

    bool offered = false;
    QByteArray received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd ready{wayland.fd, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0)
            continue;
        std::array<char, 4096> chunk{};
        const ssize_t count = read(wayland.fd, chunk.data(), chunk.size());
        if (count <= 0)
            return false;
        received.append(chunk.data(), count);
        // Each message: object id, then size (bytes, header included) << 16 | event code.
        while (received.size() >= 8) {
            const std::uint32_t object = Word(received, 0);
            const std::uint32_t size = Word(received, 4) >> 16;
            const std::uint32_t event = Word(received, 4) & 0xffff;
            if (size < 8 || size % 4 != 0)
                return false;
            if (received.size() < qsizetype(size))
                break;
            if (object == Display && event == Error)
                return false;
            if (object == Callback && event == Done)
                return offered;
            // A global: its name, the interface name as a string (length with its NUL, then
            // the bytes padded to four), its version.
            if (object == Registry && event == Global && size >= 16) {
                const std::uint32_t length = Word(received, 12);
                if (length > 0 && length <= size - 16) {
                    const std::string interface = received.sliced(16, length - 1).toStdString();
                    offered = offered || std::ranges::find(ServerDecorations, interface) !=
                                             ServerDecorations.end();
                }
            }
            received.remove(0, size);
        }
    }
    return false;
}

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// Qt's messages while it starts, and the handler they go to once it has.
struct Starting {
    QtMessageHandler passOn = nullptr;
    QList<HeldMessage> held;
};

Starting& Start() {
    static Starting start;
    return start;
}

void WhileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fputs("ambrelith: no display found to show the window on; start it in a desktop "
                   "session, or on a machine without one under xvfb-run (Debian package "
                   "xvfb)\n",
                   stderr);
        std::_Exit(1);
    }
    Start().held.append({type, context.category, text});
}

} // namespace

void ChooseWindowSystem() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    // Wayland still, where the X server cannot be reached.
    if (!CompositorDrawsTitleBars())
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

void ExpectDisplay() {
    Start().passOn = qInstallMessageHandler(WhileStarting);
}

void DisplayFound() {
    qInstallMessageHandler(Start().passOn);
    for (const HeldMessage& message : std::exchange(Start().held, {})) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
}
