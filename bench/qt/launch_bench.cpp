// Launch benchmark: starts the program and the bare window in turn, A B A B, on the X server in
// DISPLAY, and prints what each launch cost.
//   launch_bench PROGRAM BARE [RUNS]
// For each launch: the time from process start until its window is mapped, then, after the window
// has had time to draw itself, a close request as a window manager sends it (WM_DELETE_WINDOW);
// when the process has ended, its CPU time (user + system) and peak resident memory.
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr auto SettleTime = std::chrono::milliseconds(500); // the window draws itself meanwhile
constexpr int TimeoutMs = 20000;

struct Sample {
    double mapMs = 0;
    double cpuMs = 0;
    double peakMiB = 0;
};

class Display {
public:
    Display()
        : connection(xcb_connect(nullptr, nullptr), xcb_disconnect) {
        if (xcb_connection_has_error(connection.get()))
            throw std::runtime_error("cannot open the X display");
        root = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection.get(), root, XCB_CW_EVENT_MASK, &mask);
        pidAtom = Atom("_NET_WM_PID");
        protocolsAtom = Atom("WM_PROTOCOLS");
        deleteAtom = Atom("WM_DELETE_WINDOW");
        xcb_flush(connection.get());
    }

    // Waits for a window of the process to be mapped; returns it, or 0 on time-out.
    xcb_window_t WaitForMap(pid_t pid) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs);
        while (Clock::now() < deadline) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(
                xcb_poll_for_event(connection.get()), std::free);
            if (!event) {
                pollfd fd{xcb_get_file_descriptor(connection.get()), POLLIN, 0};
                poll(&fd, 1, 50);
                continue;
            }
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event.get());
            if (PidOf(map->window) == pid)
                return map->window;
        }
        return 0;
    }

    void Close(xcb_window_t window) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = protocolsAtom;
        message.data.data32[0] = deleteAtom;
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection.get(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(connection.get());
    }

    // Drops the events of earlier launches.
    void Drain() {
        while (auto* event = xcb_poll_for_event(connection.get()))
            std::free(event);
    }

private:
    xcb_atom_t Atom(const char* name) {
        auto cookie =
            xcb_intern_atom(connection.get(), 0, std::char_traits<char>::length(name), name);
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection.get(), cookie, nullptr), std::free);
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    pid_t PidOf(xcb_window_t window) {
        auto cookie =
            xcb_get_property(connection.get(), 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1);
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(connection.get(), cookie, nullptr), std::free);
        if (!reply || xcb_get_property_value_length(reply.get()) != 4)
            return 0;
        return static_cast<pid_t>(
            *static_cast<std::uint32_t*>(xcb_get_property_value(reply.get())));
    }

    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection;
    xcb_window_t root = 0;
    xcb_atom_t pidAtom = 0, protocolsAtom = 0, deleteAtom = 0;
};

Sample Launch(Display& display, const std::string& program) {
    display.Drain();
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0)
        throw std::runtime_error("cannot start " + program);
    const xcb_window_t window = display.WaitForMap(pid);
    const auto mapped = Clock::now();
    if (window) {
        std::this_thread::sleep_for(SettleTime);
        display.Close(window);
    } else {
        kill(pid, SIGKILL);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!window || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(program + " did not map a window and exit cleanly");
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return {Milliseconds(mapped - start).count(),
            (seconds(usage.ru_utime) + seconds(usage.ru_stime)) * 1000.0,
            double(usage.ru_maxrss) / 1024.0};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: launch_bench PROGRAM BARE [RUNS]\n");
        return 2;
    }
    const std::string program = argv[1], bare = argv[2];
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 11;
    try {
        Display display;
        Launch(display, program); // warm the caches; not counted
        Launch(display, bare);
        std::vector<Sample> a, b;
        std::printf("%4s  %21s  %21s  %21s\n", "pair", "map ms (prog/bare)", "cpu ms (prog/bare)",
                    "peak MiB (prog/bare)");
        for (int i = 0; i < runs; ++i) {
            a.push_back(Launch(display, program));
            b.push_back(Launch(display, bare));
            std::printf("%4d  %7.1f / %7.1f %4.2fx  %7.1f / %7.1f %4.2fx  %7.2f / %7.2f %+5.2f\n",
                        i + 1, a.back().mapMs, b.back().mapMs, a.back().mapMs / b.back().mapMs,
                        a.back().cpuMs, b.back().cpuMs, a.back().cpuMs / b.back().cpuMs,
                        a.back().peakMiB, b.back().peakMiB, a.back().peakMiB - b.back().peakMiB);
        }
        const auto median = [](const std::vector<Sample>& samples, double Sample::*field) {
            std::vector<double> values;
            for (const Sample& s : samples)
                values.push_back(s.*field);
            return Median(values);
        };
        std::vector<double> mapRatios, cpuRatios, memoryDiffs;
        for (int i = 0; i < runs; ++i) {
            mapRatios.push_back(a[i].mapMs / b[i].mapMs);
            cpuRatios.push_back(a[i].cpuMs / b[i].cpuMs);
            memoryDiffs.push_back(a[i].peakMiB - b[i].peakMiB);
        }
        std::printf("\nmedians over %d launches each\n", runs);
        std::printf("  time to map   %7.1f ms program, %7.1f ms bare: %.2fx (pairs: %.2fx)\n",
                    median(a, &Sample::mapMs), median(b, &Sample::mapMs),
                    median(a, &Sample::mapMs) / median(b, &Sample::mapMs), Median(mapRatios));
        std::printf("  CPU time      %7.1f ms program, %7.1f ms bare: %.2fx (pairs: %.2fx)\n",
                    median(a, &Sample::cpuMs), median(b, &Sample::cpuMs),
                    median(a, &Sample::cpuMs) / median(b, &Sample::cpuMs), Median(cpuRatios));
        std::printf("  peak memory   %7.2f MiB program, %7.2f MiB bare: %+.2f MiB (pairs: %+.2f)\n",
                    median(a, &Sample::peakMiB), median(b, &Sample::peakMiB),
                    median(a, &Sample::peakMiB) - median(b, &Sample::peakMiB), Median(memoryDiffs));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "launch_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
