#pragma once

#include "dom.h"
#include "form_controls.h"
#include "form_logic.h"

#include <array>
#include <vector>

// The program's only window as a web page: HTML buttons and labels laid out from the layout
// table. It forwards the buttons' clicks to the form logic and lets the logic read and write the
// controls through FormControls; it has no behaviour of its own.
class Form1 final : public form::FormControls, public dom::Listener {
public:
    // Makes the page's controls, runs the form's Load handler and gives the focus to the first
    // enabled button. There is one Form1 for the page's lifetime.
    Form1();

    void SetButtonEnabled(form::Row row, std::int16_t index, bool enabled) override;
    [[nodiscard]] std::string GetButtonCaption(form::Row row, std::int16_t index) const override;
    [[nodiscard]] std::string GetLabelCaption(form::Label label) const override;
    void SetLabelCaption(form::Label label, const std::string& text) override;

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;
    Form1(Form1&&) = delete;
    Form1& operator=(Form1&&) = delete;
    ~Form1() override = default;

private:
    bool OnEvent(dom::Event event, dom::Element target, int key, bool repeat) override;
    void Click(dom::Element button);
    void DescribeStep();
    void FocusFirstEnabled(bool reveal = true);
    void MoveFocus(dom::Element from, bool forward);
    [[nodiscard]] static bool Enabled(dom::Element button);
    [[nodiscard]] dom::Element Button(form::Row row, std::int16_t index) const;
    [[nodiscard]] dom::Element LabelOf(form::Label label) const;

    dom::Element form = dom::None;
    std::array<dom::Element, 6> labels{};
    std::array<dom::Element, 6> command1{};
    std::array<dom::Element, 6> command2{};
    dom::Element command3 = dom::None;
    dom::Element tip = dom::None;       // what the answer means, shown over it
    std::vector<dom::Element> tabOrder; // the buttons in the order Tab visits them
    dom::Element held = dom::None;      // the button that Return holds down
    form::FormLogic formLogic{*this};
};
