#include "answer_tooltip.h"

#include "placement.h"
#include "wide_text.h"

#include <algorithm>
#include <utility>

using handles::AsInteger;
using handles::AsPointer;

namespace {

int Width(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
}

} // namespace

void AnswerTooltip::Create(HWND owner, HWND answerLabel, HINSTANCE instance, int dpi) {
    label = answerLabel;
    tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = AsInteger<UINT_PTR>(label);
    tool.lpszText = LPSTR_TEXTCALLBACKW; // NOLINT(performance-no-int-to-ptr)
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, AsInteger<LPARAM>(&tool));
    SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
    Fit(dpi);
    if (!text.empty())
        SendMessageW(tooltip, TTM_UPDATE, 0, 0);
}

// The tooltip would keep the font of the system's resolution.
void AnswerTooltip::Fit(int dpi) {
    if (!tooltip)
        return;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                   static_cast<UINT>(dpi)) != FALSE) {
        handles::Gdi<HFONT> status(CreateFontIndirectW(&metrics.lfStatusFont));
        SendMessageW(tooltip, WM_SETFONT, AsInteger<WPARAM>(status.get()), TRUE);
        font = std::move(status);
    }
}

void AnswerTooltip::SetAnswer(std::int16_t mother, std::int16_t father) {
    table = meaning::AnswerDetailsTable(mother, father);
    text = widetext::ToUtf16(meaning::AnswerDetailsText(mother, father));
    if (tooltip)
        SendMessageW(tooltip, text.empty() ? TTM_POP : TTM_UPDATE, 0, 0);
}

LRESULT AnswerTooltip::OnNotify(NMHDR& header) {
    if (!tooltip || header.hwndFrom != tooltip)
        return 0;
    switch (header.code) {
    case TTN_GETDISPINFOW: { // asked each time it shows
        auto& request = *AsPointer<NMTTDISPINFOW*>(&header);
        request.hinst = nullptr;
        request.lpszText = text.data();
        return 0;
    }
    case TTN_SHOW:
        Place();
        return TRUE;
    case NM_CUSTOMDRAW: {
        const auto& draw = *AsPointer<NMTTCUSTOMDRAW*>(&header);
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYPOSTPAINT;
        if (draw.nmcd.dwDrawStage == CDDS_POSTPAINT) {
            // Over what the tooltip drew of its text, in its own colours and the same font that
            // sized it.
            handles::Gdi<HBRUSH> paper(CreateSolidBrush(
                static_cast<COLORREF>(SendMessageW(tooltip, TTM_GETTIPBKCOLOR, 0, 0))));
            FillRect(draw.nmcd.hdc, &draw.nmcd.rc, paper.get());
            const HGDIOBJ previous = SelectObject(draw.nmcd.hdc, font.get());
            LayOutTable(draw.nmcd.hdc, &draw.nmcd.rc);
            SelectObject(draw.nmcd.hdc, previous);
        }
        return CDRF_DODEFAULT;
    }
    default:
        return 0;
    }
}

// The tooltip as large as the table, below the answer label, or above it where the work area
// ends below.
void AnswerTooltip::Place() const {
    HDC dc = GetDC(tooltip);
    const HGDIOBJ previous = SelectObject(dc, font.get());
    const SIZE size = LayOutTable(dc, nullptr);
    SelectObject(dc, previous);
    ReleaseDC(tooltip, dc);
    RECT frame = {0, 0, size.cx, size.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(tooltip, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(tooltip, GWL_EXSTYLE)));
    const int width = pixels::Width(frame);
    const int height = pixels::Height(frame);
    RECT under{};
    GetWindowRect(label, &under);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromRect(&under, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int left = std::max(work.left, std::min(under.left, work.right - width));
    int top = under.bottom + 2;
    if (top + height > work.bottom)
        top = under.top - 2 - height;
    SetWindowPos(tooltip, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The table in the font selected into `dc`: the genotypes with their chances right-aligned, the
// blood groups, and the square with a line round every cell. Draws it inside `drawInto` when
// given; returns its size with its margins either way, so that the tooltip is sized by the very
// layout it is drawn by.
SIZE AnswerTooltip::LayOutTable(HDC dc, const RECT* drawInto) const {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int line = static_cast<int>(metrics.tmHeight);
    const int letter = static_cast<int>(metrics.tmAveCharWidth);
    const int pad = std::max(2, letter / 2); // above and below the text of a cell
    const int margin = pad + 1;
    const POINT origin =
        drawInto ? POINT{drawInto->left + margin, drawInto->top + margin} : POINT{margin, margin};
    const auto ink = static_cast<COLORREF>(SendMessageW(tooltip, TTM_GETTIPTEXTCOLOR, 0, 0));
    handles::Gdi<HBRUSH> lines(drawInto ? CreateSolidBrush(ink) : nullptr);
    if (drawInto) {
        SetTextColor(dc, ink);
        SetBkMode(dc, TRANSPARENT);
    }
    const auto write = [&](const std::string& utf8, int x, int y) {
        const std::wstring wide = widetext::ToUtf16(utf8);
        if (drawInto)
            TextOutW(dc, origin.x + x, origin.y + y, wide.c_str(), static_cast<int>(wide.size()));
        return Width(dc, wide);
    };
    const auto measure = [&](const std::string& utf8) {
        return Width(dc, widetext::ToUtf16(utf8));
    };

    int codes = 0;
    int chances = 0;
    for (const auto& [code, chance] : table.children) {
        codes = std::max(codes, measure(code));
        chances = std::max(chances, measure(chance));
    }
    const int gap = 2 * letter;
    int y = 0;
    for (const auto& [code, chance] : table.children) {
        write(code, 0, y);
        write(chance, codes + gap + chances - measure(chance), y);
        y += line;
    }
    int width = std::max(codes + gap + chances, write(table.groups, 0, y));
    y += line + pad;

    std::array<int, 3> columns{};
    for (const auto& row : table.square)
        for (std::size_t column = 0; column < row.size(); ++column)
            columns.at(column) = std::max(columns.at(column), measure(row.at(column)) + 2 * letter);
    const int rowHeight = line + 2 * pad;
    int x = 0;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        for (std::size_t row = 0; row < table.square.size(); ++row) {
            const int top = y + static_cast<int>(row) * (rowHeight + 1);
            if (drawInto) { // each cell framed; neighbours share the line between them
                const RECT frame = {origin.x + x, origin.y + top,
                                    origin.x + x + columns.at(column) + 2,
                                    origin.y + top + rowHeight + 2};
                FrameRect(dc, &frame, lines.get());
            }
            const std::string& cell = table.square.at(row).at(column);
            write(cell, x + 1 + (columns.at(column) - measure(cell)) / 2, top + 1 + pad);
        }
        x += columns.at(column) + 1;
    }
    y += static_cast<int>(table.square.size()) * (rowHeight + 1) + 1;
    return {std::max(width, x + 1) + 2 * margin, y + 2 * margin};
}
