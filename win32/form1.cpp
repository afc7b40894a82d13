#include "form1.h"

#include "answer_meaning.h"
#include "control_ids.h"
#include "wide_text.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

using widetext::ToUtf16;
using widetext::ToUtf8;

// A fixed single border with the close box only: no minimise, no maximise, no resizing.
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD WindowExStyle = 0;
// The heart, the resource both the executable and the window show.
constexpr WORD IconResource = 1;

// Messages and window data carry handles and pointers as integers; these are the only
// conversions between the two.
// NOLINTBEGIN(cppcoreguidelines-pro-type-reinterpret-cast, performance-no-int-to-ptr)
template <typename Pointer, typename Value> Pointer AsPointer(Value value) {
    return reinterpret_cast<Pointer>(value);
}

template <typename Integer, typename Pointer> Integer AsInteger(Pointer pointer) {
    return reinterpret_cast<Integer>(pointer);
}

// A function of a library loaded at run time, as the type it is declared with.
template <typename Function> Function LibraryFunction(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
// NOLINTEND(cppcoreguidelines-pro-type-reinterpret-cast, performance-no-int-to-ptr)

COLORREF ToColorRef(const layout::Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

RECT ToPixels(const layout::Twips& twips, int dpi) {
    using layout::ToPixels;
    const int left = ToPixels(twips.left, dpi);
    const int top = ToPixels(twips.top, dpi);
    return {left, top, left + ToPixels(twips.width, dpi), top + ToPixels(twips.height, dpi)};
}

int Width(const RECT& rect) {
    return rect.right - rect.left;
}

int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

// The whole window's rectangle, frame included, around the client area laid out for
// `clientDpi`, with the frame drawn for `frameDpi`; its top-left corner at the origin.
RECT FrameAround(int clientDpi, int frameDpi) {
    RECT frame{0, 0, layout::ToPixels(layout::Form1.clientWidth, clientDpi),
               layout::ToPixels(layout::Form1.clientHeight, clientDpi)};
    AdjustWindowRectExForDpi(&frame, WindowStyle, FALSE, WindowExStyle,
                             static_cast<UINT>(frameDpi));
    OffsetRect(&frame, -frame.left, -frame.top);
    return frame;
}

// The frame centred on the primary monitor's work area, where the window first appears.
RECT CentredOnWorkArea(RECT frame) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    OffsetRect(&frame, area.left + (Width(area) - Width(frame)) / 2,
               area.top + (Height(area) - Height(frame)) / 2);
    return frame;
}

int CALLBACK FaceFound(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                       LPARAM found) {
    *AsPointer<bool*>(found) = true;
    return 0; // one is enough
}

bool FaceInstalled(HDC dc, const std::wstring& face, int charset) {
    LOGFONTW query{};
    query.lfCharSet = static_cast<BYTE>(charset);
    face.copy(std::data(query.lfFaceName), LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, FaceFound, AsInteger<LPARAM>(&found), 0);
    return found;
}

// The designed face where it is installed with the designed character set, else its substitute
// where that is, else the designed face for Windows' font mapper to stand in for.
std::wstring ChooseFace(HDC dc, const layout::Font& look) {
    std::wstring face = ToUtf16(look.face);
    if (FaceInstalled(dc, face, look.charset))
        return face;
    const std::wstring substitute = ToUtf16(look.substitute);
    return FaceInstalled(dc, substitute, look.charset) ? substitute : face;
}

HFONT MakeFont(const layout::Font& look, const std::wstring& face, int dpi) {
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(look.points * dpi / 72.0));
    font.lfWeight = look.weight;
    font.lfCharSet = static_cast<BYTE>(look.charset);
    face.copy(std::data(font.lfFaceName), LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

HMENU ChildId(int id) {
    return AsPointer<HMENU>(static_cast<INT_PTR>(id));
}

bool IsGenotypeButton(int id, int row) {
    return id > row && id <= row + genetics::GenotypeCount;
}

// What CreateWindowExW hands to the window procedure: the Form1 the new window takes over.
struct Adoption {
    Form1* form;
    bool adopted;
};

} // namespace

Form1::Form1(HINSTANCE instance, int forcedDpi)
    : instance(instance)
    , dpi(forcedDpi > 0 ? forcedDpi : layout::StandardDpi)
    , dpiForced(forcedDpi > 0)
    , background(CreateSolidBrush(ToColorRef(layout::Form1.background)))
    , restartBrush(CreateSolidBrush(ToColorRef(*layout::Command3.background))) {
    for (std::size_t i = 0; i < layout::Labels.size(); ++i)
        if (layout::Labels[i].background)
            labelBrushes[i].reset(CreateSolidBrush(ToColorRef(*layout::Labels[i].background)));
    HDC screen = GetDC(nullptr);
    for (std::size_t key = 0; key < faces.size(); ++key) {
        const layout::Font& look = layout::Fonts.at(key);
        // Fonts of one face and character set share one lookup.
        const auto* first = std::ranges::find_if(layout::Fonts, [&look](const layout::Font& font) {
            return font.face == look.face && font.charset == look.charset;
        });
        const auto seen = static_cast<std::size_t>(first - layout::Fonts.begin());
        faces.at(key) = seen < key ? faces.at(seen) : ChooseFace(screen, look);
    }
    ReleaseDC(nullptr, screen);
}

Form1::~Form1() {
    accessibility.reset(); // before COM is let go
    if (comUninitialize)
        comUninitialize();
}

HWND Form1::Create(HINSTANCE instance, int dpi) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW formClass{};
    formClass.cbSize = sizeof(formClass);
    if (GetClassInfoExW(instance, win32ids::WindowClass, &formClass) == FALSE) {
        formClass.lpfnWndProc = WindowProc;
        formClass.hInstance = instance;
        // NOLINTBEGIN(performance-no-int-to-ptr, cppcoreguidelines-pro-type-cstyle-cast)
        formClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        formClass.hIcon =
            static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IconResource), IMAGE_ICON, 0,
                                          0, LR_DEFAULTSIZE | LR_SHARED));
        // NOLINTEND(performance-no-int-to-ptr, cppcoreguidelines-pro-type-cstyle-cast)
        formClass.lpszClassName = win32ids::WindowClass;
        if (RegisterClassExW(&formClass) == 0)
            return nullptr;
    }

    std::unique_ptr<Form1> form(new Form1(instance, dpi));
    // Placed for the system's resolution before it exists, so that it appears where it belongs.
    const int systemDpi = static_cast<int>(GetDpiForSystem());
    const RECT frame =
        CentredOnWorkArea(FrameAround(form->dpiForced ? form->dpi : systemDpi, systemDpi));
    Adoption adoption{form.get(), false};
    HWND window = CreateWindowExW(
        WindowExStyle, win32ids::WindowClass, ToUtf16(layout::Form1.title).c_str(), WindowStyle,
        frame.left, frame.top, Width(frame), Height(frame), nullptr, nullptr, instance, &adoption);
    if (!window) {
        if (adoption.adopted)
            static_cast<void>(form.release()); // deleted already with the window
        return nullptr;
    }
    Form1* const created = form.release();
    const int windowDpi = static_cast<int>(GetDpiForWindow(window));
    if (!created->dpiForced && windowDpi != systemDpi) {
        const RECT own = CentredOnWorkArea(FrameAround(windowDpi, windowDpi));
        SetWindowPos(window, nullptr, own.left, own.top, Width(own), Height(own),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    created->dpi = created->dpiForced ? created->dpi : windowDpi;
    created->CreateControls();
    created->FitClientArea();

    // The form's Load event: it runs before the window is first shown.
    created->formLogic.OnLoad();
    created->DescribeStep();
    created->FocusFirstEnabled();
    return window;
}

Form1* Form1::FromHwnd(HWND window) {
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    DWORD process = 0;
    if (!root || GetWindowThreadProcessId(root, &process) == 0 || process != GetCurrentProcessId())
        return nullptr;
    std::array<wchar_t, 64> className{};
    GetClassNameW(root, className.data(), static_cast<int>(className.size()));
    if (std::wstring_view(className.data()) != win32ids::WindowClass)
        return nullptr;
    return AsPointer<Form1*>(GetWindowLongPtrW(root, GWLP_USERDATA));
}

bool Form1::HandleDialogMessage(MSG& message) {
    Form1* form = FromHwnd(message.hwnd);
    if (!form)
        return false;
    const bool key = message.message == WM_KEYDOWN || message.message == WM_KEYUP;
    HWND focus = GetFocus();
    if (!key || std::ranges::find(form->tabOrder, focus) == form->tabOrder.end())
        return IsDialogMessageW(form->window, &message) != FALSE;
    switch (message.wParam) {
    case VK_RETURN:
        // Return presses the focused button as Space does: down while held, one click when let
        // go, however often the held key repeats. (The dialog manager would click on each.)
        form->ShowFocusCues();
        SendMessageW(focus, message.message, VK_SPACE, message.lParam);
        return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        // The arrows move the focus as Shift+Tab and Tab do, as on Linux. (The dialog manager
        // leaves them to a dialog box's own procedure, which this window is not.)
        if (message.message == WM_KEYDOWN) {
            form->ShowFocusCues();
            form->MoveFocus(focus, message.wParam == VK_RIGHT || message.wParam == VK_DOWN);
        }
        return true;
    default:
        return IsDialogMessageW(form->window, &message) != FALSE;
    }
}

// The enabled button after or before `from` in tab order, round to the other end.
void Form1::MoveFocus(HWND from, bool forward) {
    const auto count = static_cast<std::ptrdiff_t>(tabOrder.size());
    const std::ptrdiff_t start = std::ranges::find(tabOrder, from) - tabOrder.begin();
    for (std::ptrdiff_t step = 1; step < count; ++step) {
        const std::ptrdiff_t at = ((forward ? start + step : start - step) % count + count) % count;
        HWND button = tabOrder.at(static_cast<std::size_t>(at));
        if (Enabled(button)) {
            SetFocus(button);
            return;
        }
    }
}

// Focus rectangles show once the keyboard is used, as the dialog manager shows them for the keys
// it handles itself.
void Form1::ShowFocusCues() const {
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

int Form1::RunMessageLoop() {
    MSG message{};
    BOOL got = FALSE;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (!HandleDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

// What the first frame does not show comes after it: the heart in this resolution's sizes (the
// window class's icons, the same at the system's resolution, show until then), the answer's
// tooltip, and the controls' descriptions handed to the accessibility service. A screen reader
// asks for those through messages, which the window answers only from its message loop on.
void Form1::Show(int showCommand) {
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    if (!bigIcon)
        SetIcons();
    if (!tooltip)
        CreateTooltip();
    if (!annotationsStarted)
        StartAnnotations();
}

LRESULT CALLBACK Form1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* adoption =
            static_cast<Adoption*>(AsPointer<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        adoption->form->window = window;
        adoption->adopted = true;
        SetWindowLongPtrW(window, GWLP_USERDATA, AsInteger<LONG_PTR>(adoption->form));
    }
    auto* form = AsPointer<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete form; // the window owned it
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->OnMessage(message, wParam, lParam);
}

// One small function per message the window handles; everything else is Windows' default.
LRESULT Form1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), AsPointer<HWND>(lParam));
        return 0;
    case WM_DRAWITEM:
        DrawRestart(*AsPointer<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return AsInteger<LRESULT>(LabelColours(AsPointer<HDC>(wParam), AsPointer<HWND>(lParam)));
    case WM_CTLCOLORBTN: // what shows around a button's face
        return AsInteger<LRESULT>(background.get());
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(AsPointer<HDC>(wParam), &client, background.get());
        return TRUE;
    }
    case WM_NOTIFY:
        return OnNotify(*AsPointer<NMHDR*>(lParam));
    case WM_ACTIVATE:
        // As a dialog does: the focus leaves with the window and comes back where it was.
        if (HIWORD(wParam) != 0) // minimised: no focus to give
            return 0;
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(window, focus) != FALSE)
                focusTarget = focus;
        } else {
            RestoreFocus();
        }
        return 0;
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_GETDPISCALEDSIZE: {
        const RECT frame = FrameAround(static_cast<int>(wParam), static_cast<int>(wParam));
        *AsPointer<SIZE*>(lParam) = {Width(frame), Height(frame)};
        return TRUE;
    }
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), *AsPointer<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        OnDestroy();
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The first created is uppermost: the buttons in tab order, so that Tab visits them in their
// designed order and they are drawn above the labels they overlap; then the labels from the last
// to the first, so that, as on Linux, the bordered answer and parents labels are drawn above the
// one they overlap.
void Form1::CreateControls() {
    fonts = MakeFonts(dpi);
    const auto child = [this](const wchar_t* kind, std::string_view caption, DWORD style, int id,
                              const layout::Twips& twips, layout::FontKey font) {
        const RECT rect = ToPixels(twips, dpi);
        HWND control = CreateWindowExW(
            0, kind, ToUtf16(caption).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
            rect.left, rect.top, Width(rect), Height(rect), window, ChildId(id), instance, nullptr);
        SendMessageW(control, WM_SETFONT,
                     AsInteger<WPARAM>(fonts.at(static_cast<std::size_t>(font)).get()), FALSE);
        controls[id] = {control, twips, font};
        return control;
    };
    std::vector<std::pair<const layout::Button*, int>> buttons;
    for (int index = 1; index <= genetics::GenotypeCount; ++index) {
        const auto i = static_cast<std::size_t>(index - 1);
        buttons.emplace_back(&layout::Command1.at(i), win32ids::MotherButton + index);
        buttons.emplace_back(&layout::Command2.at(i), win32ids::FatherButton + index);
    }
    buttons.emplace_back(&layout::Command3, win32ids::RestartButton);
    std::ranges::sort(buttons, {}, [](const auto& button) { return button.first->tabIndex; });
    for (const auto& [look, id] : buttons) {
        // RESTART draws its own face, so that it stays green pressed, focused or disabled.
        const DWORD kind = look->background ? BS_OWNERDRAW : BS_PUSHBUTTON;
        tabOrder.push_back(
            child(L"BUTTON", look->caption, WS_TABSTOP | kind, id, look->rect, look->font));
    }

    for (std::size_t i = layout::Labels.size(); i-- > 0;) {
        const layout::Label& look = layout::Labels.at(i);
        const int id = win32ids::LabelBase + static_cast<int>(i) + 1;
        // Text centred vertically, as on Linux; the answer label takes the mouse for its tooltip.
        DWORD style = SS_NOPREFIX | SS_CENTERIMAGE |
                      (look.align == layout::Align::Left ? SS_LEFT : SS_CENTER);
        if (look.border)
            style |= WS_BORDER;
        if (id == win32ids::LabelBase + 4)
            style |= SS_NOTIFY;
        child(L"STATIC", look.caption, style, id, look.rect, look.font);
    }

    Describe(0, std::string(meaning::FormDescription));
    for (std::int16_t index = 1; index <= genetics::GenotypeCount; ++index) {
        Describe(win32ids::MotherButton + index, meaning::ButtonDescription("Mother", index));
        Describe(win32ids::FatherButton + index, meaning::ButtonDescription("Father", index));
    }
    Describe(win32ids::LabelBase + 6, std::string(meaning::ParentsDescription));
    // The answer label, the first father button and RESTART say what each step did: DescribeStep.
}

// Shows what the answer means while the mouse rests on it; DescribeStep gives it its text.
void Form1::CreateTooltip() {
    tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = AsInteger<UINT_PTR>(LabelOf(form::Label::Label4));
    tool.lpszText = LPSTR_TEXTCALLBACKW; // NOLINT(performance-no-int-to-ptr)
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, AsInteger<LPARAM>(&tool));
    SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
    FitTooltip();
    if (!answerTip.empty())
        SendMessageW(tooltip, TTM_UPDATE, 0, 0);
}

// Screen readers take the controls' descriptions from the accessibility service; without it the
// window works the same, only unannotated. COM is loaded here rather than with the program, whose
// first frame it would hold up by several milliseconds; it stays loaded until the program ends.
void Form1::StartAnnotations() {
    annotationsStarted = true;
    HMODULE ole32 = LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!ole32)
        return;
    const auto initialize = LibraryFunction<decltype(&CoInitializeEx)>(ole32, "CoInitializeEx");
    const auto create = LibraryFunction<decltype(&CoCreateInstance)>(ole32, "CoCreateInstance");
    const auto uninitialize = LibraryFunction<decltype(&CoUninitialize)>(ole32, "CoUninitialize");
    if (!initialize || !create || !uninitialize ||
        FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED)))
        return;
    comUninitialize = uninitialize;
    IAccPropServices* service = nullptr;
    if (FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                      AsPointer<void**>(&service))))
        return;
    accessibility.reset(service);
    for (const auto& [id, text] : descriptions)
        Annotate(id, text);
}

std::array<Form1::Gdi<HFONT>, layout::Fonts.size()> Form1::MakeFonts(int forDpi) const {
    std::array<Gdi<HFONT>, layout::Fonts.size()> made;
    for (std::size_t key = 0; key < made.size(); ++key)
        made.at(key).reset(MakeFont(layout::Fonts.at(key), faces.at(key), forDpi));
    return made;
}

// The heart in the sizes this resolution asks for: title bar and task switcher.
void Form1::SetIcons() {
    const auto heart = [&](int width, int height) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr, cppcoreguidelines-pro-type-cstyle-cast)
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IconResource), IMAGE_ICON,
                                             GetSystemMetricsForDpi(width, dpi),
                                             GetSystemMetricsForDpi(height, dpi), 0));
    };
    Icon big(heart(SM_CXICON, SM_CYICON));
    Icon small(heart(SM_CXSMICON, SM_CYSMICON));
    SendMessageW(window, WM_SETICON, ICON_BIG, AsInteger<LPARAM>(big.get()));
    SendMessageW(window, WM_SETICON, ICON_SMALL, AsInteger<LPARAM>(small.get()));
    bigIcon = std::move(big);
    smallIcon = std::move(small);
}

// The tooltip in the system's status font for this resolution (it would keep the one of the
// system's resolution), wide enough that it breaks its lines only where the text does.
void Form1::FitTooltip() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                   static_cast<UINT>(dpi)) != FALSE) {
        Gdi<HFONT> font(CreateFontIndirectW(&metrics.lfStatusFont));
        SendMessageW(tooltip, WM_SETFONT, AsInteger<WPARAM>(font.get()), TRUE);
        tooltipFont = std::move(font);
    }
    SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, MulDiv(640, dpi, layout::StandardDpi));
}

// Places every control and gives it its font for a screen of `newDpi` dots per inch. The old
// fonts go only once no control uses them.
void Form1::LayOut(int newDpi) {
    dpi = newDpi;
    std::array<Gdi<HFONT>, layout::Fonts.size()> newFonts = MakeFonts(dpi);
    for (const auto& [id, child] : controls) {
        const RECT rect = ToPixels(child.rect, dpi);
        SetWindowPos(child.handle, nullptr, rect.left, rect.top, Width(rect), Height(rect),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(child.handle, WM_SETFONT,
                     AsInteger<WPARAM>(newFonts.at(static_cast<std::size_t>(child.font)).get()),
                     TRUE);
    }
    fonts = std::move(newFonts);
    SetIcons();
    if (tooltip)
        FitTooltip();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form1::OnDpiChanged(int newDpi, const RECT& suggested) {
    SetWindowPos(window, nullptr, suggested.left, suggested.top, Width(suggested),
                 Height(suggested), SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut(newDpi);
    FitClientArea();
}

// Makes the client area exactly the designed size, about the same centre, wherever the frame is
// drawn at another resolution than the one asked about.
void Form1::FitClientArea() {
    RECT client{};
    GetClientRect(window, &client);
    const int wider = layout::ToPixels(layout::Form1.clientWidth, dpi) - Width(client);
    const int taller = layout::ToPixels(layout::Form1.clientHeight, dpi) - Height(client);
    if (wider == 0 && taller == 0)
        return;
    RECT frame{};
    GetWindowRect(window, &frame);
    SetWindowPos(window, nullptr, frame.left - wider / 2, frame.top - taller / 2,
                 Width(frame) + wider, Height(frame) + taller, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Each click goes to the form logic; the focus then moves on to where the next step is. The
// focused button, if the step disables it, is disabled only after the focus has left it, so that
// the focus goes straight there and never to nothing in between.
void Form1::OnCommand(int id, int code, HWND control) {
    if (code != BN_CLICKED || !control || control != Control(id) ||
        IsWindowEnabled(control) == FALSE)
        return;
    stepping = true;
    if (IsGenotypeButton(id, win32ids::MotherButton))
        formLogic.OnMotherPick(static_cast<std::int16_t>(id - win32ids::MotherButton));
    else if (IsGenotypeButton(id, win32ids::FatherButton))
        formLogic.OnFatherPick(static_cast<std::int16_t>(id - win32ids::FatherButton));
    else if (id == win32ids::RestartButton)
        formLogic.OnRestart();
    stepping = false;
    DescribeStep();
    FocusFirstEnabled();
    if (HWND disable = std::exchange(pendingDisable, nullptr))
        EnableWindow(disable, FALSE);
}

// RESTART in its own green in every state, with the classic push button's edges: raised, or
// sunken while pressed, a black outline while it has the focus, and the focus rectangle.
void Form1::DrawRestart(const DRAWITEMSTRUCT& item) const {
    if (item.CtlID != static_cast<UINT>(win32ids::RestartButton))
        return;
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    if (focused) {
        FrameRect(dc, &face, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&face, -1, -1);
    }
    FillRect(dc, &face, restartBrush.get());
    if (pressed)
        FrameRect(dc, &face, GetSysColorBrush(COLOR_BTNSHADOW));
    else
        DrawEdge(dc, &face, EDGE_RAISED, BF_RECT);

    const std::wstring caption = widetext::WindowText(item.hwndItem);
    RECT text = face;
    if (pressed)
        OffsetRect(&text, 1, 1);
    const auto font = static_cast<std::size_t>(layout::Command3.font);
    HGDIOBJ previous = SelectObject(dc, fonts.at(font).get());
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

// The labels' designed colours; where none is designed, the system's button face and text.
HBRUSH Form1::LabelColours(HDC dc, HWND label) const {
    const int number = GetDlgCtrlID(label) - win32ids::LabelBase;
    if (number < 1 || number > static_cast<int>(layout::Labels.size()))
        return GetSysColorBrush(COLOR_BTNFACE);
    const auto i = static_cast<std::size_t>(number - 1);
    const layout::Label& look = layout::Labels.at(i);
    SetTextColor(dc, look.text ? ToColorRef(*look.text) : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, look.background ? ToColorRef(*look.background) : GetSysColor(COLOR_BTNFACE));
    return labelBrushes.at(i) ? labelBrushes.at(i).get() : GetSysColorBrush(COLOR_BTNFACE);
}

// The answer's tooltip asks for its text each time it shows; an empty text shows none.
LRESULT Form1::OnNotify(NMHDR& header) {
    if (header.hwndFrom == tooltip && header.code == TTN_GETDISPINFOW) {
        auto& request = *AsPointer<NMTTDISPINFOW*>(&header);
        request.hinst = nullptr;
        request.lpszText = answerTip.data();
    }
    return 0;
}

// The descriptions go with the controls, which are destroyed next.
void Form1::OnDestroy() {
    if (accessibility) {
        MSAAPROPID description = PROPID_ACC_DESCRIPTION;
        for (const auto& [id, text] : descriptions)
            accessibility->ClearHwndProps(id == 0 ? window : Control(id),
                                          static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                          &description, 1);
    }
}

void Form1::Describe(int controlId, const std::string& text) {
    descriptions[controlId] = text;
    if (!accessibility)
        return; // handed over once the service starts
    Annotate(controlId, text);
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, controlId == 0 ? window : Control(controlId),
                   OBJID_CLIENT, CHILDID_SELF);
}

void Form1::Annotate(int controlId, const std::string& text) const {
    accessibility->SetHwndPropStr(controlId == 0 ? window : Control(controlId),
                                  static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  PROPID_ACC_DESCRIPTION, ToUtf16(text).c_str());
}

// A screen reader speaks the button that takes the focus after a step, and does not speak labels
// that change without it; so that button also says what the step did: the mother taken and the
// father next, or the whole answer. What the answer means goes with the answer label and its
// tooltip. Only descriptions change; captions stay as they are.
void Form1::DescribeStep() {
    const std::int16_t mother = formLogic.MotherIndex;
    const std::int16_t father = formLogic.FatherIndex;
    const bool answered = !GetLabelCaption(form::Label::Label4).empty();
    const meaning::StepDescriptions said =
        meaning::AfterStep(mother, father, Enabled(Button(form::Row::Command2, 1)), answered);
    Describe(win32ids::LabelBase + 4, said.answerLabel);
    Describe(win32ids::FatherButton + 1, said.firstFather);
    Describe(win32ids::RestartButton, said.restart);
    answerTip = answered ? ToUtf16(meaning::AnswerDetailsText(mother, father)) : std::wstring();
    if (tooltip)
        SendMessageW(tooltip, answered ? TTM_UPDATE : TTM_POP, 0, 0);
}

// After every step exactly one row, or only RESTART, is enabled: its first button is the next
// step. While the window is not active the focus waits for it.
void Form1::FocusFirstEnabled() {
    const auto next =
        std::ranges::find_if(tabOrder, [this](HWND button) { return Enabled(button); });
    if (next == tabOrder.end())
        return;
    focusTarget = *next;
    if (GetActiveWindow() == window)
        SetFocus(focusTarget);
}

void Form1::RestoreFocus() {
    if (!focusTarget || !Enabled(focusTarget))
        FocusFirstEnabled();
    if (focusTarget)
        SetFocus(focusTarget);
}

// Enabled as the form logic last set it, the button waiting to be disabled counting as disabled.
bool Form1::Enabled(HWND control) const {
    return control != pendingDisable && IsWindowEnabled(control) != FALSE;
}

HWND Form1::Control(int id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second.handle;
}

HWND Form1::Button(form::Row row, std::int16_t index) const {
    if (!genetics::IsGenotypeIndex(index))
        throw std::out_of_range("no button of that index");
    const int first = row == form::Row::Command1 ? win32ids::MotherButton : win32ids::FatherButton;
    return Control(first + index);
}

HWND Form1::LabelOf(form::Label label) const {
    return Control(win32ids::LabelBase + (label == form::Label::Label4 ? 4 : 6));
}

std::string Form1::Description(int controlId) const {
    const auto found = descriptions.find(controlId);
    return found == descriptions.end() ? std::string() : found->second;
}

std::string Form1::AnswerTip() const {
    return ToUtf8(answerTip);
}

void Form1::SetButtonEnabled(form::Row row, std::int16_t index, bool enabled) {
    HWND button = Button(row, index);
    if (!enabled && stepping && button == GetFocus()) {
        pendingDisable = button;
        return;
    }
    if (enabled && button == pendingDisable)
        pendingDisable = nullptr;
    EnableWindow(button, enabled ? TRUE : FALSE);
}

std::string Form1::GetButtonCaption(form::Row row, std::int16_t index) const {
    return ToUtf8(widetext::WindowText(Button(row, index)));
}

std::string Form1::GetLabelCaption(form::Label label) const {
    return ToUtf8(widetext::WindowText(LabelOf(label)));
}

void Form1::SetLabelCaption(form::Label label, const std::string& text) {
    SetWindowTextW(LabelOf(label), ToUtf16(text).c_str());
}
