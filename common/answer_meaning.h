#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the window's steps and answers mean, in words and as a plain table: the texts that a
// screen reader speaks and that the answer's tooltip shows, the same in every front end. Text is
// UTF-8 (in fact ASCII). Anything asked of an index outside 1 to 6 is empty.
namespace meaning {

// What the window as a whole, the parents label and the answer label are for.
inline constexpr std::string_view FormDescription =
    "Pick the mother's genotype, then the father's, to hear which ABO blood-group genotypes "
    "their child can have";
inline constexpr std::string_view ParentsDescription = "The mother's and the father's genotypes";
inline constexpr std::string_view AnswerDescription = "The genotypes the child can have";
inline constexpr std::string_view RestartDescription = "Start over with the mother's genotype";

// What a genotype code stands for, e.g. "group A, alleles A and 0" for "2-A0".
std::string GenotypeMeaning(std::string_view code);

// What a screen reader says of a genotype button besides its caption, e.g.
// "Mother, group A, alleles A and 0" for the mother's "2-A0" (index 3).
std::string ButtonDescription(std::string_view parent, std::int16_t index);

// "25 %" for one quarter.
std::string Percent(int quarters);

// The two alleles of a genotype, e.g. "A" and "0" for "2-A0" (index 3).
std::array<std::string, 2> Alleles(std::int16_t index);

// The blood groups the child can have with their chances, in the order O, A, B, AB, e.g.
// "A 50 %, B 50 %"; `space` stands between group and chance.
std::string GroupsWithChances(std::int16_t mother, std::int16_t father,
                              std::string_view space = " ");

// The answer genotype by genotype in the window's order, e.g.
// "4-AB, group AB, alleles A and B, 25 %; 2-A0, group A, alleles A and 0, 25 %; ...".
std::string AnswerInWords(std::int16_t mother, std::int16_t father);

// The answer in words, then the blood groups and the Punnett square in words.
std::string AnswerDetailsInWords(std::int16_t mother, std::int16_t father);

// The same as a table, for a tooltip to lay out: each child genotype with its chance, the blood
// groups with theirs, then the Punnett square as three rows of three cells: "mother \ father"
// and the father's alleles across, then each of the mother's alleles with the two children it
// gives. Empty for indexes outside 1 to 6.
struct AnswerTable {
    std::vector<std::array<std::string, 2>> children; // code, chance
    std::string groups;                               // "Blood group A 50 %, B 50 %"
    std::array<std::array<std::string, 3>, 3> square;
};
AnswerTable AnswerDetailsTable(std::int16_t mother, std::int16_t father);

// The same table as plain text, one line a row, for a tooltip that shows plain text and for
// screen readers that read it.
std::string AnswerDetailsText(std::int16_t mother, std::int16_t father);

// What the controls that a screen reader hears after a step say: the answer label, the first
// father button, which takes the focus once the mother is taken, and RESTART, which takes it
// once the answer shows. E.g. after mother 2-A0: "Mother 2-A0 is taken, group A, alleles A and
// 0; now the father. Father, group O, alleles 0 and 0"; with the answer, RESTART says "Mother
// 2-A0 and father 3-B0: the child can have 4-AB, group AB, ...; 1-00, group O, alleles 0 and 0,
// 25 %. Start over with the mother's genotype".
struct StepDescriptions {
    std::string answerLabel, firstFather, restart;
};
StepDescriptions AfterStep(std::int16_t mother, std::int16_t father, bool awaitingFather,
                           bool answered);

} // namespace meaning
