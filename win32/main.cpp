#include "form1.h"

#include <windows.h>

// The program: its one window, shown once the form has loaded, until it is closed.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPWSTR /*lpCmdLine*/,
                    int nShowCmd) {
    // The manifest asks for the same; this covers a copy of the program run without it, on
    // systems that know only the first per-monitor awareness (Wine 8) too.
    if (SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) == FALSE)
        SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    HWND window = Form1::Create(hInstance);
    if (!window)
        return 1;
    Form1::FromHwnd(window)->Show(nShowCmd);
    return Form1::RunMessageLoop();
}
