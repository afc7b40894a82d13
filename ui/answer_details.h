#pragma once

#include <QString>

#include <cstdint>
#include <string_view>

// What an answer means: each child genotype's chance, the blood groups' chances, and the Punnett
// square that shows which of the parents' alleles each child genotype comes from. As a compact
// table for the answer label's tooltip, and in words for screen readers. Empty for an index
// outside 1 to 6.
QString AnswerDetailsHtml(std::int16_t mother, std::int16_t father);
// The answer as a screen reader should say it, genotype by genotype in the window's order, e.g.
// "4-AB, group AB, alleles A and B, 25 %; 2-A0, group A, alleles A and 0, 25 %; ...".
QString AnswerInWords(std::int16_t mother, std::int16_t father);
// What a genotype code stands for, e.g. "group A, alleles A and 0" for "2-A0".
QString GenotypeMeaning(std::string_view code);
QString AnswerDetailsInWords(std::int16_t mother, std::int16_t father);
