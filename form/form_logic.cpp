#include "form_logic.h"

#include "genotype_table.h"

namespace form {

using genetics::GenotypeCount;

namespace {

// A caption in parentheses, as the parents expression writes each parent.
std::string InParentheses(const std::string& caption) {
    std::string text = "(";
    text += caption;
    text += ")";
    return text;
}

} // namespace

void FormLogic::OnLoad() {
    for (std::int16_t i = 1; i <= GenotypeCount; ++i)
        controls.SetButtonEnabled(Row::Command2, i, false);
}

void FormLogic::OnMotherPick(std::int16_t index) {
    MotherIndex = index;
    for (std::int16_t i = 1; i <= GenotypeCount; ++i) {
        controls.SetButtonEnabled(Row::Command1, i, false);
        controls.SetButtonEnabled(Row::Command2, i, true);
    }
    controls.SetLabelCaption(Label::Label6,
                             InParentheses(controls.GetButtonCaption(Row::Command1, index)) + "+");
}

void FormLogic::OnFatherPick(std::int16_t index) {
    FatherIndex = index;
    for (std::int16_t i = 1; i <= GenotypeCount; ++i)
        controls.SetButtonEnabled(Row::Command2, i, false);
    // The label is read before the button, and the new caption joins them left to right.
    std::string parents = controls.GetLabelCaption(Label::Label6);
    parents += InParentheses(controls.GetButtonCaption(Row::Command2, index));
    controls.SetLabelCaption(Label::Label6, parents);
    Proverka();
}

void FormLogic::OnRestart() {
    for (std::int16_t i = 1; i <= GenotypeCount; ++i) {
        controls.SetButtonEnabled(Row::Command1, i, true);
        controls.SetButtonEnabled(Row::Command2, i, false);
    }
    controls.SetLabelCaption(Label::Label4, "");
    controls.SetLabelCaption(Label::Label6, "");
}

void FormLogic::Proverka() {
    if (const auto answer = genetics::Offspring(MotherIndex, FatherIndex))
        controls.SetLabelCaption(Label::Label4, std::string(*answer));
}

} // namespace form
