#pragma once

#include "annotations.h"
#include "answer_tooltip.h"
#include "control_ids.h"
#include "fonts.h"
#include "form_controls.h"
#include "form_logic.h"
#include "keyboard_focus.h"
#include "layout.h"
#include "painting.h"
#include "placement.h"
#include "window_base.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

// The program's only window on Windows: native buttons and static labels laid out from the
// layout table. It forwards the buttons' clicks to the form logic and lets the logic read and
// write the controls through FormControls; it has no behaviour of its own.
class Form1 final : public WindowBase<Form1>, public form::FormControls {
public:
    static constexpr const wchar_t* ClassName = win32ids::WindowClass;

    // Creates the window, hidden, centred on the primary monitor's work area, with its controls,
    // and runs the form's Load handler. `dpi` 0 lays it out for the screen's own resolution;
    // any other value lays it out for that one instead. Returns nullptr if it cannot be created.
    // The window owns the Form1, which is deleted when the window is destroyed.
    static HWND Create(HINSTANCE instance, int dpi = 0);

    // The keyboard interface of the window a message is for: Tab and the arrows between the
    // buttons, Space and Return on the focused one. True when the message was handled and is not
    // to be dispatched.
    static bool HandleDialogMessage(MSG& message);

    // Runs the message loop until the window is closed; returns the quit status.
    static int RunMessageLoop();

    // Shows the window; then gives it what matters only on the screen: the heart in this
    // resolution's sizes, the answer's tooltip, and the controls' descriptions for screen readers.
    void Show(int showCommand = SW_SHOWNORMAL);

    [[nodiscard]] int Dpi() const { return placement.Dpi(); }
    [[nodiscard]] HWND Tooltip() const { return answerTip.Handle(); }

    // The accessible description last given to a control (0: the window itself), kept here
    // as well because not every system takes it.
    [[nodiscard]] std::string Description(int controlId) const;

    void SetButtonEnabled(form::Row row, std::int16_t index, bool enabled) override;
    [[nodiscard]] std::string GetButtonCaption(form::Row row, std::int16_t index) const override;
    [[nodiscard]] std::string GetLabelCaption(form::Label label) const override;
    void SetLabelCaption(form::Label label, const std::string& text) override;

private:
    friend class WindowBase<Form1>;

    Form1(HINSTANCE instance, int forcedDpi);

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void LayOut(int dpi);
    void OnCommand(int id, int code, HWND control);
    void DescribeStep();
    [[nodiscard]] HWND Control(int id) const;
    [[nodiscard]] HWND Button(form::Row row, std::int16_t index) const;
    [[nodiscard]] HWND LabelOf(form::Label label) const;

    // Each control with its designed place and font: kept rather than asked of Windows.
    struct Child {
        HWND handle;
        layout::Twips rect;
        layout::FontKey font;
    };

    HINSTANCE instance;
    Placement placement;
    Fonts fonts;
    Painting painting;
    HeartIcons heart;
    AnswerTooltip answerTip;
    Annotations annotations;
    KeyboardFocus keyboard;
    std::map<int, Child> controls; // by id
    form::FormLogic formLogic{*this};
};
