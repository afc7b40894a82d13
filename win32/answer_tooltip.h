#pragma once

#include "answer_meaning.h"
#include "handles.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>

// Shows what the answer means while the mouse rests on the answer label: the child genotypes
// with their chances, the blood groups, and the Punnett square as a grid. It is made once the
// window is on the screen; until then it only keeps its text.
class AnswerTooltip {
public:
    // Makes the tooltip of `owner` over its control `label`, for a screen of `dpi`.
    void Create(HWND owner, HWND label, HINSTANCE instance, int dpi);
    // The status font of a screen of `dpi`.
    void Fit(int dpi);
    // What is shown from now on: the answer of a mother and a father; none while either is 0.
    void SetAnswer(std::int16_t mother, std::int16_t father);
    // Answers the tooltip's notifications: its text, its size and place, and its drawing. What
    // the window's WM_NOTIFY returns; 0 for any other notification.
    LRESULT OnNotify(NMHDR& header);

    [[nodiscard]] HWND Handle() const { return tooltip; }

private:
    SIZE LayOutTable(HDC dc, const RECT* drawInto) const;
    void Place() const;

    HWND tooltip = nullptr; // destroyed with its owner
    HWND label = nullptr;
    handles::Gdi<HFONT> font;
    meaning::AnswerTable table;
    std::wstring text; // the table as plain text, which the tooltip holds for screen readers
};
