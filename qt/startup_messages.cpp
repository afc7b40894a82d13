#include "startup_messages.h"

#include "window_system.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

#ifdef AMBRELITH_WAYLAND
#include <wayland-client.h>

#include <array>
#include <cstdarg>
#endif

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category; // null where the message has none
    QString text;
    bool operator==(const HeldMessage&) const = default;
};

// The messages while Qt starts, and the handler Qt's go to once it has. Qt may write from any of
// its threads.
struct Starting {
    std::mutex lock;
    bool started = false;
    QtMessageHandler passOn = nullptr;
    QList<HeldMessage> held;
};

Starting& Start() {
    static Starting start;
    return start;
}

// Keeps a message until Qt has started or failed; returns false where it has started already.
bool Hold(const HeldMessage& message) {
    const std::scoped_lock guard(Start().lock);
    if (Start().started)
        return false;
    if (!Start().held.contains(message))
        Start().held.append(message);
    return true;
}

// Qt tells of each platform plugin it tried: a warning where none of that name is installed,
// a note where one was found but could not start (its display unreachable, or the plugin broken).
bool PluginNoted(const QList<HeldMessage>& held, QtMsgType type) {
    return std::ranges::any_of(held, [type](const HeldMessage& message) {
        return message.type == type && message.category == "qt.qpa.plugin";
    });
}

struct NoWindow {
    QByteArray why; // the one line that says why the window cannot be shown
    bool noPlugin;  // rather than no display
};

NoWindow WhyNoWindow(const QList<HeldMessage>& held) {
    NoWindow noPlugin{"no usable Qt platform plugin to show the window with (Debian "
                      "packages qt6-qpa-plugins, and qt6-wayland for Wayland)",
                      true};
    if (PluginNoted(held, QtWarningMsg) && !PluginNoted(held, QtInfoMsg))
        return noPlugin;
    const QByteArray x11 = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (x11.isEmpty() && wayland.isEmpty())
        return {"no display found to show the window on; start it in a desktop session, or on a "
                "machine without one under xvfb-run (Debian package xvfb)",
                false};
    QList<QByteArray> unreachable;
    if (!x11.isEmpty() && !X11Opens())
        unreachable.append("X11 display " + x11);
    if (!wayland.isEmpty() && !WaylandOpens())
        unreachable.append("Wayland display " + wayland);
    if (unreachable.isEmpty())
        return noPlugin;
    return {"cannot open the " + unreachable.join(" nor the ") + " to show the window on", false};
}

void Print(const HeldMessage& message) {
    if (message.type == QtDebugMsg)
        return;
    const QByteArray& category = message.category;
    const QByteArray line =
        (category.isEmpty() || category == "default" ? QByteArray() : category + ": ") +
        message.text.trimmed().toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fputc('\n', stderr);
}

// Qt ends the program where no platform plugin starts; instead the program says why in one line,
// Qt's own reasons below it, and ends with status 1, without a core dump.
void WhileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const HeldMessage message{type, context.category, text};
    if (type != QtFatalMsg) {
        if (!Hold(message))
            qt_message_output(type, context, text); // to the handler Qt has now
        return;
    }
    QList<HeldMessage> reasons;
    {
        // Taken before looking at the displays, whose own connection attempts add nothing new.
        const std::scoped_lock guard(Start().lock);
        reasons = std::exchange(Start().held, {});
    }
    const NoWindow noWindow = WhyNoWindow(reasons);
    std::fputs("ambrelith: " + noWindow.why + '\n', stderr);
    for (const HeldMessage& reason : reasons)
        Print(reason);
    if (noWindow.noPlugin)
        Print(message);
    std::_Exit(1);
}

#ifdef AMBRELITH_WAYLAND
// libwayland writes its errors straight to the standard error, such as that of a connection to a
// missing compositor; they are held and passed on with Qt's.
void WhileWaylandStarts(const char* format, va_list arguments) {
    std::array<char, 1024> text{};
    std::vsnprintf(text.data(), text.size(), format, arguments);
    if (!Hold({QtWarningMsg, {}, QString::fromLocal8Bit(text.data()).trimmed()}))
        std::fputs(text.data(), stderr);
}
#endif

} // namespace

void ExpectDisplay() {
    Start().passOn = qInstallMessageHandler(WhileStarting);
#ifdef AMBRELITH_WAYLAND
    wl_log_set_handler_client(WhileWaylandStarts);
#endif
}

void DisplayFound() {
    qInstallMessageHandler(Start().passOn);
    QList<HeldMessage> held;
    {
        const std::scoped_lock guard(Start().lock);
        Start().started = true;
        held = std::exchange(Start().held, {});
    }
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr,
                                         message.category.isNull() ? nullptr
                                                                   : message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
}
