#pragma once

#include "layout.h"

#include <windows.h>

// Where the window stands and at what resolution it is laid out: its frame around the designed
// client area, centred on the work area, and kept so as the window moves between resolutions.

namespace pixels {

int Width(const RECT& rect);
int Height(const RECT& rect);
// A rectangle of the layout on a screen of `dpi` dots per inch.
RECT FromTwips(const layout::Twips& twips, int dpi);

} // namespace pixels

// The resolution the window is laid out for: its screen's, or one fixed when it is made.
class Placement {
public:
    // A fixed single border with the close box only: no minimise, no maximise, no resizing.
    static constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    static constexpr DWORD WindowExStyle = 0;

    // `forcedDpi` 0 follows the screen; any other value lays the window out for that one.
    explicit Placement(int forcedDpi);

    [[nodiscard]] int Dpi() const { return dpi; }

    // Where the window is made: centred on the work area, for the system's resolution, so that
    // it appears where it belongs.
    [[nodiscard]] RECT FirstFrame();
    // Once the window exists: its own resolution, centred anew where that is not the system's.
    void Settle(HWND window);
    // The whole window's size for a move to a screen of `newDpi`.
    [[nodiscard]] static SIZE ScaledSize(int newDpi);
    // Moved to a screen of `newDpi`: the frame to where Windows suggests.
    void Move(HWND window, int newDpi, const RECT& suggested);
    // Makes the client area exactly the designed size, about the same centre, wherever the frame
    // is drawn at another resolution than the one asked about.
    void FitClientArea(HWND window) const;

private:
    int dpi;
    bool forced;
    int systemDpi = layout::StandardDpi;
};
