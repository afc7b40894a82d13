#include "painting.h"

#include "control_ids.h"
#include "wide_text.h"

#include <string>
#include <utility>

namespace {

COLORREF ToColorRef(const layout::Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

} // namespace

Painting::Painting()
    : background(CreateSolidBrush(ToColorRef(layout::Form1.background)))
    , restartBrush(CreateSolidBrush(ToColorRef(*layout::Command3.background))) {
    for (std::size_t i = 0; i < layout::Labels.size(); ++i)
        if (layout::Labels.at(i).background)
            labelBrushes.at(i).reset(
                CreateSolidBrush(ToColorRef(*layout::Labels.at(i).background)));
    FollowSystem();
}

void Painting::FollowSystem() {
    if (forcedHighContrast) {
        highContrast = *forcedHighContrast;
        return;
    }
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    highContrast =
        SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) != FALSE &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HBRUSH Painting::Background() const {
    return highContrast ? GetSysColorBrush(COLOR_WINDOW) : background.get();
}

void Painting::EraseBackground(HWND window, HDC dc) const {
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, Background());
}

HBRUSH Painting::LabelColours(HDC dc, std::size_t label) const {
    if (label >= layout::Labels.size())
        return GetSysColorBrush(COLOR_BTNFACE);
    const layout::Label& look = layout::Labels.at(label);
    const auto& brush = labelBrushes.at(label);
    if (!brush || highContrast) { // a label of designed colours takes the window's
        const bool designed = brush != nullptr;
        SetTextColor(dc, GetSysColor(designed ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(designed ? COLOR_WINDOW : COLOR_BTNFACE));
        return GetSysColorBrush(designed ? COLOR_WINDOW : COLOR_BTNFACE);
    }
    SetTextColor(dc, look.text ? ToColorRef(*look.text) : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, ToColorRef(*look.background));
    return brush.get();
}

void Painting::DrawRestart(const DRAWITEMSTRUCT& item, HFONT font) const {
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    if (focused) {
        FrameRect(dc, &face,
                  highContrast ? GetSysColorBrush(COLOR_HIGHLIGHT)
                               : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&face, -1, -1);
    }
    FillRect(dc, &face, highContrast ? GetSysColorBrush(COLOR_BTNFACE) : restartBrush.get());
    if (pressed)
        FrameRect(dc, &face, GetSysColorBrush(COLOR_BTNSHADOW));
    else
        DrawEdge(dc, &face, EDGE_RAISED, BF_RECT);

    const std::wstring caption = widetext::WindowText(item.hwndItem);
    RECT text = face;
    if (pressed)
        OffsetRect(&text, 1, 1);
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(
        dc, GetSysColor((item.itemState & ODS_DISABLED) != 0 ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
    if (focused && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        InflateRect(&face, -3, -3);
        DrawFocusRect(dc, &face);
    }
}

void HeartIcons::Set(HWND window, HINSTANCE instance, int dpi) {
    const auto heart = [&](int width, int height) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr, cppcoreguidelines-pro-type-cstyle-cast)
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(win32ids::HeartIcon),
                                             IMAGE_ICON, GetSystemMetricsForDpi(width, dpi),
                                             GetSystemMetricsForDpi(height, dpi), 0));
    };
    handles::Icon loadedBig(heart(SM_CXICON, SM_CYICON));
    handles::Icon loadedSmall(heart(SM_CXSMICON, SM_CYSMICON));
    using handles::AsInteger;
    SendMessageW(window, WM_SETICON, ICON_BIG, AsInteger<LPARAM>(loadedBig.get()));
    SendMessageW(window, WM_SETICON, ICON_SMALL, AsInteger<LPARAM>(loadedSmall.get()));
    bigIcon = std::move(loadedBig);
    smallIcon = std::move(loadedSmall);
}
