#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace genetics {

// A genotype's index, 1 to 6: the same number as the control-array index of the button showing it.
using GenotypeIndex = std::int16_t;

inline constexpr GenotypeIndex GenotypeCount = 6;

// Group digit, hyphen-minus, two alleles; the O allele is the digit zero, never the letter O.
inline constexpr std::array<std::string_view, GenotypeCount> GenotypeCode = {
    "1-00", "2-AA", "2-A0", "3-BB", "3-B0", "4-AB",
};

// The ABO group each genotype belongs to, in the same order; "O" here is the group's name.
inline constexpr std::array<std::string_view, GenotypeCount> AboGroup = {
    "O", "A", "A", "B", "B", "AB",
};

// Row: mother's index, column: father's index. The order inside a text is what the user sees,
// so the texts are kept exactly as written and never generated.
inline constexpr std::array<std::array<std::string_view, GenotypeCount>, GenotypeCount>
    OffspringTable = {{
        {"1-00", "2-A0", "2-A0, 1-00", "3-B0", "3-B0, 1-00", "2-A0, 3-B0"},
        {"2-A0", "2-AA", "2-AA, 2-A0", "4-AB", "4-AB, 2-A0", "2-AA, 4-AB"},
        {"2-A0, 1-00", "2-AA, 2-A0", "2-AA, 2-A0, 1-00", "4-AB, 3-B0", "4-AB, 2-A0, 3-B0, 1-00",
         "2-AA, 4-AB, 2-A0, 3-B0"},
        {"3-B0", "4-AB", "4-AB, 3-B0", "3-BB", "3-BB, 3-B0", "4-AB, 3-BB"},
        {"3-B0, 1-00", "4-AB, 2-A0", "4-AB, 2-A0, 3-B0, 1-00", "3-BB, 3-B0", "3-BB, 3-B0, 1-00",
         "4-AB, 3-BB, 2-A0, 3-B0"},
        {"2-A0, 3-B0", "2-AA, 4-AB", "2-AA, 2-A0, 4-AB, 3-B0", "4-AB, 3-BB",
         "4-AB, 2-A0, 3-BB, 3-B0", "2-AA, 4-AB, 3-BB"},
    }};

constexpr bool IsGenotypeIndex(GenotypeIndex index) {
    return index >= 1 && index <= GenotypeCount;
}

// The code text shown on the buttons of both rows; nothing for an index outside 1 to 6.
constexpr std::optional<std::string_view> CodeText(GenotypeIndex index) {
    if (!IsGenotypeIndex(index))
        return std::nullopt;
    return GenotypeCode[static_cast<std::size_t>(index - 1)];
}

// The child's possible genotypes; nothing when either index lies outside 1 to 6.
constexpr std::optional<std::string_view> Offspring(GenotypeIndex mother, GenotypeIndex father) {
    if (!IsGenotypeIndex(mother) || !IsGenotypeIndex(father))
        return std::nullopt;
    return OffspringTable[static_cast<std::size_t>(mother - 1)]
                         [static_cast<std::size_t>(father - 1)];
}

} // namespace genetics
