#pragma once

#include "form_controls.h"
#include "genotype_table.h"
#include "layout.h"

#include <algorithm>
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

// Every button, ordered by its tab index.
constexpr std::array<TabStop, 2 * genetics::GenotypeCount + 1> SortByTabIndex() {
    std::array<TabStop, 2 * genetics::GenotypeCount + 1> stops{};
    std::size_t next = 0;
    for (std::int16_t index = 1; index <= genetics::GenotypeCount; ++index) {
        const auto i = static_cast<std::size_t>(index - 1);
        stops.at(next++) = {form::Row::Command1, index, &Command1.at(i)};
        stops.at(next++) = {form::Row::Command2, index, &Command2.at(i)};
    }
    stops.at(next) = {std::nullopt, 0, &Command3};
    std::ranges::sort(stops, {}, [](const TabStop& stop) { return stop.look->tabIndex; });
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
