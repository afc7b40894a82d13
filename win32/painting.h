#pragma once

#include "handles.h"
#include "layout.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <optional>

// The window's own colours: its background, the labels' designed colours, and RESTART, which
// draws its own face so that it stays green pressed, focused or disabled. While Windows' high
// contrast is on, each designed colour gives way to the system's colour of its role: the window
// and its text for the form and the labels, the button face and its text, or grey text while
// disabled, for RESTART, and the highlight round it while it has the focus.
class Painting {
public:
    Painting();

    // Whether high contrast is on, asked of Windows again.
    void FollowSystem();
    // While set, stands for Windows' setting in this process, for tests: Wine's cannot be
    // switched.
    // NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
    static inline std::optional<bool> forcedHighContrast;

    // The window's background, behind the controls and around the buttons' faces.
    [[nodiscard]] HBRUSH Background() const;
    void EraseBackground(HWND window, HDC dc) const;
    // Label1 to Label6 (`label` 0 to 5) in their designed colours; where none is designed, and
    // for any other static control, the system's button face and text.
    HBRUSH LabelColours(HDC dc, std::size_t label) const;
    // RESTART in its own green, with the classic push button's edges: raised, or sunken while
    // pressed, an outline while it has the focus, and the focus rectangle.
    void DrawRestart(const DRAWITEMSTRUCT& item, HFONT font) const;

private:
    bool highContrast = false;
    handles::Gdi<HBRUSH> background;
    std::array<handles::Gdi<HBRUSH>, layout::Labels.size()> labelBrushes; // none: the button face
    handles::Gdi<HBRUSH> restartBrush;
};

// The heart, as the window shows it in its title bar and the task switcher.
class HeartIcons {
public:
    // The heart in the sizes a screen of `dpi` asks for, given to `window`.
    void Set(HWND window, HINSTANCE instance, int dpi);
    [[nodiscard]] bool Loaded() const { return bigIcon != nullptr; }

private:
    handles::Icon bigIcon, smallIcon;
};
