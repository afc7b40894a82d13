#pragma once

#include "form_controls.h"
#include "genotype_table.h"
#include "layout.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// The layout table as the form logic names the controls, worked out once for both front ends.
namespace layout {

// One button: Command1(index) or Command2(index), index 1 to 6; or Command3, which has no row.
struct TabStop {
    std::optional<form::Row> row; // none: Command3
    std::int16_t index;           // 1 to 6; 0 for Command3
    const Button* look;
};

// Every button, ordered by its tab index: each goes where the number of smaller tab indices puts
// it. (Plain loops: not every standard library this builds with has constexpr sorting.)
constexpr std::array<TabStop, 2 * genetics::GenotypeCount + 1> SortByTabIndex() {
    std::array<TabStop, 2 * genetics::GenotypeCount + 1> buttons{};
    std::size_t next = 0;
    for (std::int16_t index = 1; index <= genetics::GenotypeCount; ++index) {
        const auto i = static_cast<std::size_t>(index - 1);
        buttons.at(next++) = {form::Row::Command1, index, &Command1.at(i)};
        buttons.at(next++) = {form::Row::Command2, index, &Command2.at(i)};
    }
    buttons.at(next) = {std::nullopt, 0, &Command3};
    std::array<TabStop, buttons.size()> stops{};
    for (const TabStop& button : buttons) {
        std::size_t before = 0;
        for (const TabStop& other : buttons)
            before += other.look->tabIndex < button.look->tabIndex ? 1 : 0;
        stops.at(before) = button;
    }
    return stops;
}

// The buttons in the order Tab visits them.
inline constexpr auto TabOrder = SortByTabIndex();

// Where a label the form logic writes stands in Labels.
constexpr std::size_t LabelIndex(form::Label label) {
    return label == form::Label::Label4 ? 3 : 5;
}

static_assert(Labels.at(LabelIndex(form::Label::Label4)).name == "Label4");
static_assert(Labels.at(LabelIndex(form::Label::Label6)).name == "Label6");

} // namespace layout
