// Windows launch benchmark: starts the program and the bare window in turn, A B A B, and prints
// what each launch cost.
//   launch_bench PROGRAM BARE [RUNS]
// For each launch: the time from CreateProcess until a visible top-level window of the process
// titled "Ambrelith" exists, looked for every millisecond at the least cost to the launch (under
// Wine each question about another process's window is a call to the Wine server, which the
// launch needs too); then, after the window has had time to draw itself, WM_CLOSE; when
// the process has ended, its CPU time (user + kernel, GetProcessTimes) and peak working set
// (GetProcessMemoryInfo, read before the close as well). The first launch of each is a warm-up and
// is not counted.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr DWORD SettleMs = 500; // the window draws itself meanwhile
constexpr DWORD TimeoutMs = 20000;

struct Sample {
    double shownMs = 0;
    double cpuMs = 0;
    double peakMiB = 0;
};

struct Search {
    DWORD processId;
    HWND window = nullptr;      // the process's window titled "Ambrelith", shown or not yet
    std::set<HWND> others = {}; // top-level windows of other processes, not asked about again
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (search->others.contains(window))
        return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) {
        search->others.insert(window);
        return TRUE;
    }
    // The process's own windows are asked again until one has the title, given just after it
    // exists.
    wchar_t title[32] = {};
    if (GetWindowTextW(window, title, 32) > 0 && std::wcscmp(title, L"Ambrelith") == 0) {
        search->window = window;
        return FALSE;
    }
    return TRUE;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) / ticksPerMs;
}

double FileTimeMs(const FILETIME& time) {
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                               time.dwLowDateTime) /
           10000.0;
}

Sample Launch(const std::wstring& program) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        throw std::runtime_error("cannot start the program");
    Sample sample;
    Search search{process.dwProcessId};
    LARGE_INTEGER now = started;
    bool shown = false;
    while (!shown && Milliseconds(started, now) < TimeoutMs) {
        if (!search.window)
            EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
        shown = search.window && IsWindowVisible(search.window);
        QueryPerformanceCounter(&now);
        if (!shown)
            Sleep(1);
    }
    if (!shown) {
        TerminateProcess(process.hProcess, 1);
        throw std::runtime_error("no window shown in time");
    }
    sample.shownMs = Milliseconds(started, now);
    Sleep(SettleMs);
    // Read while the process runs: Wine knows another process's memory only while it exists.
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
        sample.peakMiB = static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);
    PostMessageW(search.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, TimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        throw std::runtime_error("the program did not end on WM_CLOSE");
    }
    FILETIME creation, exit, kernel, user;
    if (GetProcessTimes(process.hProcess, &creation, &exit, &kernel, &user))
        sample.cpuMs = FileTimeMs(kernel) + FileTimeMs(user);
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
        sample.peakMiB = std::max(sample.peakMiB, static_cast<double>(memory.PeakWorkingSetSize) /
                                                      (1024.0 * 1024.0));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return sample;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

template <typename Field>
std::vector<double> Column(const std::vector<Sample>& samples, Field field) {
    std::vector<double> column;
    for (const Sample& sample : samples)
        column.push_back(sample.*field);
    return column;
}

// The median of the per-pair ratios, less sensitive to a slow spell than the ratio of medians.
template <typename Field>
double PairRatio(const std::vector<Sample>& program, const std::vector<Sample>& bare, Field field) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < program.size(); ++i)
        ratios.push_back(program[i].*field / bare[i].*field);
    return Median(ratios);
}

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: launch_bench PROGRAM BARE [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 21;
    try {
        Launch(argv[1]);
        Launch(argv[2]);
        std::vector<Sample> program;
        std::vector<Sample> bare;
        for (int i = 0; i < runs; ++i) {
            program.push_back(Launch(argv[1]));
            bare.push_back(Launch(argv[2]));
        }
        std::printf("%d launches each, medians:\n", runs);
        std::printf("%-22s %12s %12s %18s\n", "", "program", "bare window", "program / bare");
        const double shownP = Median(Column(program, &Sample::shownMs));
        const double shownB = Median(Column(bare, &Sample::shownMs));
        std::printf("%-22s %9.1f ms %9.1f ms %8.2fx (pairs %.2fx)\n", "time to shown", shownP,
                    shownB, shownP / shownB, PairRatio(program, bare, &Sample::shownMs));
        const double cpuP = Median(Column(program, &Sample::cpuMs));
        const double cpuB = Median(Column(bare, &Sample::cpuMs));
        std::printf("%-22s %9.1f ms %9.1f ms %8.2fx (pairs %.2fx)\n", "CPU time", cpuP, cpuB,
                    cpuB > 0 ? cpuP / cpuB : 0.0,
                    cpuB > 0 ? PairRatio(program, bare, &Sample::cpuMs) : 0.0);
        const double peakP = Median(Column(program, &Sample::peakMiB));
        const double peakB = Median(Column(bare, &Sample::peakMiB));
        std::printf("%-22s %8.2f MiB %8.2f MiB %+8.2f MiB\n", "peak working set", peakP, peakB,
                    peakP - peakB);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "launch_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
