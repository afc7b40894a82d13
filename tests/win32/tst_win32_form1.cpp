#include "answer_meaning.h"
#include "control_ids.h"
#include "form1.h"
#include "genotype_table.h"
#include "layout.h"
#include "wide_text.h"

#include <QTest>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The Windows window, driven from outside as a user or a tool would (the built program in a
// process of its own: its window found by class and title, clicks by BM_CLICK, keys and the
// pointer by SendInput, texts by WM_GETTEXT, the focus by GetGUIThreadInfo, colours off the
// screen), and from inside for what only its own process can read: fonts, accessible objects,
// and the descriptions and tooltip text it sets.
namespace {

using win32ids::FatherButton;
using win32ids::LabelBase;
using win32ids::MotherButton;
using win32ids::RestartButton;

// The screen's resolution; the program and this test both see it unscaled.
int dpi = layout::StandardDpi;

// Twips as whole pixels at the screen's resolution, to the nearest, halves up.
int Pixels(int twips) {
    return (2 * twips * dpi + 1440) / 2880;
}

std::string Code(int index) {
    return std::string(genetics::GenotypeCode.at(static_cast<std::size_t>(index - 1)));
}

std::string Answer(int mother, int father) {
    return std::string(
        *genetics::Offspring(static_cast<std::int16_t>(mother), static_cast<std::int16_t>(father)));
}

// Mother row, father row, RESTART, then Label1 to Label6.
std::vector<int> ControlIds() {
    std::vector<int> ids;
    for (int row : {MotherButton, FatherButton})
        for (int i = 1; i <= 6; ++i)
            ids.push_back(row + i);
    ids.push_back(RestartButton);
    for (int k = 1; k <= 6; ++k)
        ids.push_back(LabelBase + k);
    return ids;
}

std::string Name(int id) {
    if (id == RestartButton)
        return "Command3";
    if (id > LabelBase)
        return "Label" + std::to_string(id - LabelBase);
    return (id > FatherButton ? "Command2_" : "Command1_") + std::to_string(id % 100);
}

// What the layout table designs for a control.
struct Look {
    layout::Twips rect;
    std::string_view caption;
    layout::FontKey font;
};

Look LookOf(int id) {
    if (id == RestartButton)
        return {layout::Command3.rect, layout::Command3.caption, layout::Command3.font};
    if (id > LabelBase) {
        const layout::Label& label =
            layout::Labels.at(static_cast<std::size_t>(id - LabelBase - 1));
        return {label.rect, label.caption, label.font};
    }
    const auto& row = id > FatherButton ? layout::Command2 : layout::Command1;
    const layout::Button& button = row.at(static_cast<std::size_t>(id % 100 - 1));
    return {button.rect, button.caption, button.font};
}

std::string Text(HWND window) {
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return widetext::ToUtf8(text);
}

std::string Rect(int left, int top, int width, int height) {
    char text[64];
    std::snprintf(text, sizeof text, "(%d, %d) %d x %d", left, top, width, height);
    return text;
}

// A control's rectangle in its parent's client area.
RECT Placed(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The enabled flags of the mother row, the father row and RESTART, e.g. "111111 000000 1".
std::string EnabledFlags(HWND window) {
    std::string flags;
    for (int id : ControlIds())
        if (id < LabelBase) {
            if (id == FatherButton + 1 || id == RestartButton)
                flags += ' ';
            flags += IsWindowEnabled(GetDlgItem(window, id)) ? '1' : '0';
        }
    return flags;
}

std::string Colour(COLORREF colour) {
    return "(" + std::to_string(GetRValue(colour)) + ", " + std::to_string(GetGValue(colour)) +
           ", " + std::to_string(GetBValue(colour)) + ")";
}

std::string Colour(const layout::Rgb& rgb) {
    return Colour(RGB(rgb.red, rgb.green, rgb.blue));
}

// What `get` gives once it gives `expected`, or what it gives after three seconds: input sent
// to another process, and the drawing it causes, arrive some time later.
template <typename Get, typename T> T Settled(Get get, const T& expected) {
    const ULONGLONG end = GetTickCount64() + 3000;
    T value = get();
    while (value != expected && GetTickCount64() < end) {
        Sleep(20);
        value = get();
    }
    return value;
}

// The screen's pixels over a window's client area, as they are shown.
class Snapshot {
public:
    explicit Snapshot(HWND window) {
        RECT client;
        GetClientRect(window, &client);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        width = client.right;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -client.bottom; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, client.bottom, screen, origin.x, origin.y, SRCCOPY);
        const auto* first = static_cast<const DWORD*>(bits);
        pixels.assign(first, first + width * client.bottom);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    COLORREF At(int x, int y) const {
        const DWORD bgra = pixels.at(static_cast<std::size_t>(y * width + x));
        return RGB((bgra >> 16) & 255, (bgra >> 8) & 255, bgra & 255);
    }
    // The colour most pixels of the rectangle show.
    std::string Commonest(const RECT& rect) const {
        std::map<COLORREF, int> counts;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                ++counts[At(x, y)];
        auto most = counts.begin();
        for (auto it = counts.begin(); it != counts.end(); ++it)
            if (it->second > most->second)
                most = it;
        return counts.empty() ? "nothing" : Colour(most->first);
    }

private:
    int width;
    std::vector<DWORD> pixels;
};

// The built program in a process of its own, found by its window.
class Program {
public:
    Program() {
        // The build's path; under Wine a host path is reached through drive Z:.
        std::wstring path = L"" AMBRELITH_EXE;
        for (wchar_t& c : path)
            c = c == L'/' ? L'\\' : c;
        std::wstring command = (path.front() == L'\\' ? L"\"Z:" : L"\"") + path + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return;
        WaitForInputIdle(process.hProcess, 30000);
        for (int tries = 0; tries < 1000 && !window; ++tries, Sleep(20))
            window = Find();
        thread = GetWindowThreadProcessId(window, nullptr);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() {
        if (!process.hProcess)
            return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    HWND Control(int id) const { return GetDlgItem(window, id); }
    std::string Text(int id) const { return ::Text(Control(id)); }
    void Click(int id) const { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    GUITHREADINFO Gui() const {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(thread, &info);
        return info;
    }
    int Focus() const { return Gui().hwndFocus ? GetDlgCtrlID(Gui().hwndFocus) : 0; }
    // A left click with the real pointer at the centre of a control. The pointer is moved there
    // first, and the press and the release say where they are too (on a scale of 0 to 65535 a
    // screen); the release waits until an enabled button has taken the pointer.
    void MouseClick(int id) const {
        RECT rect;
        GetWindowRect(Control(id), &rect);
        const POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(centre.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(centre.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        const auto cursor = [] {
            POINT at;
            GetCursorPos(&at);
            return std::pair(at.x, at.y);
        };
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
        Settled(cursor, std::pair(centre.x, centre.y));
        for (DWORD button : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
            SendInput(1, &input, sizeof input);
            if (button == MOUSEEVENTF_LEFTDOWN && IsWindowEnabled(Control(id)))
                Settled([this] { return Gui().hwndCapture; }, Control(id));
        }
        Sleep(300); // a click on a disabled button changes nothing to wait for
    }
    bool Foreground() const {
        SetForegroundWindow(window);
        return Settled([this] { return GetForegroundWindow(); }, window) == window;
    }
    // Closes the window by `message`; the exit status, or -1 if the process does not end.
    long Close(UINT message, WPARAM wParam) {
        PostMessageW(window, message, wParam, 0);
        DWORD status = 0;
        if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process.hProcess, &status))
            return -1;
        return static_cast<long>(status);
    }

    HWND window = nullptr;

private:
    // Its window, once it is visible.
    HWND Find() const {
        for (HWND found = nullptr;
             (found = FindWindowExW(nullptr, found, win32ids::WindowClass, L"Ambrelith"));) {
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (owner == process.dwProcessId && IsWindowVisible(found))
                return found;
        }
        return nullptr;
    }

    PROCESS_INFORMATION process = {};
    DWORD thread = 0;
};

void Key(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
    Sleep(60); // about a held key's repeat rate
}

// A key pressed, held through `repeats` automatic repeats, and let go.
void Stroke(WORD key, int repeats = 0) {
    for (int i = 0; i <= repeats; ++i)
        Key(key, false);
    Key(key, true);
}

// The window made in this process, with its messages handled as the program handles them.
class OwnWindow {
public:
    OwnWindow()
        : window(Form1::Create(GetModuleHandleW(nullptr))) {
        if (window)
            Form1::FromHwnd(window)->Show();
        Pump();
    }
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
    ~OwnWindow() {
        if (IsWindow(window))
            DestroyWindow(window);
        Pump(); // the WM_QUIT it posts, too
    }
    Form1& form() const { return *Form1::FromHwnd(window); }
    HWND Control(int id) const { return GetDlgItem(window, id); }
    void Click(int id) {
        SendMessageW(Control(id), BM_CLICK, 0, 0);
        Pump();
    }
    void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            if (!Form1::HandleDialogMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
    }

    HWND window;
};

// Whether a face that writes the character set is installed.
bool Installed(std::string_view face, int charset) {
    LOGFONTW wanted = {};
    wanted.lfCharSet = static_cast<BYTE>(charset);
    const std::wstring wide = widetext::ToUtf16(face);
    wcsncpy(wanted.lfFaceName, wide.c_str(), LF_FACESIZE - 1);
    HDC screen = GetDC(nullptr);
    bool found = false;
    EnumFontFamiliesExW(
        screen, &wanted,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
            *reinterpret_cast<bool*>(found) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// What a screen reader reads of a control: its accessible name.
std::string AccessibleName(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
        return "no accessible object";
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    object->get_accName(self, &name);
    const std::string text = name ? widetext::ToUtf8(name) : std::string();
    SysFreeString(name);
    object->Release();
    return text;
}

} // namespace

class TestWin32Form1 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void windowIsFixedAndCentred();
    void controlsStandWhereDesigned_data();
    void controlsStandWhereDesigned();
    void clicksTakeAPass_data();
    void clicksTakeAPass();
    void restartStaysGreen_data();
    void restartStaysGreen();
    void buttonsAreDrawnAboveLabels_data();
    void buttonsAreDrawnAboveLabels();
    void tabVisitsEnabledButtonsInOrder();
    void keysPressTheFocusedButton_data();
    void keysPressTheFocusedButton();
    void disabledButtonsTakeNoClick();
    void closingEndsTheProgram_data();
    void closingEndsTheProgram();
    void windowHasTheHeart();
    void controlsAskForTheirFonts_data();
    void controlsAskForTheirFonts();
    void accessibleNamesAreTheTexts_data();
    void accessibleNamesAreTheTexts();
    void stepsAreDescribed_data();
    void stepsAreDescribed();
    void stepsAreAnnounced();
    void cleanupTestCase();

private:
    std::unique_ptr<Program> shared; // for the checks that leave it at the start
};

void TestWin32Form1::initTestCase() {
    shared = std::make_unique<Program>();
    QVERIFY2(shared->window, "the program shows no window of class AmbrelithForm1");
    // The program's manifest, linked in here too, asks for the screen's own pixels.
    QVERIFY(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()) ==
            DPI_AWARENESS_PER_MONITOR_AWARE);
    HDC screen = GetDC(nullptr);
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    std::printf("QDEBUG : screen at %d dpi\n", dpi);
    QVERIFY(SUCCEEDED(OleInitialize(nullptr)));
}

void TestWin32Form1::windowIsFixedAndCentred() {
    const HWND window = shared->window;
    QCOMPARE(Text(window), std::string("Ambrelith"));
    // As it first appears: only the mother row and RESTART take clicks, and mother 1-00 the keys.
    QCOMPARE(EnabledFlags(window), std::string("111111 000000 1"));
    QCOMPARE(shared->Focus(), MotherButton + 1);
    const auto style = GetWindowLongPtrW(window, GWL_STYLE);
    QVERIFY((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU));
    QVERIFY2(!(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)),
             "the window can be minimised, maximised or resized");
    RECT client;
    GetClientRect(window, &client);
    QCOMPARE(Rect(0, 0, client.right, client.bottom),
             Rect(0, 0, Pixels(layout::Form1.clientWidth), Pixels(layout::Form1.clientHeight)));
    // The whole window, frame included, in the middle of the monitor's work area.
    RECT frame;
    GetWindowRect(window, &frame);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const long dx = frame.left + frame.right - area.left - area.right;
    const long dy = frame.top + frame.bottom - area.top - area.bottom;
    QVERIFY2(
        std::abs(dx) <= 4 && std::abs(dy) <= 4,
        ("off centre by " + std::to_string(dx / 2.0) + ", " + std::to_string(dy / 2.0)).c_str());
}

// In this process: Wine 8 gives another process no icon for WM_GETICON or GCLP_HICON.
void TestWin32Form1::windowHasTheHeart() {
    OwnWindow own;
    for (int big : {1, 0}) {
        const auto icon = reinterpret_cast<HICON>(SendMessageW(own.window, WM_GETICON, big, 0));
        QVERIFY2(icon, big ? "no big icon" : "no small icon");
        ICONINFO info = {};
        QVERIFY(GetIconInfo(icon, &info));
        BITMAP mask = {};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        // The sizes the title bar and the task switcher ask for at this resolution.
        const int size = GetSystemMetricsForDpi(big ? SM_CXICON : SM_CXSMICON, dpi);
        QCOMPARE(Rect(0, 0, mask.bmWidth, mask.bmHeight), Rect(0, 0, size, size));
    }
    QVERIFY(GetClassLongPtrW(own.window, GCLP_HICON));
}

void TestWin32Form1::controlsStandWhereDesigned_data() {
    QTest::addColumn<int>("id");
    for (int id : ControlIds())
        QTest::addRow("%s", Name(id).c_str()) << id;
}

void TestWin32Form1::controlsStandWhereDesigned() {
    QFETCH(int, id);
    const HWND control = shared->Control(id);
    QVERIFY(control);
    wchar_t className[32] = {};
    GetClassNameW(control, className, std::size(className));
    QCOMPARE(widetext::ToUtf8(CharUpperW(className)),
             std::string(id > LabelBase ? "STATIC" : "BUTTON"));
    const Look look = LookOf(id);
    const RECT placed = Placed(control);
    QCOMPARE(Rect(placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top),
             Rect(Pixels(look.rect.left), Pixels(look.rect.top), Pixels(look.rect.width),
                  Pixels(look.rect.height)));
    QCOMPARE(shared->Text(id), std::string(look.caption));
    QVERIFY(IsWindowVisible(control));
}

void TestWin32Form1::clicksTakeAPass_data() {
    QTest::addColumn<int>("mother");
    QTest::addColumn<int>("father");
    for (int m = 1; m <= 6; ++m)
        for (int f = 1; f <= 6; ++f)
            QTest::addRow("%s x %s", Code(m).c_str(), Code(f).c_str()) << m << f;
}

// By messages: each step shows its texts and enables the next row, and the focus goes there.
void TestWin32Form1::clicksTakeAPass() {
    QFETCH(int, mother);
    QFETCH(int, father);
    const Program& program = *shared;
    program.Click(RestartButton); // wherever a failed row stopped
    QCOMPARE(EnabledFlags(program.window), std::string("111111 000000 1"));
    QCOMPARE(program.Focus(), MotherButton + 1);
    program.Click(MotherButton + mother);
    QCOMPARE(program.Text(LabelBase + 6), "(" + Code(mother) + ")+");
    QCOMPARE(program.Text(LabelBase + 4), std::string());
    QCOMPARE(EnabledFlags(program.window), std::string("000000 111111 1"));
    QCOMPARE(program.Focus(), FatherButton + 1);
    program.Click(FatherButton + father);
    QCOMPARE(program.Text(LabelBase + 6), "(" + Code(mother) + ")+(" + Code(father) + ")");
    QCOMPARE(program.Text(LabelBase + 4), Answer(mother, father));
    QCOMPARE(EnabledFlags(program.window), std::string("000000 000000 1"));
    QCOMPARE(program.Focus(), RestartButton);
    program.Click(RestartButton);
    QCOMPARE(program.Text(LabelBase + 6), std::string());
    QCOMPARE(program.Text(LabelBase + 4), std::string());
    QCOMPARE(EnabledFlags(program.window), std::string("111111 000000 1"));
    QCOMPARE(program.Focus(), MotherButton + 1);
}

void TestWin32Form1::restartStaysGreen_data() {
    QTest::addColumn<int>("picks"); // clicks on mother 2-A0, father 3-B0, RESTART
    QTest::addColumn<bool>("pressed");
    QTest::newRow("at start") << 0 << false;
    QTest::newRow("awaiting the father") << 1 << false;
    QTest::newRow("focused with the answer") << 2 << false;
    QTest::newRow("pressed") << 2 << true;
    QTest::newRow("after its click") << 3 << false;
}

void TestWin32Form1::restartStaysGreen() {
    QFETCH(int, picks);
    QFETCH(bool, pressed);
    const Program& program = *shared;
    const int steps[] = {MotherButton + 3, FatherButton + 5, RestartButton};
    for (int i = 0; i < picks; ++i)
        program.Click(steps[i]);
    const int focus = program.Focus();
    SendMessageW(program.Control(RestartButton), BM_SETSTATE, pressed, 0);
    const RECT restart = Placed(program.Control(RestartButton));
    const std::string green = Colour(*layout::Command3.background);
    const std::string face =
        Settled([&] { return Snapshot(program.window).Commonest(restart); }, green);
    SendMessageW(program.Control(RestartButton), BM_SETSTATE, FALSE, 0);
    if (picks == 1 || picks == 2)
        program.Click(RestartButton);
    QCOMPARE(face, green);
    if (picks == 2)
        QCOMPARE(focus, RestartButton);
    // The form around it, between the rows, and the genotype buttons' plain face.
    const Snapshot shown(program.window);
    QCOMPARE(Colour(shown.At(Pixels(2500), Pixels(1080))), Colour(layout::Form1.background));
    QCOMPARE(Colour(shown.At(Pixels(4400), Pixels(2200))), Colour(layout::Form1.background));
    const std::string plain = shown.Commonest(Placed(program.Control(MotherButton + 1)));
    QVERIFY2(plain != green && plain != Colour(layout::Form1.background), plain.c_str());
}

void TestWin32Form1::buttonsAreDrawnAboveLabels_data() {
    QTest::addColumn<int>("label");
    QTest::addColumn<int>("row");
    QTest::newRow("Label1 over the mother row") << LabelBase + 1 << MotherButton;
    QTest::newRow("Label2 over the father row") << LabelBase + 2 << FatherButton;
}

// Where a label's bottom edge runs into the row of buttons under it, the buttons are drawn.
void TestWin32Form1::buttonsAreDrawnAboveLabels() {
    QFETCH(int, label);
    QFETCH(int, row);
    const RECT text = Placed(shared->Control(label));
    const RECT first = Placed(shared->Control(row + 1));
    const RECT last = Placed(shared->Control(row + 6));
    QVERIFY2(text.bottom > first.top, "the label does not reach the buttons");
    const Snapshot shown(shared->window);
    const COLORREF labelColour = RGB(192, 192, 0);
    for (int y = first.top; y < text.bottom; ++y)
        for (int x = std::max(text.left, first.left); x < std::min(text.right, last.right); ++x)
            QVERIFY2(shown.At(x, y) != labelColour,
                     ("the label shows at (" + std::to_string(x) + ", " + std::to_string(y) + ")")
                         .c_str());
}

void TestWin32Form1::tabVisitsEnabledButtonsInOrder() {
    Program program;
    QVERIFY(program.Foreground());
    QCOMPARE(program.Focus(), MotherButton + 1);
    // The father row is disabled and skipped; after RESTART the mother row comes round again.
    for (int next : {102, 103, 104, 105, 106, RestartButton, 101}) {
        Stroke(VK_TAB);
        QCOMPARE(Settled([&] { return program.Focus(); }, next), next);
    }
}

void TestWin32Form1::keysPressTheFocusedButton_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("repeats"); // of the key held down, before it is let go
    QTest::addColumn<int>("mother");
    QTest::addColumn<int>("father");
    QTest::newRow("Space") << int(VK_SPACE) << 0 << 3 << 5;
    QTest::newRow("Return") << int(VK_RETURN) << 0 << 6 << 3;
    QTest::newRow("Space held") << int(VK_SPACE) << 5 << 2 << 6;
    QTest::newRow("Return held") << int(VK_RETURN) << 5 << 1 << 4;
}

// Real keys: Tab to the genotype, the key picks it once however long it is held, and each step
// leaves the focus on the next one.
void TestWin32Form1::keysPressTheFocusedButton() {
    QFETCH(int, key);
    QFETCH(int, repeats);
    QFETCH(int, mother);
    QFETCH(int, father);
    Program program;
    QVERIFY(program.Foreground());
    const auto focus = [&] { return program.Focus(); };
    const auto parents = [&] { return program.Text(LabelBase + 6); };
    QCOMPARE(focus(), MotherButton + 1);
    for (int i = 2; i <= mother; ++i) {
        Stroke(VK_TAB);
        QCOMPARE(Settled(focus, MotherButton + i), MotherButton + i);
    }
    Stroke(static_cast<WORD>(key), repeats);
    QCOMPARE(Settled(parents, "(" + Code(mother) + ")+"), "(" + Code(mother) + ")+");
    QCOMPARE(Settled(focus, FatherButton + 1), FatherButton + 1);
    for (int i = 2; i <= father; ++i) {
        Stroke(VK_TAB);
        QCOMPARE(Settled(focus, FatherButton + i), FatherButton + i);
    }
    Stroke(static_cast<WORD>(key), repeats);
    const std::string both = "(" + Code(mother) + ")+(" + Code(father) + ")";
    QCOMPARE(Settled(parents, both), both);
    QCOMPARE(program.Text(LabelBase + 4), Answer(mother, father));
    QCOMPARE(Settled(focus, RestartButton), RestartButton);
    Stroke(VK_TAB); // RESTART is the only button left
    QCOMPARE(Settled(focus, RestartButton), RestartButton);
    Stroke(static_cast<WORD>(key), repeats);
    QCOMPARE(Settled(parents, std::string()), std::string());
    QCOMPARE(Settled(focus, MotherButton + 1), MotherButton + 1);
    QCOMPARE(EnabledFlags(program.window), std::string("111111 000000 1"));
}

void TestWin32Form1::disabledButtonsTakeNoClick() {
    Program program;
    program.Click(FatherButton + 4);
    QCOMPARE(program.Text(LabelBase + 6), std::string());
    QCOMPARE(program.Focus(), MotherButton + 1);
    if (dpi != layout::StandardDpi)
        QSKIP("the pointer lands unreliably on a scaled Wine desktop");
    QVERIFY(program.Foreground());
    program.MouseClick(FatherButton + 4);
    QCOMPARE(program.Text(LabelBase + 6), std::string());
    program.MouseClick(MotherButton + 4);
    QCOMPARE(Settled([&] { return program.Focus(); }, FatherButton + 1), FatherButton + 1);
    // A click on the now disabled mother 2-AA would show in the parents expression.
    program.MouseClick(MotherButton + 2);
    program.MouseClick(FatherButton + 1);
    QCOMPARE(Settled([&] { return program.Text(LabelBase + 6); }, std::string("(3-BB)+(1-00)")),
             std::string("(3-BB)+(1-00)"));
    QCOMPARE(program.Text(LabelBase + 4), Answer(4, 1));
}

void TestWin32Form1::closingEndsTheProgram_data() {
    QTest::addColumn<int>("picks");
    QTest::addColumn<bool>("closeBox"); // else WM_CLOSE
    for (bool closeBox : {false, true})
        for (int picks = 0; picks <= 2; ++picks)
            QTest::addRow("%s, %s", closeBox ? "close box" : "WM_CLOSE",
                          picks == 0   ? "awaiting the mother"
                          : picks == 1 ? "awaiting the father"
                                       : "answer shown")
                << picks << closeBox;
}

void TestWin32Form1::closingEndsTheProgram() {
    QFETCH(int, picks);
    QFETCH(bool, closeBox);
    Program program;
    QVERIFY(program.window);
    if (picks >= 1)
        program.Click(MotherButton + 6);
    if (picks >= 2)
        program.Click(FatherButton + 2);
    QCOMPARE(program.Close(closeBox ? WM_SYSCOMMAND : WM_CLOSE, closeBox ? SC_CLOSE : 0), 0L);
}

void TestWin32Form1::controlsAskForTheirFonts_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("moved"); // to a screen of another resolution
    for (int id : ControlIds()) {
        QTest::addRow("%s", Name(id).c_str()) << id << false;
        QTest::addRow("%s moved", Name(id).c_str()) << id << true;
    }
}

// Each control's font as designed, at the screen's resolution; a face not installed for its
// character set is asked for by its substitute where that one is. Moved to a screen of another
// resolution, as Windows tells it (Wine has one screen), each control is laid out and asks for
// its font anew, and the answer's tooltip for the status font of that resolution.
void TestWin32Form1::controlsAskForTheirFonts() {
    QFETCH(int, id);
    QFETCH(bool, moved);
    OwnWindow own;
    const int at = moved ? (dpi == 96 ? 144 : 96) : dpi;
    RECT frame;
    GetWindowRect(own.window, &frame);
    if (moved)
        SendMessageW(own.window, WM_DPICHANGED, MAKEWPARAM(at, at),
                     reinterpret_cast<LPARAM>(&frame));
    QCOMPARE(own.form().Dpi(), at);
    const Look look = LookOf(id);
    const auto pixels = [at](int twips) { return layout::ToPixels(twips, at); };
    const RECT placed = Placed(own.Control(id));
    QCOMPARE(Rect(placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top),
             Rect(pixels(look.rect.left), pixels(look.rect.top), pixels(look.rect.width),
                  pixels(look.rect.height)));
    NONCLIENTMETRICSW system = {};
    system.cbSize = sizeof system;
    QVERIFY(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof system, &system, 0, at));
    LOGFONTW tip = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(own.form().Tooltip(), WM_GETFONT, 0, 0)),
               sizeof tip, &tip);
    QCOMPARE(int(tip.lfHeight), int(system.lfStatusFont.lfHeight));
    const layout::Font& font = layout::Fonts.at(static_cast<std::size_t>(look.font));
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(own.Control(id), WM_GETFONT, 0, 0));
    LOGFONTW asked = {};
    QCOMPARE(GetObjectW(handle, sizeof asked, &asked), int(sizeof asked));
    const bool substituted =
        !Installed(font.face, font.charset) && Installed(font.substitute, font.charset);
    QCOMPARE(widetext::ToUtf8(asked.lfFaceName),
             std::string(substituted ? font.substitute : font.face));
    QCOMPARE(int(asked.lfHeight), -int(font.points * at / 72 + 0.5));
    QCOMPARE(int(asked.lfWeight), font.weight);
    QCOMPARE(int(asked.lfCharSet), font.charset);
    QVERIFY(!asked.lfItalic && !asked.lfUnderline && !asked.lfStrikeOut);
}

void TestWin32Form1::accessibleNamesAreTheTexts_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("answered"); // after mother 2-A0 and father 3-B0
    QTest::addColumn<std::string>("name");
    for (int id : ControlIds())
        QTest::addRow("%s", Name(id).c_str()) << id << false << std::string(LookOf(id).caption);
    QTest::newRow("Label6 answered") << LabelBase + 6 << true << std::string("(2-A0)+(3-B0)");
    QTest::newRow("Label4 answered") << LabelBase + 4 << true << Answer(3, 5);
}

// In this process only: Wine answers AccessibleObjectFromWindow for the caller's own windows.
void TestWin32Form1::accessibleNamesAreTheTexts() {
    QFETCH(int, id);
    QFETCH(bool, answered);
    QFETCH(std::string, name);
    OwnWindow own;
    if (answered) {
        own.Click(MotherButton + 3);
        own.Click(FatherButton + 5);
    }
    QCOMPARE(AccessibleName(own.Control(id)), name);
}

void TestWin32Form1::stepsAreDescribed_data() {
    QTest::addColumn<int>("picks"); // clicks on mother 4-AB, father 2-A0, RESTART
    QTest::addColumn<std::string>("answer");
    QTest::addColumn<std::string>("firstFather");
    QTest::addColumn<std::string>("restart");
    QTest::addColumn<std::string>("tip");
    const meaning::StepDescriptions start = meaning::AfterStep(0, 0, false, false);
    const meaning::StepDescriptions picked = meaning::AfterStep(6, 0, true, false);
    const meaning::StepDescriptions shown = meaning::AfterStep(6, 3, false, true);
    QTest::newRow("at start") << 0 << start.answerLabel << start.firstFather << start.restart
                              << std::string();
    QTest::newRow("mother picked")
        << 1 << picked.answerLabel << picked.firstFather << picked.restart << std::string();
    // The tooltip shows the shared table, whose square is checked with the shared texts.
    QTest::newRow("answer shown") << 2 << shown.answerLabel << shown.firstFather << shown.restart
                                  << meaning::AnswerDetailsText(6, 3);
    QTest::newRow("after RESTART")
        << 3 << start.answerLabel << start.firstFather << start.restart << std::string();
}

// Descriptions are read where the window keeps them for itself: Wine 8 does not store them
// (IAccPropServices::SetHwndPropStr gives E_NOTIMPL). The answer's tooltip is read from the
// tooltip control, whose one tool is the answer label.
void TestWin32Form1::stepsAreDescribed() {
    QFETCH(int, picks);
    QFETCH(std::string, answer);
    QFETCH(std::string, firstFather);
    QFETCH(std::string, restart);
    QFETCH(std::string, tip);
    OwnWindow own;
    const int steps[] = {MotherButton + 6, FatherButton + 3, RestartButton};
    for (int i = 0; i < picks; ++i)
        own.Click(steps[i]);
    const Form1& form = own.form();
    QCOMPARE(form.Description(LabelBase + 4), answer);
    QCOMPARE(form.Description(FatherButton + 1), firstFather);
    QCOMPARE(form.Description(RestartButton), restart);
    QCOMPARE(form.Description(0), std::string(meaning::FormDescription));
    QCOMPARE(form.Description(LabelBase + 6), std::string(meaning::ParentsDescription));
    QCOMPARE(form.Description(MotherButton + 3), meaning::ButtonDescription("Mother", 3));
    QCOMPARE(form.Description(FatherButton + 2), meaning::ButtonDescription("Father", 2));
    QCOMPARE(form.AnswerTip(), tip);
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    QVERIFY(SendMessageW(form.Tooltip(), TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
    QVERIFY(reinterpret_cast<HWND>(tool.uId) == own.Control(LabelBase + 4));
    wchar_t shown[1024] = {};
    tool.lpszText = shown;
    SendMessageW(form.Tooltip(), TTM_GETTEXTW, std::size(shown), reinterpret_cast<LPARAM>(&tool));
    QCOMPARE(widetext::ToUtf8(shown), tip);
}

std::vector<HWND> describedControls;

void CALLBACK DescriptionChanged(HWINEVENTHOOK, DWORD, HWND control, LONG, LONG, DWORD, DWORD) {
    describedControls.push_back(control);
}

// Screen readers are told of each new description once the window is on the screen, where the
// accessibility service keeps them.
void TestWin32Form1::stepsAreAnnounced() {
    OwnWindow own;
    describedControls.clear();
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_DESCRIPTIONCHANGE, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr,
                        DescriptionChanged, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    own.Click(MotherButton + 6);
    own.Pump();
    UnhookWinEvent(hook);
    const std::vector<HWND> told = {own.Control(LabelBase + 4), own.Control(FatherButton + 1),
                                    own.Control(RestartButton)};
    QVERIFY(describedControls == told);
}

void TestWin32Form1::cleanupTestCase() {
    QCOMPARE(shared->Close(WM_CLOSE, 0), 0L);
    shared.reset();
    OleUninitialize();
}

QTEST_MAIN(TestWin32Form1)
#include "tst_win32_form1.moc"
