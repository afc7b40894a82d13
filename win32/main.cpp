#include "form1.h"

#include <windows.h>

// The program: its one window, shown once the form has loaded, until it is closed.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    // The manifest asks for the same; this covers a copy of the program run without it.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    HWND window = Form1::Create(instance);
    if (!window)
        return 1;
    Form1::FromHwnd(window)->Show(showCommand);
    return Form1::RunMessageLoop();
}
