#include "placement.h"

using pixels::Height;
using pixels::Width;

namespace {

// The whole window's rectangle, frame included, around the client area laid out for
// `clientDpi`, with the frame drawn for `frameDpi`; its top-left corner at the origin.
RECT FrameAround(int clientDpi, int frameDpi) {
    RECT frame{0, 0, layout::ToPixels(layout::Form1.clientWidth, clientDpi),
               layout::ToPixels(layout::Form1.clientHeight, clientDpi)};
    AdjustWindowRectExForDpi(&frame, Placement::WindowStyle, FALSE, Placement::WindowExStyle,
                             static_cast<UINT>(frameDpi));
    OffsetRect(&frame, -frame.left, -frame.top);
    return frame;
}

// The frame centred on the primary monitor's work area, where the window first appears.
RECT CentredOnWorkArea(RECT frame) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    OffsetRect(&frame, area.left + (Width(area) - Width(frame)) / 2,
               area.top + (Height(area) - Height(frame)) / 2);
    return frame;
}

void MoveTo(HWND window, const RECT& frame) {
    SetWindowPos(window, nullptr, frame.left, frame.top, Width(frame), Height(frame),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

int pixels::Width(const RECT& rect) {
    return rect.right - rect.left;
}

int pixels::Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

RECT pixels::FromTwips(const layout::Twips& twips, int dpi) {
    using layout::ToPixels;
    const int left = ToPixels(twips.left, dpi);
    const int top = ToPixels(twips.top, dpi);
    return {left, top, left + ToPixels(twips.width, dpi), top + ToPixels(twips.height, dpi)};
}

Placement::Placement(int forcedDpi)
    : dpi(forcedDpi > 0 ? forcedDpi : layout::StandardDpi)
    , forced(forcedDpi > 0) {}

RECT Placement::FirstFrame() {
    systemDpi = static_cast<int>(GetDpiForSystem());
    return CentredOnWorkArea(FrameAround(forced ? dpi : systemDpi, systemDpi));
}

void Placement::Settle(HWND window) {
    if (forced)
        return;
    dpi = static_cast<int>(GetDpiForWindow(window));
    if (dpi != systemDpi)
        MoveTo(window, CentredOnWorkArea(FrameAround(dpi, dpi)));
}

SIZE Placement::ScaledSize(int newDpi) {
    const RECT frame = FrameAround(newDpi, newDpi);
    return {Width(frame), Height(frame)};
}

void Placement::Move(HWND window, int newDpi, const RECT& suggested) {
    dpi = newDpi;
    MoveTo(window, suggested);
}

void Placement::FitClientArea(HWND window) const {
    RECT client{};
    GetClientRect(window, &client);
    const int wider = layout::ToPixels(layout::Form1.clientWidth, dpi) - Width(client);
    const int taller = layout::ToPixels(layout::Form1.clientHeight, dpi) - Height(client);
    if (wider == 0 && taller == 0)
        return;
    RECT frame{};
    GetWindowRect(window, &frame);
    MoveTo(window, {frame.left - wider / 2, frame.top - taller / 2, frame.right + wider - wider / 2,
                    frame.bottom + taller - taller / 2});
}
