#pragma once

#include "genotype_table.h"

#include <array>
#include <string_view>

namespace genetics {

// The ABO groups in the order the chance table counts them.
inline constexpr std::array<std::string_view, 4> AboGroups = {"O", "A", "B", "AB"};

// One genotype of an answer and its chance, in quarters (each parent passes on one of two
// alleles, so every child is one of four equally likely combinations).
struct ChildChance {
    std::string_view code;
    int quarters = 0;
};

struct PairChances {
    std::array<ChildChance, 4> children;    // in the answer's order; the rest empty
    std::array<int, 4> groups{};            // quarters for O, A, B and AB, as AboGroups
    std::array<std::string_view, 4> square; // the Punnett square: the mother's first allele with
                                            // the father's first, then his second; then the
                                            // mother's second allele likewise
};

// Row: mother's index, column: father's index, as in OffspringTable. Fixed data, like the
// answers, and never computed.
// clang-format off
inline constexpr std::array<std::array<PairChances, GenotypeCount>, GenotypeCount>
    OffspringChances = {{
    {{
        {{{{"1-00", 4}}}, {4, 0, 0, 0}, {"1-00", "1-00", "1-00", "1-00"}}, // 1-00 x 1-00
        {{{{"2-A0", 4}}}, {0, 4, 0, 0}, {"2-A0", "2-A0", "2-A0", "2-A0"}}, // 1-00 x 2-AA
        {{{{"2-A0", 2}, {"1-00", 2}}}, {2, 2, 0, 0}, {"2-A0", "1-00", "2-A0", "1-00"}}, // 1-00 x 2-A0
        {{{{"3-B0", 4}}}, {0, 0, 4, 0}, {"3-B0", "3-B0", "3-B0", "3-B0"}}, // 1-00 x 3-BB
        {{{{"3-B0", 2}, {"1-00", 2}}}, {2, 0, 2, 0}, {"3-B0", "1-00", "3-B0", "1-00"}}, // 1-00 x 3-B0
        {{{{"2-A0", 2}, {"3-B0", 2}}}, {0, 2, 2, 0}, {"2-A0", "3-B0", "2-A0", "3-B0"}}, // 1-00 x 4-AB
    }},
    {{
        {{{{"2-A0", 4}}}, {0, 4, 0, 0}, {"2-A0", "2-A0", "2-A0", "2-A0"}}, // 2-AA x 1-00
        {{{{"2-AA", 4}}}, {0, 4, 0, 0}, {"2-AA", "2-AA", "2-AA", "2-AA"}}, // 2-AA x 2-AA
        {{{{"2-AA", 2}, {"2-A0", 2}}}, {0, 4, 0, 0}, {"2-AA", "2-A0", "2-AA", "2-A0"}}, // 2-AA x 2-A0
        {{{{"4-AB", 4}}}, {0, 0, 0, 4}, {"4-AB", "4-AB", "4-AB", "4-AB"}}, // 2-AA x 3-BB
        {{{{"4-AB", 2}, {"2-A0", 2}}}, {0, 2, 0, 2}, {"4-AB", "2-A0", "4-AB", "2-A0"}}, // 2-AA x 3-B0
        {{{{"2-AA", 2}, {"4-AB", 2}}}, {0, 2, 0, 2}, {"2-AA", "4-AB", "2-AA", "4-AB"}}, // 2-AA x 4-AB
    }},
    {{
        {{{{"2-A0", 2}, {"1-00", 2}}}, {2, 2, 0, 0}, {"2-A0", "2-A0", "1-00", "1-00"}}, // 2-A0 x 1-00
        {{{{"2-AA", 2}, {"2-A0", 2}}}, {0, 4, 0, 0}, {"2-AA", "2-AA", "2-A0", "2-A0"}}, // 2-A0 x 2-AA
        {{{{"2-AA", 1}, {"2-A0", 2}, {"1-00", 1}}}, {1, 3, 0, 0}, {"2-AA", "2-A0", "2-A0", "1-00"}}, // 2-A0 x 2-A0
        {{{{"4-AB", 2}, {"3-B0", 2}}}, {0, 0, 2, 2}, {"4-AB", "4-AB", "3-B0", "3-B0"}}, // 2-A0 x 3-BB
        {{{{"4-AB", 1}, {"2-A0", 1}, {"3-B0", 1}, {"1-00", 1}}}, {1, 1, 1, 1}, {"4-AB", "2-A0", "3-B0", "1-00"}}, // 2-A0 x 3-B0
        {{{{"2-AA", 1}, {"4-AB", 1}, {"2-A0", 1}, {"3-B0", 1}}}, {0, 2, 1, 1}, {"2-AA", "4-AB", "2-A0", "3-B0"}}, // 2-A0 x 4-AB
    }},
    {{
        {{{{"3-B0", 4}}}, {0, 0, 4, 0}, {"3-B0", "3-B0", "3-B0", "3-B0"}}, // 3-BB x 1-00
        {{{{"4-AB", 4}}}, {0, 0, 0, 4}, {"4-AB", "4-AB", "4-AB", "4-AB"}}, // 3-BB x 2-AA
        {{{{"4-AB", 2}, {"3-B0", 2}}}, {0, 0, 2, 2}, {"4-AB", "3-B0", "4-AB", "3-B0"}}, // 3-BB x 2-A0
        {{{{"3-BB", 4}}}, {0, 0, 4, 0}, {"3-BB", "3-BB", "3-BB", "3-BB"}}, // 3-BB x 3-BB
        {{{{"3-BB", 2}, {"3-B0", 2}}}, {0, 0, 4, 0}, {"3-BB", "3-B0", "3-BB", "3-B0"}}, // 3-BB x 3-B0
        {{{{"4-AB", 2}, {"3-BB", 2}}}, {0, 0, 2, 2}, {"4-AB", "3-BB", "4-AB", "3-BB"}}, // 3-BB x 4-AB
    }},
    {{
        {{{{"3-B0", 2}, {"1-00", 2}}}, {2, 0, 2, 0}, {"3-B0", "3-B0", "1-00", "1-00"}}, // 3-B0 x 1-00
        {{{{"4-AB", 2}, {"2-A0", 2}}}, {0, 2, 0, 2}, {"4-AB", "4-AB", "2-A0", "2-A0"}}, // 3-B0 x 2-AA
        {{{{"4-AB", 1}, {"2-A0", 1}, {"3-B0", 1}, {"1-00", 1}}}, {1, 1, 1, 1}, {"4-AB", "3-B0", "2-A0", "1-00"}}, // 3-B0 x 2-A0
        {{{{"3-BB", 2}, {"3-B0", 2}}}, {0, 0, 4, 0}, {"3-BB", "3-BB", "3-B0", "3-B0"}}, // 3-B0 x 3-BB
        {{{{"3-BB", 1}, {"3-B0", 2}, {"1-00", 1}}}, {1, 0, 3, 0}, {"3-BB", "3-B0", "3-B0", "1-00"}}, // 3-B0 x 3-B0
        {{{{"4-AB", 1}, {"3-BB", 1}, {"2-A0", 1}, {"3-B0", 1}}}, {0, 1, 2, 1}, {"4-AB", "3-BB", "2-A0", "3-B0"}}, // 3-B0 x 4-AB
    }},
    {{
        {{{{"2-A0", 2}, {"3-B0", 2}}}, {0, 2, 2, 0}, {"2-A0", "2-A0", "3-B0", "3-B0"}}, // 4-AB x 1-00
        {{{{"2-AA", 2}, {"4-AB", 2}}}, {0, 2, 0, 2}, {"2-AA", "2-AA", "4-AB", "4-AB"}}, // 4-AB x 2-AA
        {{{{"2-AA", 1}, {"2-A0", 1}, {"4-AB", 1}, {"3-B0", 1}}}, {0, 2, 1, 1}, {"2-AA", "2-A0", "4-AB", "3-B0"}}, // 4-AB x 2-A0
        {{{{"4-AB", 2}, {"3-BB", 2}}}, {0, 0, 2, 2}, {"4-AB", "4-AB", "3-BB", "3-BB"}}, // 4-AB x 3-BB
        {{{{"4-AB", 1}, {"2-A0", 1}, {"3-BB", 1}, {"3-B0", 1}}}, {0, 1, 2, 1}, {"4-AB", "2-A0", "3-BB", "3-B0"}}, // 4-AB x 3-B0
        {{{{"2-AA", 1}, {"4-AB", 2}, {"3-BB", 1}}}, {0, 1, 1, 2}, {"2-AA", "4-AB", "4-AB", "3-BB"}}, // 4-AB x 4-AB
    }},
}};
// clang-format on

// The chances for a pair; nothing when either index lies outside 1 to 6.
constexpr const PairChances* Chances(GenotypeIndex mother, GenotypeIndex father) {
    if (!IsGenotypeIndex(mother) || !IsGenotypeIndex(father))
        return nullptr;
    return &OffspringChances[static_cast<std::size_t>(mother - 1)]
                            [static_cast<std::size_t>(father - 1)];
}

} // namespace genetics
