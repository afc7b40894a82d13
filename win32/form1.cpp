#include "form1.h"

#include "answer_meaning.h"
#include "form_layout.h"
#include "handles.h"
#include "wide_text.h"

#include <commctrl.h>

#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

using handles::AsInteger;
using handles::AsPointer;
using widetext::ToUtf16;
using widetext::ToUtf8;

// The id of Command1(index), Command2(index), or, without a row, Command3.
int ButtonId(std::optional<form::Row> row, std::int16_t index) {
    if (!row)
        return win32ids::RestartButton;
    return (row == form::Row::Command1 ? win32ids::MotherButton : win32ids::FatherButton) + index;
}

bool IsGenotypeButton(int id, int row) {
    return id > row && id <= row + genetics::GenotypeCount;
}

} // namespace

Form1::Form1(HINSTANCE instance, int forcedDpi)
    : instance(instance)
    , placement(forcedDpi) {}

HWND Form1::Create(HINSTANCE instance, int dpi) {
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&common);
    if (!Register(instance, win32ids::HeartIcon))
        return nullptr;
    std::unique_ptr<Form1> owned(new Form1(instance, dpi));
    const RECT frame = owned->placement.FirstFrame();
    Form1* const made =
        WindowBase::Create(std::move(owned), Placement::WindowExStyle, Placement::WindowStyle,
                           ToUtf16(layout::Form1.title).c_str(), frame, instance);
    if (made == nullptr)
        return nullptr;
    made->placement.Settle(made->Hwnd());
    made->CreateControls();
    made->LayOut(made->placement.Dpi());
    made->placement.FitClientArea(made->Hwnd());

    // The form's Load event: it runs before the window is first shown.
    made->formLogic.OnLoad();
    made->DescribeStep();
    made->keyboard.FocusFirstEnabled();
    return made->Hwnd();
}

bool Form1::HandleDialogMessage(MSG& message) {
    Form1* form = FromHwnd(message.hwnd);
    return form != nullptr && form->keyboard.HandleDialogMessage(message);
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
    ShowWindow(Hwnd(), showCommand);
    UpdateWindow(Hwnd());
    if (!heart.Loaded())
        heart.Set(Hwnd(), instance, placement.Dpi());
    if (!answerTip.Handle())
        answerTip.Create(Hwnd(), LabelOf(form::Label::Label4), instance, placement.Dpi());
    if (!annotations.Started())
        annotations.Start();
}

// One small function per message the window handles; everything else is Windows' default.
LRESULT Form1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), AsPointer<HWND>(lParam));
        return 0;
    case WM_DRAWITEM: {
        const auto& item = *AsPointer<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID == static_cast<UINT>(win32ids::RestartButton))
            painting.DrawRestart(item, fonts.Of(layout::Command3.font));
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        const int number = GetDlgCtrlID(AsPointer<HWND>(lParam)) - win32ids::LabelBase;
        const std::size_t label =
            number >= 1 ? static_cast<std::size_t>(number - 1) : layout::Labels.size();
        return AsInteger<LRESULT>(painting.LabelColours(AsPointer<HDC>(wParam), label));
    }
    case WM_CTLCOLORBTN: // what shows around a button's face
        return AsInteger<LRESULT>(painting.Background());
    case WM_ERASEBKGND:
        painting.EraseBackground(Hwnd(), AsPointer<HDC>(wParam));
        return TRUE;
    case WM_NOTIFY:
        return answerTip.OnNotify(*AsPointer<NMHDR*>(lParam));
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        // High contrast switched on or off, or the system's colours changed: drawn anew in them.
        if (message == WM_SYSCOLORCHANGE || wParam == SPI_SETHIGHCONTRAST) {
            painting.FollowSystem();
            if (answerTip.Handle())
                SendMessageW(answerTip.Handle(), WM_SYSCOLORCHANGE, 0, 0);
            RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        return Default(message, wParam, lParam);
    case WM_ACTIVATE:
        keyboard.OnActivate(wParam);
        return 0;
    case WM_SETFOCUS:
        keyboard.RestoreFocus();
        return 0;
    case WM_GETDPISCALEDSIZE:
        *AsPointer<SIZE*>(lParam) = Placement::ScaledSize(static_cast<int>(wParam));
        return TRUE;
    case WM_DPICHANGED:
        placement.Move(Hwnd(), LOWORD(wParam), *AsPointer<const RECT*>(lParam));
        LayOut(placement.Dpi());
        placement.FitClientArea(Hwnd());
        return 0;
    case WM_DESTROY:
        annotations.Withdraw(); // the controls go next
        PostQuitMessage(0);
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

// The first created is uppermost: the buttons in tab order, so that Tab visits them in their
// designed order and they are drawn above the labels they overlap; then the labels from the last
// to the first, so that, as on Linux, the bordered answer and parents labels are drawn above the
// one they overlap. LayOut places them.
void Form1::CreateControls() {
    const auto child = [this](const wchar_t* kind, std::string_view caption, DWORD style, int id,
                              const layout::Twips& rect, layout::FontKey font) {
        HWND control = CreateWindowExW(
            0, kind, ToUtf16(caption).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0,
            0, 0, 0, Hwnd(), AsPointer<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        controls[id] = {control, rect, font};
        return control;
    };
    std::vector<HWND> tabOrder;
    for (const layout::TabStop& stop : layout::TabOrder) {
        const layout::Button& look = *stop.look;
        // RESTART draws its own face, so that it stays green pressed, focused or disabled.
        const DWORD kind = look.background ? BS_OWNERDRAW : BS_PUSHBUTTON;
        tabOrder.push_back(child(L"BUTTON", look.caption, WS_TABSTOP | kind,
                                 ButtonId(stop.row, stop.index), look.rect, look.font));
    }
    keyboard.Attach(Hwnd(), std::move(tabOrder));

    for (std::size_t i = layout::Labels.size(); i-- > 0;) {
        const layout::Label& look = layout::Labels.at(i);
        const int id = win32ids::LabelBase + static_cast<int>(i) + 1;
        // Text centred vertically, as on Linux; the answer label takes the mouse for its tooltip.
        DWORD style = SS_NOPREFIX | SS_CENTERIMAGE |
                      (look.align == layout::Align::Left ? SS_LEFT : SS_CENTER);
        if (look.border)
            style |= WS_BORDER;
        if (i == layout::LabelIndex(form::Label::Label4))
            style |= SS_NOTIFY;
        child(L"STATIC", look.caption, style, id, look.rect, look.font);
    }

    annotations.Describe(Hwnd(), std::string(meaning::FormDescription));
    for (std::int16_t index = 1; index <= genetics::GenotypeCount; ++index) {
        annotations.Describe(Button(form::Row::Command1, index),
                             meaning::ButtonDescription("Mother", index));
        annotations.Describe(Button(form::Row::Command2, index),
                             meaning::ButtonDescription("Father", index));
    }
    annotations.Describe(LabelOf(form::Label::Label6), std::string(meaning::ParentsDescription));
    // The answer label, the first father button and RESTART say what each step did: DescribeStep.
}

// Places every control and gives it its font for a screen of `dpi` dots per inch, and the heart
// and the answer's tooltip theirs once the window has them. The old fonts go only once no
// control uses them.
void Form1::LayOut(int dpi) {
    const Fonts::Set old = fonts.Rescale(dpi);
    for (const auto& [id, child] : controls) {
        const RECT rect = pixels::FromTwips(child.rect, dpi);
        SetWindowPos(child.handle, nullptr, rect.left, rect.top, pixels::Width(rect),
                     pixels::Height(rect), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(child.handle, WM_SETFONT, AsInteger<WPARAM>(fonts.Of(child.font)), TRUE);
    }
    if (heart.Loaded())
        heart.Set(Hwnd(), instance, dpi);
    answerTip.Fit(dpi);
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Each click goes to the form logic; the focus then moves on to where the next step is.
void Form1::OnCommand(int id, int code, HWND control) {
    if (code != BN_CLICKED || !control || control != Control(id) ||
        IsWindowEnabled(control) == FALSE)
        return;
    keyboard.Step([&] {
        if (IsGenotypeButton(id, win32ids::MotherButton))
            formLogic.OnMotherPick(static_cast<std::int16_t>(id - win32ids::MotherButton));
        else if (IsGenotypeButton(id, win32ids::FatherButton))
            formLogic.OnFatherPick(static_cast<std::int16_t>(id - win32ids::FatherButton));
        else if (id == win32ids::RestartButton)
            formLogic.OnRestart();
    });
    DescribeStep();
    keyboard.Advance();
}

// A screen reader speaks the button that takes the focus after a step, and does not speak labels
// that change without it; so that button also says what the step did: the mother taken and the
// father next, or the whole answer. What the answer means goes with the answer label and its
// tooltip. Only descriptions change; captions stay as they are.
void Form1::DescribeStep() {
    const std::int16_t mother = formLogic.MotherIndex;
    const std::int16_t father = formLogic.FatherIndex;
    const bool answered = !GetLabelCaption(form::Label::Label4).empty();
    const meaning::StepDescriptions said = meaning::AfterStep(
        mother, father, keyboard.Enabled(Button(form::Row::Command2, 1)), answered);
    annotations.Describe(LabelOf(form::Label::Label4), said.answerLabel);
    annotations.Describe(Button(form::Row::Command2, 1), said.firstFather);
    annotations.Describe(Control(win32ids::RestartButton), said.restart);
    answerTip.SetAnswer(answered ? mother : std::int16_t{0}, answered ? father : std::int16_t{0});
}

HWND Form1::Control(int id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second.handle;
}

HWND Form1::Button(form::Row row, std::int16_t index) const {
    if (!genetics::IsGenotypeIndex(index))
        throw std::out_of_range("no button of that index");
    return Control(ButtonId(row, index));
}

HWND Form1::LabelOf(form::Label label) const {
    return Control(win32ids::LabelBase + 1 + static_cast<int>(layout::LabelIndex(label)));
}

std::string Form1::Description(int controlId) const {
    return annotations.Of(controlId == 0 ? Hwnd() : Control(controlId));
}

void Form1::SetButtonEnabled(form::Row row, std::int16_t index, bool enabled) {
    keyboard.SetEnabled(Button(row, index), enabled);
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
