#pragma once

#include <windows.h>

#include <vector>

// The window's keyboard and focus: Tab and the arrows between the buttons, Return as Space, the
// focus rectangles once the keyboard is used, the focus kept while the window is inactive, and
// after each step on the first button of the next, never on nothing in between. The focused
// button alone looks like the default button, which Return presses.
class KeyboardFocus {
public:
    // The window and its buttons in the order Tab visits them.
    void Attach(HWND owner, std::vector<HWND> buttons);

    // Handles a message for the window as a dialog box would, with the arrows and Return as
    // this window has them. True when it is handled and not to be dispatched.
    bool HandleDialogMessage(MSG& message);

    // The window's WM_ACTIVATE: the focus leaves with the window and comes back where it was.
    void OnActivate(WPARAM wParam);
    // The focus back where it was, or where the next step is.
    void RestoreFocus();

    // Runs one step of the form logic; then Advance moves the focus to the next one.
    template <typename Handler> void Step(Handler handler) {
        stepping = true;
        handler();
        stepping = false;
    }
    // The focus to the first enabled button; a button the step disabled while it had the focus
    // is disabled once the focus has left it.
    void Advance();
    // The first enabled button in tab order takes the focus, once the window is active.
    void FocusFirstEnabled();

    void SetEnabled(HWND button, bool enabled);
    // Enabled as the form logic last set it, the button waiting to be disabled counting as
    // disabled.
    [[nodiscard]] bool Enabled(HWND button) const;

private:
    void Focus(HWND button) const;
    void MarkDefault(HWND focused) const;
    void MoveFocus(HWND from, bool forward);
    void ShowFocusCues() const;

    HWND window = nullptr;
    std::vector<HWND> tabOrder;
    HWND focusTarget = nullptr;    // where the focus goes when the window is activated
    bool stepping = false;         // a click's handler is running
    HWND pendingDisable = nullptr; // the focused button, disabled once the focus has moved on
};
