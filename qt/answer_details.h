#pragma once

#include <QString>

#include <cstdint>

// What an answer means as a compact rich-text table for the answer label's tooltip: each child
// genotype's chance, the blood groups' chances, and the Punnett square with the father's alleles
// across and the mother's down. Empty for an index outside 1 to 6.
QString AnswerDetailsHtml(std::int16_t mother, std::int16_t father);
