#pragma once

#include <QString>

#include <cstdint>

// What an answer means: each child genotype's chance, the blood groups' chances, and the Punnett
// square that shows which of the parents' alleles each child genotype comes from. As a compact
// table for the answer label's tooltip, and in words for screen readers. Empty for an index
// outside 1 to 6.
QString AnswerDetailsHtml(std::int16_t mother, std::int16_t father);
QString AnswerDetailsInWords(std::int16_t mother, std::int16_t father);
