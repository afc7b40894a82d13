#include "answer_meaning.h"
#include "control_ids.h"
#include "form1.h"
#include "genotype_table.h"
#include "layout.h"
#include "wide_text.h"

#include <doctest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// The Windows window, driven as a user or a tool would: the built program in a process of its own
// (its window found by its class, clicks by BM_CLICK, the pointer and keys by SendInput, texts by
// WM_GETTEXT, the focus by GetGUIThreadInfo, colours off the screen), and the window made in this
// process for what only its own process can read: fonts, icons, the descriptions and tooltip text
// it sets, and the messages that real keys cause in it.
namespace {

using win32ids::FatherButton;
using win32ids::LabelBase;
using win32ids::MotherButton;
using win32ids::RestartButton;

// The screen's resolution; the program and this test both see it unscaled.
const int dpi = static_cast<int>(GetDpiForSystem());

// Twips as whole pixels at `at` dots per inch, to the nearest, halves up.
int Pixels(int twips, int at = dpi) {
    return (2 * twips * at + 1440) / 2880;
}

std::string Code(int index) {
    return std::string(genetics::GenotypeCode.at(static_cast<std::size_t>(index - 1)));
}

// The parents expression once the mother is picked, and once the father is too.
std::string Parents(int mother, int father = 0) {
    if (mother == 0)
        return "";
    std::string text = "(";
    text.append(Code(mother)).append(")+");
    if (father > 0)
        text.append("(").append(Code(father)).append(")");
    return text;
}

// Each control as the layout table designs it: mother row, father row, RESTART, Label1 to Label6.
struct Designed {
    int id;
    std::string name;
    layout::Twips rect;
    std::string_view caption;
    layout::FontKey font;
};

std::vector<Designed> Controls() {
    std::vector<Designed> all;
    for (const auto& [row, first, name] :
         {std::tuple(&layout::Command1, MotherButton, "Command1_"),
          std::tuple(&layout::Command2, FatherButton, "Command2_")})
        for (int i = 1; i <= 6; ++i) {
            const layout::Button& button = row->at(static_cast<std::size_t>(i - 1));
            all.push_back({first + i, std::string(name).append(std::to_string(i)), button.rect,
                           button.caption, button.font});
        }
    const layout::Button& restart = layout::Command3;
    all.push_back({RestartButton, "Command3", restart.rect, restart.caption, restart.font});
    for (int k = 1; k <= 6; ++k) {
        const layout::Label& label = layout::Labels.at(static_cast<std::size_t>(k - 1));
        all.push_back(
            {LabelBase + k, std::string(label.name), label.rect, label.caption, label.font});
    }
    return all;
}

std::string Name(int id) {
    for (const Designed& control : Controls())
        if (control.id == id)
            return control.name;
    return "none";
}

std::string Text(HWND window) {
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return widetext::ToUtf8(text);
}

std::string Box(int left, int top, int width, int height) {
    char text[64];
    std::snprintf(text, sizeof text, "(%d, %d) %d x %d", left, top, width, height);
    return text;
}

std::string Box(const RECT& rect) {
    return Box(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// A control's rectangle in its parent's client area.
RECT Placed(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

COLORREF ColorRef(const layout::Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

std::string Colour(COLORREF colour) {
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d, %d)", GetRValue(colour), GetGValue(colour),
                  GetBValue(colour));
    return text;
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

// The screen's pixels over a window's client area, as they are shown once what is waiting to be
// drawn has been, and has reached the screen: Wine puts a window's drawing on the screen before
// its thread waits for the next message, so a message answered by it comes after.
class Snapshot {
public:
    explicit Snapshot(HWND window) {
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        SendMessageW(window, WM_NULL, 0, 0);
        GetClientRect(window, &client);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = client.right;
        info.bmiHeader.biHeight = -client.bottom; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
        const auto* first = static_cast<const DWORD*>(bits);
        pixels.assign(first, first + client.right * client.bottom);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    RECT Client() const { return client; }
    COLORREF At(LONG x, LONG y) const {
        const DWORD bgra = pixels.at(static_cast<std::size_t>(y * client.right + x));
        return RGB((bgra >> 16) & 255, (bgra >> 8) & 255, bgra & 255);
    }
    // How many pixels of each colour the part of `rect` inside the window shows.
    std::map<COLORREF, int> Colours(RECT rect) const {
        IntersectRect(&rect, &rect, &client);
        std::map<COLORREF, int> counts;
        for (LONG y = rect.top; y < rect.bottom; ++y)
            for (LONG x = rect.left; x < rect.right; ++x)
                ++counts[At(x, y)];
        return counts;
    }
    COLORREF Commonest(const RECT& rect) const {
        const auto counts = Colours(rect);
        return std::ranges::max_element(counts, {}, &std::pair<const COLORREF, int>::second)->first;
    }
    // The smallest rectangle around the pixels of `rect` that are not `background`.
    RECT Ink(RECT rect, COLORREF background) const {
        IntersectRect(&rect, &rect, &client);
        RECT ink = {rect.right, rect.bottom, rect.left, rect.top};
        for (LONG y = rect.top; y < rect.bottom; ++y)
            for (LONG x = rect.left; x < rect.right; ++x)
                if (At(x, y) != background)
                    ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                           std::max(ink.bottom, y + 1)};
        return ink;
    }

private:
    RECT client;
    std::vector<DWORD> pixels;
};

// The built program in a process of its own.
class Program {
public:
    Program() {
        // The build's path; under Wine a host path is reached through drive Z:.
        std::wstring path = L"" AMBRELITH_EXE;
        std::ranges::replace(path, L'/', L'\\');
        std::wstring command = (path.front() == L'\\' ? L"\"Z:" : L"\"") + path + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return;
        WaitForInputIdle(process.hProcess, 30000);
        for (int tries = 0; tries < 1000 && !window; ++tries, Sleep(20))
            window = Shown(win32ids::WindowClass);
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
    void Click(int id) const { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    std::string Text(int id) const { return ::Text(Control(id)); }
    std::string Text(int id, const std::string& expected) const {
        return Settled([&] { return Text(id); }, expected);
    }
    GUITHREADINFO Gui() const {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(process.dwThreadId, &info);
        return info;
    }
    int Focus() const { return Gui().hwndFocus ? GetDlgCtrlID(Gui().hwndFocus) : 0; }
    int Focus(int expected) const {
        return Settled([this] { return Focus(); }, expected);
    }
    // The enabled flags of the mother row, the father row and RESTART, e.g. "111111 000000 1".
    std::string Flags() const {
        std::string flags;
        for (int row : {MotherButton, FatherButton}) {
            for (int i = 1; i <= 6; ++i)
                flags += IsWindowEnabled(Control(row + i)) ? '1' : '0';
            flags += ' ';
        }
        return flags + (IsWindowEnabled(Control(RestartButton)) ? '1' : '0');
    }
    // The real pointer moved to the centre of a control (on a scale of 0 to 65535 a screen).
    INPUT Point(int id) const {
        RECT rect;
        GetWindowRect(Control(id), &rect);
        const POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(centre.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(centre.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
        const auto cursor = [] {
            POINT at;
            GetCursorPos(&at);
            return std::pair(at.x, at.y);
        };
        Settled(cursor, std::pair(centre.x, centre.y));
        return input;
    }
    // A left click with the real pointer at the centre of a control: the press and the release
    // say where they are too, and the release waits until an enabled button has the pointer.
    void MouseClick(int id) const {
        INPUT input = Point(id);
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
        return Settled([] { return GetForegroundWindow(); }, window) == window;
    }
    // A window of the program's of that class while it shows: its own window (whose thread is
    // the program's first), and the answer's tooltip.
    HWND Shown(const wchar_t* kind) const {
        for (HWND found = nullptr; (found = FindWindowExW(nullptr, found, kind, nullptr));)
            if (GetWindowThreadProcessId(found, nullptr) == process.dwThreadId &&
                IsWindowVisible(found))
                return found;
        return nullptr;
    }
    // Closes the window by the system's close command, as its close box does; the exit status,
    // or -1 if the process does not end.
    long Close() {
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        DWORD status = 0;
        if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process.hProcess, &status))
            return -1;
        return static_cast<long>(status);
    }

    HWND window = nullptr;

private:
    PROCESS_INFORMATION process = {};
};

// A key pressed, held through `repeats` automatic repeats, and let go.
void Stroke(WORD key, int repeats = 0) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    for (int i = 0; i <= repeats + 1; ++i) {
        input.ki.dwFlags = i > repeats ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &input, sizeof input);
        Sleep(60); // about a held key's repeat rate
    }
}

// The window made in this process, shown, with its messages handled as the program handles them.
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

LOGFONTW FontOf(HWND window) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

// The system's status font at `at` dots per inch, which tooltips write in.
LOGFONTW StatusFont(int at) {
    NONCLIENTMETRICSW system = {};
    system.cbSize = sizeof system;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof system, &system, 0, at);
    return system.lfStatusFont;
}

// The height of a line of text in a font.
int LineHeight(const LOGFONTW& look) {
    HFONT font = CreateFontIndirectW(&look);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return metrics.tmHeight;
}

// What the window shows at this step: each label in its colours, with its border or none, its text
// aligned as designed, under the buttons it overlaps; RESTART green with its caption in the
// button text's colour; the form's colour between the rows; genotype buttons in the plain face.
// In high contrast the system's colours stand for the designed ones: the window and its text for
// the form and the labels, the button face for RESTART.
void CheckLook(HWND window, bool contrast = false) {
    CAPTURE(contrast);
    const Snapshot shown(window);
    const auto designed = [contrast](const std::optional<layout::Rgb>& colour, int system,
                                     int instead) {
        return !colour ? GetSysColor(system) : contrast ? GetSysColor(instead) : ColorRef(*colour);
    };
    for (std::size_t i = 0; i < layout::Labels.size(); ++i) {
        const layout::Label& look = layout::Labels.at(i);
        CAPTURE(look.name);
        const HWND label = GetDlgItem(window, LabelBase + static_cast<int>(i) + 1);
        const COLORREF paper = designed(look.background, COLOR_BTNFACE, COLOR_WINDOW);
        const COLORREF ink = designed(look.text, COLOR_BTNTEXT, COLOR_WINDOWTEXT);
        RECT inside = Placed(label);
        CHECK(Colour(shown.At(inside.left, inside.top)) ==
              Colour(look.border ? GetSysColor(COLOR_WINDOWFRAME) : paper));
        if (look.border)
            InflateRect(&inside, -1, -1);
        CHECK(Colour(shown.Commonest(inside)) == Colour(paper));
        if (i < 2 && !contrast) { // under the row of buttons whose tops it overlaps
            const HWND row = GetDlgItem(window, (i == 0 ? MotherButton : FatherButton) + 1);
            CHECK_FALSE(shown.Colours({inside.left, Placed(row).top, inside.right, inside.bottom})
                            .contains(paper));
        }
        if (Text(label).empty())
            continue;
        // The text, away from the edges that neighbours overlap: left aligned, it starts at the
        // label's edge; centred, it stands as far from both.
        RECT within = inside;
        InflateRect(&within, -2, -2);
        CHECK(shown.Colours(within).contains(ink));
        const RECT text = shown.Ink(within, paper);
        const long before = text.left - inside.left;
        const long after = inside.right - text.right;
        CAPTURE(before);
        CAPTURE(after);
        CHECK(std::abs(look.align == layout::Align::Left ? before : before - after) <= 2);
    }
    const RECT restart = Placed(GetDlgItem(window, RestartButton));
    const std::string green = Colour(designed(layout::Command3.background, 0, COLOR_BTNFACE));
    CHECK(Colour(shown.Commonest(restart)) == green);
    RECT caption = restart;
    InflateRect(&caption, -5, -5);
    CHECK(shown.Colours(caption).contains(GetSysColor(COLOR_BTNTEXT)));
    const std::string form = Colour(designed(layout::Form1.background, 0, COLOR_WINDOW));
    CHECK(Colour(shown.At(Pixels(2500), Pixels(1080))) == form);
    CHECK(Colour(shown.At(Pixels(4400), Pixels(2200))) == form);
    const std::string plain = Colour(shown.Commonest(Placed(GetDlgItem(window, MotherButton + 1))));
    if (!contrast) {
        CHECK(plain != green);
        CHECK(plain != form);
    }
}

// What this thread is sent and told while keys are pressed: the focus lost to no window, whether
// the window last asked for focus rectangles to be hidden (Wine keeps no such state to be asked),
// and the controls whose descriptions changed, by name, as screen readers are told.
int focusLostToNothing = 0;
bool focusCuesHidden = false;
std::string described;

LRESULT CALLBACK Sent(int code, WPARAM wParam, LPARAM lParam) {
    const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent.message == WM_KILLFOCUS && !sent.wParam)
        ++focusLostToNothing;
    if (sent.message == WM_CHANGEUISTATE && (HIWORD(sent.wParam) & UISF_HIDEFOCUS) != 0)
        focusCuesHidden = LOWORD(sent.wParam) == UIS_SET;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DescriptionChanged(HWINEVENTHOOK, DWORD, HWND control, LONG, LONG, DWORD, DWORD) {
    described.append(Name(GetDlgCtrlID(control))).append(" ");
}

// The text of the answer's tooltip, whose one tool is the answer label.
std::string TooltipText(HWND tooltip) {
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    SendMessageW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool));
    wchar_t text[1024] = {};
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return widetext::ToUtf8(text);
}

struct Press {
    WORD key; // 0: another window takes the foreground, then this one again
    int focus;
    int mother = 0, father = 0; // taken once the key is let go
    int repeats = 0;            // of the key held down, before it is let go
};

// Real keys to the window made here. After each: where the focus is, what the parents label
// shows, and what the window says of the step: the descriptions screen readers read, told to
// them after a step only, and the answer's tooltip. Descriptions are read where the window keeps
// them for itself: Wine 8 does not store them (IAccPropServices::SetHwndPropStr gives
// E_NOTIMPL). The focus goes straight from button to button.
void PressKeys(const std::vector<Press>& presses) {
    OwnWindow own;
    SetForegroundWindow(own.window);
    const HHOOK sent = SetWindowsHookExW(WH_CALLWNDPROC, Sent, nullptr, GetCurrentThreadId());
    const HWINEVENTHOOK told =
        SetWinEventHook(EVENT_OBJECT_DESCRIPTIONCHANGE, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr,
                        DescriptionChanged, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    // Focus rectangles hidden, as for a window started with the mouse, until a key is used.
    SendMessageW(own.window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    focusLostToNothing = 0;
    const Form1& form = own.form();
    const auto focus = [] { return GetDlgCtrlID(GetFocus()); };
    const auto parents = [&] { return Text(own.Control(LabelBase + 6)); };
    CHECK(focus() == MotherButton + 1);
    Press before = {0, MotherButton + 1};
    for (std::size_t i = 0; i < presses.size(); ++i) {
        const Press& press = presses[i];
        CAPTURE(i);
        described.clear();
        if (press.key == 0) {
            const HWND other = CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP | WS_VISIBLE, 0, 0,
                                               8, 8, nullptr, nullptr, nullptr, nullptr);
            SetForegroundWindow(other);
            SetForegroundWindow(own.window);
            DestroyWindow(other);
        } else {
            Stroke(press.key, press.repeats);
        }
        const std::string expression = Parents(press.mother, press.father);
        Settled(
            [&] {
                own.Pump();
                return focus() == press.focus && parents() == expression;
            },
            true);
        CHECK(focus() == press.focus);
        CHECK(parents() == expression);
        std::string defaults; // the buttons that look like the default one, which Return presses
        for (int row : {MotherButton, FatherButton})
            for (int id = row + 1; id <= row + 6; ++id)
                if ((GetWindowLongPtrW(own.Control(id), GWL_STYLE) & BS_TYPEMASK) ==
                    BS_DEFPUSHBUTTON)
                    defaults += Name(id);
        CHECK(defaults == (press.focus == RestartButton ? "" : Name(press.focus)));
        // The keys the window handles itself show them; Wine's dialog manager leaves them.
        if (press.key == VK_RETURN || (press.key >= VK_LEFT && press.key <= VK_DOWN))
            CHECK_FALSE(focusCuesHidden);
        const auto m = static_cast<std::int16_t>(press.mother);
        const auto f = static_cast<std::int16_t>(press.father);
        const meaning::StepDescriptions said = meaning::AfterStep(m, f, m && !f, f);
        CHECK(form.Description(LabelBase + 4) == said.answerLabel);
        CHECK(form.Description(FatherButton + 1) == said.firstFather);
        CHECK(form.Description(RestartButton) == said.restart);
        const bool stepped = press.mother != before.mother || press.father != before.father;
        CHECK(described == std::string(stepped ? "Label4 Command2_1 Command3 " : ""));
        CHECK(TooltipText(form.Tooltip()) == (f ? meaning::AnswerDetailsText(m, f) : ""));
        before = press;
    }
    CHECK(focusLostToNothing == 0);
    CHECK(form.Description(0) == std::string(meaning::FormDescription));
    CHECK(form.Description(LabelBase + 6) == std::string(meaning::ParentsDescription));
    CHECK(form.Description(MotherButton + 3) == meaning::ButtonDescription("Mother", 3));
    CHECK(form.Description(FatherButton + 2) == meaning::ButtonDescription("Father", 2));
    UnhookWinEvent(told);
    UnhookWindowsHookEx(sent);
}

// Where the window laid out for `at` dots per inch puts and names each control, and in which
// font; a face not installed for its character set is asked for by its substitute where that one
// is. The icons and the answer's tooltip go with the resolution too.
void CheckLaidOut(const OwnWindow& own, int at) {
    CHECK(own.form().Dpi() == at);
    RECT client;
    GetClientRect(own.window, &client);
    CHECK(Box(client) ==
          Box(0, 0, Pixels(layout::Form1.clientWidth, at), Pixels(layout::Form1.clientHeight, at)));
    for (int big : {1, 0}) {
        CAPTURE(big);
        ICONINFO info = {};
        REQUIRE(GetIconInfo(reinterpret_cast<HICON>(SendMessageW(own.window, WM_GETICON, big, 0)),
                            &info));
        BITMAP mask = {};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        const int size = GetSystemMetricsForDpi(big ? SM_CXICON : SM_CXSMICON, at);
        CHECK(Box(0, 0, mask.bmWidth, mask.bmHeight) == Box(0, 0, size, size));
    }
    CHECK(GetClassLongPtrW(own.window, GCLP_HICON) != 0);
    CHECK(FontOf(own.form().Tooltip()).lfHeight == StatusFont(at).lfHeight);
    for (const Designed& control : Controls()) {
        CAPTURE(control.name);
        const HWND handle = own.Control(control.id);
        const layout::Twips& rect = control.rect;
        CHECK(Box(Placed(handle)) == Box(Pixels(rect.left, at), Pixels(rect.top, at),
                                         Pixels(rect.width, at), Pixels(rect.height, at)));
        CHECK(Text(handle) == std::string(control.caption));
        const layout::Font& font = layout::Fonts.at(static_cast<std::size_t>(control.font));
        const bool substituted =
            !Installed(font.face, font.charset) && Installed(font.substitute, font.charset);
        const LOGFONTW asked = FontOf(handle);
        CHECK(widetext::ToUtf8(asked.lfFaceName) ==
              std::string(substituted ? font.substitute : font.face));
        CHECK(asked.lfHeight == -static_cast<int>(font.points * at / 72 + 0.5));
        CHECK(asked.lfWeight == font.weight);
        CHECK(int{asked.lfCharSet} == font.charset);
        CHECK((asked.lfItalic | asked.lfUnderline | asked.lfStrikeOut) == 0);
    }
}

} // namespace

TEST_CASE("the window appears fixed, centred on the work area, and clicks take their steps") {
    // Wine's virtual desktop has no taskbar, and its work area is the whole screen; Wine takes
    // the work area of a program that starts from a taskbar's window (class Shell_TrayWnd) where
    // one shows. One stands along the bottom while the program starts.
    WNDCLASSW tray = {};
    tray.lpfnWndProc = DefWindowProcW;
    tray.lpszClassName = L"Shell_TrayWnd";
    RegisterClassW(&tray);
    const RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) * 7 / 8};
    const HWND taskbar =
        CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, tray.lpszClassName, nullptr, WS_POPUP,
                        0, area.bottom, area.right, GetSystemMetrics(SM_CYSCREEN) - area.bottom,
                        nullptr, nullptr, nullptr, nullptr);
    ShowWindow(taskbar, SW_SHOWNOACTIVATE);
    const Program program;
    DestroyWindow(taskbar);
    const HWND window = program.window;
    REQUIRE(window);
    // The program's manifest, linked in here too, asks for the screen's own pixels.
    CHECK(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()) ==
          DPI_AWARENESS_PER_MONITOR_AWARE);
    CHECK(Text(window) == "Ambrelith");
    CHECK(program.Flags() == "111111 000000 1");
    CHECK(program.Focus(MotherButton + 1) == MotherButton + 1);
    const auto style = GetWindowLongPtrW(window, GWL_STYLE);
    CHECK((style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) ==
          (WS_CAPTION | WS_SYSMENU));
    // The whole window, frame included, in the middle of the work area.
    RECT frame;
    GetWindowRect(window, &frame);
    CHECK(std::abs(frame.left + frame.right - area.left - area.right) / 2 <= 4);
    CHECK(std::abs(frame.top + frame.bottom - area.top - area.bottom) / 2 <= 4);
    // Every genotype button taken once, each mother with another father; clicks on disabled
    // buttons change nothing. The window's look is read at each step of the first pass, and with
    // RESTART held down at the end.
    for (int mother = 1; mother <= 6; ++mother) {
        const int father = mother % 6 + 1;
        const struct {
            int click;
            std::string parents, answer, flags;
            int focus;
        } steps[] = {
            {RestartButton, "", "", "111111 000000 1", MotherButton + 1},
            {FatherButton + father, "", "", "111111 000000 1", MotherButton + 1},
            {MotherButton + mother, Parents(mother), "", "000000 111111 1", FatherButton + 1},
            {MotherButton + father, Parents(mother), "", "000000 111111 1", FatherButton + 1},
            {FatherButton + father, Parents(mother, father),
             std::string(*genetics::Offspring(static_cast<std::int16_t>(mother),
                                              static_cast<std::int16_t>(father))),
             "000000 000000 1", RestartButton},
        };
        for (const auto& step : steps) {
            CAPTURE(Parents(mother, father));
            CAPTURE(Name(step.click));
            program.Click(step.click);
            CHECK(program.Text(LabelBase + 6) == step.parents);
            CHECK(program.Text(LabelBase + 4) == step.answer);
            CHECK(program.Flags() == step.flags);
            CHECK(program.Focus() == step.focus);
            if (mother == 1)
                CheckLook(program.window);
        }
    }
    SendMessageW(program.Control(RestartButton), BM_SETSTATE, TRUE, 0);
    CheckLook(program.window);
}

// Wine cannot switch high contrast (SPI_SETHIGHCONTRAST fails): the window made here is told that
// it was switched on, and off again, with the setting forced in this process.
TEST_CASE("high contrast draws the window in the system's colours, and follows when switched") {
    OwnWindow own;
    SendMessageW(own.Control(MotherButton + 3), BM_CLICK, 0, 0);
    SendMessageW(own.Control(FatherButton + 5), BM_CLICK, 0, 0);
    for (const bool on : {true, false}) {
        Painting::forcedHighContrast = on;
        SendMessageW(own.window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        own.Pump();
        CheckLook(own.window, on);
    }
    Painting::forcedHighContrast.reset();
}

TEST_CASE("keys move the focus between the enabled buttons and press the focused one") {
    const auto visiting = [](WORD key, const std::vector<int>& order) {
        std::vector<Press> presses;
        for (int next : order)
            presses.push_back({key, next});
        return presses;
    };
    // The father row is disabled and skipped; past RESTART the mother row comes round again.
    const std::vector<int> round = {102, 103, 104, 105, 106, RestartButton, 101};
    std::vector<int> back(round.rbegin() + 1, round.rend());
    back.push_back(101);
    // Tab to the genotype; the key picks it once however long it is held, and each step leaves
    // the focus on the next one.
    const auto picking = [](WORD key, int repeats, int mother, int father) {
        std::vector<Press> presses;
        for (int i = 2; i <= mother; ++i)
            presses.push_back({VK_TAB, MotherButton + i});
        presses.push_back({key, FatherButton + 1, mother, 0, repeats});
        for (int i = 2; i <= father; ++i)
            presses.push_back({VK_TAB, FatherButton + i, mother});
        presses.push_back({key, RestartButton, mother, father, repeats});
        presses.push_back({VK_TAB, RestartButton, mother, father}); // the only one left
        presses.push_back({key, MotherButton + 1, 0, 0, repeats});
        return presses;
    };
    const std::pair<const char*, std::vector<Press>> rows[] = {
        {"Tab", visiting(VK_TAB, round)},
        {"Right", visiting(VK_RIGHT, round)},
        {"Down", visiting(VK_DOWN, round)},
        {"Left", visiting(VK_LEFT, back)},
        {"Up", visiting(VK_UP, back)},
        {"Space", picking(VK_SPACE, 0, 3, 5)},
        {"Return", picking(VK_RETURN, 0, 6, 3)},
        {"Space held", picking(VK_SPACE, 5, 2, 6)},
        {"Return held", picking(VK_RETURN, 5, 1, 4)},
        // The focus leaves with the window and comes back where it was.
        {"away and back",
         {{VK_TAB, 102}, {0, 102}, {VK_SPACE, 201, 2}, {VK_TAB, 202, 2}, {0, 202, 2}}},
    };
    for (const auto& [name, presses] : rows)
        SUBCASE(name) {
            PressKeys(presses);
        }
}

TEST_CASE("the pointer clicks enabled buttons only, and resting on the answer shows its tooltip") {
    const Program program;
    REQUIRE(program.Foreground());
    // On Wine's scaled desktop about one real click in twenty is lost: there the clicks go by
    // messages, and only the pointer's moves are real.
    const auto click = [&](int id) {
        dpi == layout::StandardDpi ? program.MouseClick(id) : program.Click(id);
    };
    click(FatherButton + 4);
    CHECK(program.Text(LabelBase + 6) == "");
    click(MotherButton + 3);
    CHECK(program.Focus(FatherButton + 1) == FatherButton + 1);
    click(MotherButton + 2); // disabled once the mother is taken
    click(FatherButton + 5);
    CHECK(program.Text(LabelBase + 6, Parents(3, 5)) == Parents(3, 5));
    // The tooltip is as large as what it draws: nothing touches its edges, where it would be cut
    // off. The Punnett square is a grid: four rules as high as its three rows stand down it.
    program.Point(LabelBase + 4);
    REQUIRE(Settled([&] { return program.Shown(TOOLTIPS_CLASSW) != nullptr; }, true));
    const Snapshot tip(program.Shown(TOOLTIPS_CLASSW));
    const COLORREF paper = GetSysColor(COLOR_INFOBK);
    const RECT whole = tip.Client();
    const RECT ink = tip.Ink(whole, paper);
    CAPTURE(Box(whole));
    CAPTURE(Box(ink));
    CHECK((ink.left >= 2 && ink.top >= 2 && whole.right - ink.right >= 2 &&
           whole.bottom - ink.bottom >= 2));
    int rules = 0;
    for (LONG x = 0; x < whole.right; ++x) {
        int run = 0;
        int longest = 0;
        for (LONG y = 0; y < whole.bottom; ++y)
            longest = std::max(longest, run = tip.At(x, y) == paper ? 0 : run + 1);
        rules += longest >= 3 * LineHeight(StatusFont(dpi));
    }
    CHECK(rules == 4);
    // The program's own message loop hands keys to the window: Return presses RESTART, and the
    // tooltip goes with the answer.
    CHECK(program.Focus(RestartButton) == RestartButton);
    Stroke(VK_RETURN);
    CHECK(program.Text(LabelBase + 6, "") == "");
    CHECK_FALSE(Settled([&] { return program.Shown(TOOLTIPS_CLASSW) != nullptr; }, false));
}

TEST_CASE("closing the window ends the program in every state") {
    for (int picks = 0; picks <= 2; ++picks) {
        CAPTURE(picks);
        Program program;
        REQUIRE(program.window);
        if (picks >= 1)
            program.Click(MotherButton + 6);
        if (picks >= 2)
            program.Click(FatherButton + 2);
        CHECK(program.Close() == 0);
    }
}

// In this process: Wine gives another process no icon, and fonts only as handles. Moved to a
// screen of another resolution, as Windows tells it (Wine has one screen), the window lays itself
// out anew.
TEST_CASE("the window and each control in its place, font and text, at two resolutions") {
    OwnWindow own;
    SUBCASE("at the screen's resolution") {
        CheckLaidOut(own, dpi);
    }
    SUBCASE("moved to another resolution") {
        const int at = dpi == 96 ? 144 : 96;
        RECT frame;
        GetWindowRect(own.window, &frame);
        SendMessageW(own.window, WM_DPICHANGED, MAKEWPARAM(at, at),
                     reinterpret_cast<LPARAM>(&frame));
        CheckLaidOut(own, at);
    }
}
