// The Wine set-up the Windows tests run in: the desktop's DPI is the one asked for through
// AMBRELITH_WINE_DPI (96 where unset), and the screen is Wine's virtual desktop of 1280 x 1024,
// not the X server's larger one.
#include <windows.h>

#include <QTest>

#include <cstdlib>

class TestWineSetup : public QObject {
    Q_OBJECT

private slots:
    void desktopHasTheDpiAskedFor();
    void screenIsTheVirtualDesktop();
};

void TestWineSetup::desktopHasTheDpiAskedFor() {
    const char* asked = std::getenv("AMBRELITH_WINE_DPI");
    const int expected = asked ? std::atoi(asked) : 96;
    // Aware of the system's DPI, so that Windows reports it rather than 96.
    QVERIFY(SetProcessDPIAware());
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    QCOMPARE(dpi, expected);
    QCOMPARE(static_cast<int>(GetDpiForSystem()), expected);
}

void TestWineSetup::screenIsTheVirtualDesktop() {
    QCOMPARE(GetSystemMetrics(SM_CXSCREEN), 1280);
    QCOMPARE(GetSystemMetrics(SM_CYSCREEN), 1024);
}

QTEST_GUILESS_MAIN(TestWineSetup)
#include "tst_wine_setup.moc"
