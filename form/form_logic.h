#pragma once

#include "form_controls.h"

#include <cstdint>

namespace form {

// The behaviour of the window: one handler per event, run one at a time on the UI thread.
// Which buttons are enabled and what the labels show is held by the controls, not here.
class FormLogic {
public:
    explicit FormLogic(FormControls& controls)
        : controls(controls) {}

    void OnLoad();
    void OnMotherPick(std::int16_t index);
    void OnFatherPick(std::int16_t index);
    void OnRestart();

    // Shows the answer for the stored pair in Label4; leaves it as it is for an index out of range.
    void Proverka();

    // The two stored choices, plain fields of the form. RESTART keeps them, since every path to
    // Proverka sets both first.
    // NOLINTBEGIN(cppcoreguidelines-non-private-member-variables-in-classes)
    std::int16_t MotherIndex = 0;
    std::int16_t FatherIndex = 0;
    // NOLINTEND(cppcoreguidelines-non-private-member-variables-in-classes)

private:
    FormControls& controls;
};

} // namespace form
