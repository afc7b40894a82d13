#include "keyboard_focus.h"

#include <algorithm>
#include <cstddef>
#include <utility>

void KeyboardFocus::Attach(HWND owner, std::vector<HWND> buttons) {
    window = owner;
    tabOrder = std::move(buttons);
}

bool KeyboardFocus::HandleDialogMessage(MSG& message) {
    if (message.message == WM_LBUTTONDOWN &&
        std::ranges::find(tabOrder, message.hwnd) != tabOrder.end())
        MarkDefault(message.hwnd); // which takes the focus as it is pressed
    const bool key = message.message == WM_KEYDOWN || message.message == WM_KEYUP;
    HWND focus = GetFocus();
    if (!key || std::ranges::find(tabOrder, focus) == tabOrder.end())
        return IsDialogMessageW(window, &message) != FALSE;
    switch (message.wParam) {
    case VK_RETURN:
        // Return presses the focused button as Space does: down while held, one click when let
        // go, however often the held key repeats. (The dialog manager would click on each.)
        ShowFocusCues();
        SendMessageW(focus, message.message, VK_SPACE, message.lParam);
        return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        // The arrows move the focus as Shift+Tab and Tab do, as on Linux. (The dialog manager
        // leaves them to a dialog box's own procedure, which this window is not.)
        if (message.message == WM_KEYDOWN) {
            ShowFocusCues();
            MoveFocus(focus, message.wParam == VK_RIGHT || message.wParam == VK_DOWN);
        }
        return true;
    default:
        return IsDialogMessageW(window, &message) != FALSE;
    }
}

// The enabled button after or before `from` in tab order, round to the other end.
void KeyboardFocus::MoveFocus(HWND from, bool forward) {
    const auto count = static_cast<std::ptrdiff_t>(tabOrder.size());
    const std::ptrdiff_t start = std::ranges::find(tabOrder, from) - tabOrder.begin();
    for (std::ptrdiff_t step = 1; step < count; ++step) {
        const std::ptrdiff_t at = ((forward ? start + step : start - step) % count + count) % count;
        HWND button = tabOrder.at(static_cast<std::size_t>(at));
        if (Enabled(button)) {
            Focus(button);
            return;
        }
    }
}

void KeyboardFocus::Focus(HWND button) const {
    SetFocus(button);
    MarkDefault(button);
}

// The dialog manager makes the button that Tab focuses the default one, but leaves the last one
// so where the focus moves otherwise: every other push button is made plain again.
void KeyboardFocus::MarkDefault(HWND focused) const {
    for (HWND button : tabOrder) {
        const LONG_PTR type = GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK;
        const LONG_PTR wanted = button == focused ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) && type != wanted)
            SendMessageW(button, BM_SETSTYLE, static_cast<WPARAM>(wanted), TRUE);
    }
}

// Focus rectangles show once the keyboard is used, as the dialog manager shows them for the keys
// it handles itself.
void KeyboardFocus::ShowFocusCues() const {
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void KeyboardFocus::OnActivate(WPARAM wParam) {
    if (HIWORD(wParam) != 0) // minimised: no focus to give
        return;
    if (LOWORD(wParam) != WA_INACTIVE) {
        RestoreFocus();
        return;
    }
    HWND focus = GetFocus();
    if (focus && IsChild(window, focus) != FALSE)
        focusTarget = focus;
}

void KeyboardFocus::RestoreFocus() {
    if (!focusTarget || !Enabled(focusTarget))
        FocusFirstEnabled();
    if (focusTarget)
        Focus(focusTarget);
}

// The focus goes straight to the next step, and never to nothing in between.
void KeyboardFocus::Advance() {
    FocusFirstEnabled();
    if (HWND disable = std::exchange(pendingDisable, nullptr))
        EnableWindow(disable, FALSE);
}

// While the window is not active the focus waits for it.
void KeyboardFocus::FocusFirstEnabled() {
    const auto next =
        std::ranges::find_if(tabOrder, [this](HWND button) { return Enabled(button); });
    if (next == tabOrder.end())
        return;
    focusTarget = *next;
    if (GetActiveWindow() == window)
        Focus(focusTarget);
}

void KeyboardFocus::SetEnabled(HWND button, bool enabled) {
    if (!enabled && stepping && button == GetFocus()) {
        pendingDisable = button;
        return;
    }
    if (enabled && button == pendingDisable)
        pendingDisable = nullptr;
    EnableWindow(button, enabled ? TRUE : FALSE);
}

bool KeyboardFocus::Enabled(HWND button) const {
    return button != pendingDisable && IsWindowEnabled(button) != FALSE;
}
