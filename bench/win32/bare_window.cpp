// The floor for the Windows launch benchmark: a plain Win32 window of Ambrelith's client size and
// title, with one static text control, built with the same resources (icon, version, manifest).
// Built a second time with WITH_CONTROLS, it has instead the program's nineteen controls at their
// places with their captions and fonts, and nothing behind them: the floor for any window made of
// these controls.
#include "layout.h"

#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"AmbrelithBareWindow";
    RegisterClassExW(&windowClass);

    constexpr DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const UINT dpi = GetDpiForSystem();
    RECT frame = {0, 0, layout::ToPixels(layout::Form1.clientWidth, static_cast<int>(dpi)),
                  layout::ToPixels(layout::Form1.clientHeight, static_cast<int>(dpi))};
    AdjustWindowRectExForDpi(&frame, Style, FALSE, 0, dpi);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Ambrelith", Style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, nullptr);
    const auto pixels = [dpi](int twips) { return layout::ToPixels(twips, static_cast<int>(dpi)); };
#ifdef WITH_CONTROLS
    HFONT fonts[layout::Fonts.size()] = {};
    for (std::size_t i = 0; i < layout::Fonts.size(); ++i) {
        const layout::Font& font = layout::Fonts[i];
        const std::wstring face(font.substitute.begin(), font.substitute.end());
        fonts[i] = CreateFontW(-static_cast<int>(font.points * dpi / 72 + 0.5), 0, 0, 0,
                               font.weight, FALSE, FALSE, FALSE, static_cast<DWORD>(font.charset),
                               0, 0, 0, 0, face.c_str());
    }
    const auto add = [&](const wchar_t* kind, DWORD style, const layout::Twips& rect,
                         std::string_view caption, layout::FontKey font) {
        const std::wstring text(caption.begin(), caption.end());
        HWND control = CreateWindowExW(0, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                                       pixels(rect.left), pixels(rect.top), pixels(rect.width),
                                       pixels(rect.height), window, nullptr, instance, nullptr);
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts[static_cast<std::size_t>(font)]), FALSE);
    };
    for (const auto* row : {&layout::Command1, &layout::Command2})
        for (const layout::Button& button : *row)
            add(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, button.rect, button.caption, button.font);
    add(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, layout::Command3.rect, layout::Command3.caption,
        layout::Command3.font);
    for (const layout::Label& label : layout::Labels)
        add(L"STATIC", label.align == layout::Align::Centre ? SS_CENTER : SS_LEFT, label.rect,
            label.caption, label.font);
#else
    const layout::Twips text = layout::Labels[0].rect;
    CreateWindowExW(0, L"STATIC", L"Select blood group of Mother", WS_CHILD | WS_VISIBLE,
                    pixels(text.left), pixels(text.top), pixels(text.width), pixels(text.height),
                    window, nullptr, instance, nullptr);
#endif
    ShowWindow(window, show);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
