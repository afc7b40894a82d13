#pragma once

#include "form_controls.h"
#include "form_logic.h"
#include "layout.h"

#include <windows.h>

#include <oleacc.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// The program's only window on Windows: native buttons and static labels laid out from the
// layout table. It forwards the buttons' clicks to the form logic and lets the logic read and
// write the controls through FormControls; it has no behaviour of its own.
class Form1 final : public form::FormControls {
public:
    // Creates the window, hidden, centred on the primary monitor's work area, with its controls,
    // and runs the form's Load handler. `dpi` 0 lays it out for the screen's own resolution;
    // any other value lays it out for that one instead. Returns nullptr if it cannot be created.
    // The window owns the Form1, which is deleted when the window is destroyed.
    static HWND Create(HINSTANCE instance, int dpi = 0);

    // The Form1 of a window made by Create, or of one of its controls; nullptr for any other.
    static Form1* FromHwnd(HWND window);

    // The keyboard interface of the window a message is for: Tab and the arrows between the
    // buttons, Space and Return on the focused one. True when the message was handled and is not
    // to be dispatched.
    static bool HandleDialogMessage(MSG& message);

    // Runs the message loop until the window is closed; returns the quit status.
    static int RunMessageLoop();

    // Shows the window; then gives it what matters only on the screen: the answer's tooltip, and
    // the controls' descriptions for screen readers.
    void Show(int showCommand = SW_SHOWNORMAL);

    [[nodiscard]] HWND Hwnd() const { return window; }
    [[nodiscard]] int Dpi() const { return dpi; }
    [[nodiscard]] const form::FormLogic& logic() const { return formLogic; }
    [[nodiscard]] HWND Tooltip() const { return tooltip; }

    // The accessible description last given to a control (0: the window itself), kept here
    // as well because not every system takes it.
    [[nodiscard]] std::string Description(int controlId) const;
    // What the answer's tooltip shows now; empty while there is no answer.
    [[nodiscard]] std::string AnswerTip() const;

    void SetButtonEnabled(form::Row row, std::int16_t index, bool enabled) override;
    [[nodiscard]] std::string GetButtonCaption(form::Row row, std::int16_t index) const override;
    [[nodiscard]] std::string GetLabelCaption(form::Label label) const override;
    void SetLabelCaption(form::Label label, const std::string& text) override;

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;
    Form1(Form1&&) = delete;
    Form1& operator=(Form1&&) = delete;
    ~Form1() override;

private:
    struct GdiDeleter {
        void operator()(HGDIOBJ object) const { DeleteObject(object); }
    };
    template <typename Handle>
    using Gdi = std::unique_ptr<std::remove_pointer_t<Handle>, GdiDeleter>;
    struct IconDeleter {
        void operator()(HICON icon) const { DestroyIcon(icon); }
    };
    using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
    struct ComRelease {
        void operator()(IUnknown* object) const { object->Release(); }
    };

    Form1(HINSTANCE instance, int forcedDpi);

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void CreateControls();
    void CreateTooltip();
    void StartAnnotations();
    [[nodiscard]] std::array<Gdi<HFONT>, layout::Fonts.size()> MakeFonts(int forDpi) const;
    void SetIcons();
    void FitTooltip();
    void LayOut(int newDpi);
    void PlaceCentred();
    void OnCommand(int id, int code, HWND control);
    void DrawRestart(const DRAWITEMSTRUCT& item) const;
    [[nodiscard]] HBRUSH LabelColours(HDC dc, HWND label) const;
    LRESULT OnNotify(NMHDR& header);
    void OnDpiChanged(int newDpi, const RECT& suggested);
    void FitClientArea();
    void OnDestroy();

    void Describe(int controlId, const std::string& text);
    void Annotate(int controlId, const std::string& text) const;
    void DescribeStep();
    void FocusFirstEnabled();
    void MoveFocus(HWND from, bool forward);
    void ShowFocusCues() const;
    void RestoreFocus();
    [[nodiscard]] bool Enabled(HWND control) const;
    [[nodiscard]] HWND Control(int id) const;
    [[nodiscard]] HWND Button(form::Row row, std::int16_t index) const;
    [[nodiscard]] HWND LabelOf(form::Label label) const;

    HINSTANCE instance;
    HWND window = nullptr;
    HWND tooltip = nullptr;
    int dpi = layout::StandardDpi;
    bool dpiForced;
    std::array<std::wstring, layout::Fonts.size()> faces; // as installed, chosen once
    std::array<Gdi<HFONT>, layout::Fonts.size()> fonts;
    Gdi<HBRUSH> background;
    std::array<Gdi<HBRUSH>, layout::Labels.size()> labelBrushes; // none: the button face
    Gdi<HBRUSH> restartBrush;
    Gdi<HFONT> tooltipFont;
    Icon bigIcon, smallIcon;
    std::unique_ptr<IAccPropServices, ComRelease> accessibility;
    bool annotationsStarted = false;
    void(WINAPI* comUninitialize)() = nullptr; // set while COM is started on this thread
    std::map<int, std::string> descriptions;
    // Each control by id, with its designed place and font: kept rather than asked of Windows.
    struct Child {
        HWND handle;
        layout::Twips rect;
        layout::FontKey font;
    };
    std::map<int, Child> controls;
    std::vector<HWND> tabOrder; // the buttons in the order Tab visits them
    std::wstring answerTip;
    HWND focusTarget = nullptr;    // where the focus goes when the window is activated
    bool stepping = false;         // a click's handler is running
    HWND pendingDisable = nullptr; // the focused button, disabled once the focus has moved on
    form::FormLogic formLogic{*this};
};
