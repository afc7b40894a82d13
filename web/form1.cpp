#include "form1.h"

#include "answer_meaning.h"
#include "form_layout.h"
#include "layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

// Keys, by the codes the page reports.
constexpr int EscapeKey = 27;
constexpr int ReturnKey = 13;
constexpr int LeftKey = 37;
constexpr int DownKey = 40;

// A length of `numerator / denominator` pixels of the design, less where the page is narrower
// than the window, so that the window fits it. The browser works it out from the page's width
// alone, with no variable to substitute in each control's style.
std::string Pixels(long numerator, long denominator = 1) {
    const long width = layout::ToPixels(layout::Form1.clientWidth);
    return "min(" + std::to_string(numerator) + "px/" + std::to_string(denominator) + "," +
           std::to_string(numerator * 100) + "vw/" + std::to_string(denominator * width) + ")";
}

std::string Place(const layout::Twips& twips) {
    using layout::ToPixels;
    return "left:" + Pixels(ToPixels(twips.left)) + ";top:" + Pixels(ToPixels(twips.top)) +
           ";width:" + Pixels(ToPixels(twips.width)) + ";height:" + Pixels(ToPixels(twips.height)) +
           ";";
}

std::string Colour(const layout::Rgb& rgb) {
    return "rgb(" + std::to_string(rgb.red) + "," + std::to_string(rgb.green) + "," +
           std::to_string(rgb.blue) + ")";
}

// The designed face first, then its substitute, which the page carries; sizes in points.
std::string FontOf(layout::FontKey key) {
    const layout::Font& look = layout::Fonts.at(static_cast<std::size_t>(key));
    // In hundredths of a point, 75 to the pixel.
    return "font:" + std::to_string(look.weight) + " " +
           Pixels(std::lround(look.points * 100), 75) + " \"" + std::string(look.face) + "\",\"" +
           std::string(look.substitute) + "\";";
}

// One control of the window: a button of the mother's row, of the father's row or RESTART, or a
// label; `index` counts from 0 in its row or among the labels.
struct Control {
    enum class Kind : std::uint8_t { Mother, Father, Restart, Label } kind;
    std::size_t index;

    [[nodiscard]] constexpr const layout::Button* Button() const {
        switch (kind) {
        case Kind::Mother:
            return &layout::Command1.at(index);
        case Kind::Father:
            return &layout::Command2.at(index);
        case Kind::Restart:
            return &layout::Command3;
        case Kind::Label:
            break;
        }
        return nullptr;
    }
    [[nodiscard]] constexpr const layout::Twips& Rect() const {
        return Button() ? Button()->rect : layout::Labels.at(index).rect;
    }
    [[nodiscard]] constexpr layout::FontKey Font() const {
        return Button() ? Button()->font : layout::Labels.at(index).font;
    }
};

// The controls in reading order, top to bottom and left to right, which keeps the buttons in their
// designed tab order: Tab and a screen reader's reading both follow the page's order. Worked out
// as the program compiles; of two at one place, the one listed first here comes first.
constexpr auto ReadingOrder = [] {
    using Kind = Control::Kind;
    constexpr std::size_t row = layout::Command1.size();
    std::array<Control, 2 * row + 1 + layout::Labels.size()> order{};
    std::size_t next = 0;
    for (std::size_t i = 0; i < row; ++i) {
        order.at(next++) = {Kind::Mother, i};
        order.at(next++) = {Kind::Father, i};
    }
    order.at(next++) = {Kind::Restart, 0};
    for (std::size_t i = 0; i < layout::Labels.size(); ++i)
        order.at(next++) = {Kind::Label, i};
    const auto before = [](const Control& a, const Control& b) {
        return std::pair(a.Rect().top, a.Rect().left) < std::pair(b.Rect().top, b.Rect().left);
    };
    for (std::size_t i = 1; i < order.size(); ++i)
        for (std::size_t j = i; j > 0 && before(order.at(j), order.at(j - 1)); --j)
            std::swap(order.at(j), order.at(j - 1));
    return order;
}();

std::string ButtonStyle(const layout::Button& look) {
    std::string style = Place(look.rect);
    if (look.background)
        style += "background:" + Colour(*look.background);
    return style;
}

// Where no colour is designed, the system's button face and button text, as the desktop has it.
// Of two overlapping labels the later in the table is drawn above, as on the desktop, so that the
// bordered parents and answer labels show whole; the buttons are drawn above all labels.
std::string LabelStyle(const layout::Label& look) {
    const auto number = &look - layout::Labels.data() + 1;
    std::string style =
        Place(look.rect) + "z-index:" + std::to_string(number) +
        ";color:" + (look.text ? Colour(*look.text) : "ButtonText") +
        ";background:" + (look.background ? Colour(*look.background) : "ButtonFace");
    if (look.align == layout::Align::Centre)
        style += ";justify-content:center";
    if (look.border)
        style += ";border:1px solid";
    return style;
}

} // namespace

Form1::Form1() {
    using layout::ToPixels;
    const std::string title(layout::Form1.title);
    dom::SetTitle(title);
    const int width = ToPixels(layout::Form1.clientWidth);
    form = dom::Make(dom::None, "main", "Form1",
                     "width:" + Pixels(width) +
                         ";height:" + Pixels(ToPixels(layout::Form1.clientHeight)) +
                         ";background:" + Colour(layout::Form1.background),
                     "");
    dom::SetAttribute(form, "aria-label", title.c_str());
    dom::SetAttribute(form, "aria-description", std::string(meaning::FormDescription).c_str());

    // Where each control's page element is kept.
    const auto slot = [this](const Control& control) -> dom::Element& {
        switch (control.kind) {
        case Control::Kind::Mother:
            return command1.at(control.index);
        case Control::Kind::Father:
            return command2.at(control.index);
        case Control::Kind::Restart:
            return command3;
        case Control::Kind::Label:
            break;
        }
        return labels.at(control.index);
    };
    for (const Control& control : ReadingOrder) {
        dom::Element& element = slot(control);
        if (const layout::Button* button = control.Button()) {
            const bool row = control.kind != Control::Kind::Restart;
            const bool mother = control.kind == Control::Kind::Mother;
            const auto number = static_cast<std::int16_t>(control.index + 1);
            element = dom::Make(form, "button",
                                row ? (mother ? "Command1_" : "Command2_") + std::to_string(number)
                                    : std::string("Command3"),
                                ButtonStyle(*button), std::string(button->caption));
            if (row)
                dom::SetAttribute(
                    element, "aria-description",
                    meaning::ButtonDescription(mother ? "Mother" : "Father", number).c_str());
        } else {
            const layout::Label& look = layout::Labels.at(control.index);
            element = dom::Make(form, "div", std::string(look.name), LabelStyle(look),
                                std::string(look.caption));
        }
    }
    for (const layout::TabStop& stop : layout::TabOrder)
        tabOrder.push_back(stop.row ? Button(*stop.row, stop.index) : command3);

    // The parents and the answer label announce what each step writes into them.
    for (const form::Label label : {form::Label::Label6, form::Label::Label4})
        dom::SetAttribute(LabelOf(label), "role", "status");
    dom::SetAttribute(LabelOf(form::Label::Label6), "aria-description",
                      std::string(meaning::ParentsDescription).c_str());
    const layout::Twips& answer = layout::Labels.at(layout::LabelIndex(form::Label::Label4)).rect;
    tip = dom::Make(form, "div", "tip",
                    "left:" + Pixels(ToPixels(answer.left)) + ";bottom:" +
                        Pixels(ToPixels(layout::Form1.clientHeight) - ToPixels(answer.top)) +
                        ";font:" + Pixels(12) + " sans-serif",
                    "");
    dom::SetAttribute(tip, "aria-hidden", "true");

    // The form's Load event: it runs before the page is first drawn. The page opens at its top,
    // where the first button is: its focus needs no scrolling, which would lay the page out here
    // rather than with the first frame. The controls take their fonts once the focus is given,
    // still before the first frame: looking the faces up is then left to that frame's layout.
    formLogic.OnLoad();
    DescribeStep();
    FocusFirstEnabled(false);
    for (const Control& control : ReadingOrder)
        dom::AddStyle(slot(control), FontOf(control.Font()));
    dom::Listen(form, *this);
}

// Space presses the focused button as the browser has it: down while held, one click when let
// go. Return does the same here, however often the held key repeats (the browser would click on
// each). The arrows move the focus as Shift+Tab and Tab do. Escape hides the answer's meaning.
bool Form1::OnEvent(dom::Event event, dom::Element target, int key, bool repeat) {
    const bool onButton = std::find(tabOrder.begin(), tabOrder.end(), target) != tabOrder.end();
    switch (event) {
    case dom::Event::Click:
        if (onButton)
            Click(target);
        return false;
    case dom::Event::Press:
        // As on the desktop, only a control that takes the focus takes it from a click: not a
        // label, nor a disabled button, which lets the mouse through to what is under it.
        return !onButton && !dom::HasAttribute(target, "tabindex");
    case dom::Event::Enter:
        if (target == LabelOf(form::Label::Label4))
            dom::SetClass(tip, "dismissed", false);
        return false;
    case dom::Event::KeyDown:
        if (key == EscapeKey)
            dom::SetClass(tip, "dismissed", true);
        if (!onButton)
            return false;
        if (key == ReturnKey && !repeat) {
            held = target;
            dom::SetClass(held, "pressed", true);
        }
        if (key >= LeftKey && key <= DownKey)
            MoveFocus(target, key == LeftKey + 2 || key == DownKey);
        return key == ReturnKey || (key >= LeftKey && key <= DownKey);
    case dom::Event::KeyUp:
        if (key != ReturnKey || held == dom::None)
            return false;
        dom::SetClass(held, "pressed", false);
        if (std::exchange(held, dom::None) == target)
            Click(target);
        return true;
    }
    return false;
}

// Each click goes to the form logic; the focus then moves on to where the next step is.
void Form1::Click(dom::Element button) {
    if (!Enabled(button))
        return;
    for (std::int16_t index = 1; index <= genetics::GenotypeCount; ++index) {
        if (button == Button(form::Row::Command1, index))
            formLogic.OnMotherPick(index);
        else if (button == Button(form::Row::Command2, index))
            formLogic.OnFatherPick(index);
    }
    if (button == command3)
        formLogic.OnRestart();
    DescribeStep();
    FocusFirstEnabled();
}

// As in the desktop windows, the button that takes the focus after a step says what the step did,
// and the answer label what the answer means; the answer's meaning as a table shows over it while
// the mouse or the focus rests on it, or after a tap, which gives it the focus.
void Form1::DescribeStep() {
    const bool answered = !GetLabelCaption(form::Label::Label4).empty();
    const std::int16_t mother = formLogic.MotherIndex;
    const std::int16_t father = formLogic.FatherIndex;
    const meaning::StepDescriptions said =
        meaning::AfterStep(mother, father, Enabled(command2[0]), answered);
    const dom::Element answer = LabelOf(form::Label::Label4);
    dom::SetAttribute(answer, "aria-description", said.answerLabel.c_str());
    dom::SetAttribute(command2[0], "aria-description", said.firstFather.c_str());
    dom::SetAttribute(command3, "aria-description", said.restart.c_str());
    dom::SetAttribute(answer, "tabindex", answered ? "0" : nullptr);
    dom::SetText(tip, answered ? meaning::AnswerDetailsText(mother, father) : std::string());
}

// After every step exactly one row, or only RESTART, is enabled: its first button is the next step.
void Form1::FocusFirstEnabled(bool reveal) {
    const auto next = std::find_if(tabOrder.begin(), tabOrder.end(), Enabled);
    if (next != tabOrder.end())
        dom::Focus(*next, reveal);
}

// The enabled button after or before `from` in tab order, round to the other end.
void Form1::MoveFocus(dom::Element from, bool forward) {
    const auto count = static_cast<std::ptrdiff_t>(tabOrder.size());
    const std::ptrdiff_t start =
        std::find(tabOrder.begin(), tabOrder.end(), from) - tabOrder.begin();
    for (std::ptrdiff_t step = 1; step < count; ++step) {
        const std::ptrdiff_t at = ((forward ? start + step : start - step) % count + count) % count;
        const dom::Element button = tabOrder.at(static_cast<std::size_t>(at));
        if (Enabled(button)) {
            dom::Focus(button, true);
            return;
        }
    }
}

bool Form1::Enabled(dom::Element button) {
    return !dom::HasAttribute(button, "disabled");
}

dom::Element Form1::Button(form::Row row, std::int16_t index) const {
    // An index outside 1 to 6 ends the program instead of reaching past the row.
    return (row == form::Row::Command1 ? command1 : command2)
        .at(static_cast<std::size_t>(index - 1));
}

dom::Element Form1::LabelOf(form::Label label) const {
    return labels.at(layout::LabelIndex(label));
}

void Form1::SetButtonEnabled(form::Row row, std::int16_t index, bool enabled) {
    dom::SetAttribute(Button(row, index), "disabled", enabled ? nullptr : "");
}

std::string Form1::GetButtonCaption(form::Row row, std::int16_t index) const {
    return dom::Text(Button(row, index));
}

std::string Form1::GetLabelCaption(form::Label label) const {
    return dom::Text(LabelOf(label));
}

void Form1::SetLabelCaption(form::Label label, const std::string& text) {
    dom::SetText(LabelOf(label), text);
}
