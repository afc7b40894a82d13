// The Wine set-up the Windows tests run in: the desktop's DPI is the one asked for through
// AMBRELITH_WINE_DPI (96 where unset), and the screen is Wine's virtual desktop of 1280 x 1024,
// not the X server's larger one.
#include <windows.h>

#include <doctest.h>

#include <cstdlib>

TEST_CASE("the desktop has the DPI asked for, on Wine's virtual desktop") {
    const char* asked = std::getenv("AMBRELITH_WINE_DPI");
    const int expected = asked ? std::atoi(asked) : 96;
    // Aware of the system's DPI, so that Windows reports it rather than 96.
    REQUIRE(SetProcessDPIAware());
    HDC screen = GetDC(nullptr);
    CHECK(GetDeviceCaps(screen, LOGPIXELSY) == expected);
    ReleaseDC(nullptr, screen);
    CHECK(static_cast<int>(GetDpiForSystem()) == expected);
    CHECK(GetSystemMetrics(SM_CXSCREEN) == 1280);
    CHECK(GetSystemMetrics(SM_CYSCREEN) == 1024);
}
