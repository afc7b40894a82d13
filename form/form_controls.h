#pragma once

#include <cstdint>
#include <string>

namespace form {

// The two rows of genotype buttons, each indexed 1 to 6.
enum class Row { Command1, Command2 };

// The labels the logic writes: the result and the parents expression.
enum class Label { Label4, Label6 };

// What the form logic may do with the window. Enabled flags and captions live in the controls;
// a caption read back is exactly the text last written or designed. Text is UTF-8.
class FormControls {
public:
    virtual ~FormControls() = default;

    virtual void SetButtonEnabled(Row row, std::int16_t index, bool enabled) = 0;
    [[nodiscard]] virtual std::string GetButtonCaption(Row row, std::int16_t index) const = 0;
    [[nodiscard]] virtual std::string GetLabelCaption(Label label) const = 0;
    virtual void SetLabelCaption(Label label, const std::string& text) = 0;

protected:
    FormControls() = default;
    FormControls(const FormControls&) = default;
    FormControls& operator=(const FormControls&) = default;
    FormControls(FormControls&&) = default;
    FormControls& operator=(FormControls&&) = default;
};

} // namespace form
