// The floor for the Windows launch benchmark: a plain Win32 window of Ambrelith's client size and
// title, with one static text control, built with the same resources (icon, version, manifest).
#include "layout.h"

#include <windows.h>

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
    const layout::Twips text = layout::Labels[0].rect;
    CreateWindowExW(0, L"STATIC", L"Select blood group of Mother", WS_CHILD | WS_VISIBLE,
                    layout::ToPixels(text.left, static_cast<int>(dpi)),
                    layout::ToPixels(text.top, static_cast<int>(dpi)),
                    layout::ToPixels(text.width, static_cast<int>(dpi)),
                    layout::ToPixels(text.height, static_cast<int>(dpi)), window, nullptr, instance,
                    nullptr);
    ShowWindow(window, show);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
