#pragma once

#include "handles.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

// Shows what the answer means while the mouse rests on the answer label. It is made once the
// window is on the screen; until then it only keeps its text.
class AnswerTooltip {
public:
    // Makes the tooltip of `owner` over its control `label`, for a screen of `dpi`.
    void Create(HWND owner, HWND label, HINSTANCE instance, int dpi);
    // The status font of a screen of `dpi`, and the width to go with it.
    void Fit(int dpi);
    // The text shown from now on; empty shows none.
    void SetText(const std::string& shown);
    // Answers the tooltip's request for its text; false for any other notification.
    bool OnNotify(NMHDR& header);

    [[nodiscard]] HWND Handle() const { return tooltip; }
    [[nodiscard]] std::string Text() const;

private:
    HWND tooltip = nullptr; // destroyed with its owner
    handles::Gdi<HFONT> font;
    std::wstring text;
};
