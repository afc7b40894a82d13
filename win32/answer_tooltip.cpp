#include "answer_tooltip.h"

#include "layout.h"
#include "wide_text.h"

#include <utility>

using handles::AsInteger;

void AnswerTooltip::Create(HWND owner, HWND label, HINSTANCE instance, int dpi) {
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

// The tooltip would keep the font of the system's resolution; it is wide enough that it breaks
// its lines only where the text does.
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
    SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, MulDiv(640, dpi, layout::StandardDpi));
}

void AnswerTooltip::SetText(const std::string& shown) {
    text = widetext::ToUtf16(shown);
    if (tooltip)
        SendMessageW(tooltip, text.empty() ? TTM_POP : TTM_UPDATE, 0, 0);
}

// The tooltip asks for its text each time it shows.
bool AnswerTooltip::OnNotify(NMHDR& header) {
    if (!tooltip || header.hwndFrom != tooltip || header.code != TTN_GETDISPINFOW)
        return false;
    auto& request = *handles::AsPointer<NMTTDISPINFOW*>(&header);
    request.hinst = nullptr;
    request.lpszText = text.data();
    return true;
}

std::string AnswerTooltip::Text() const {
    return widetext::ToUtf8(text);
}
