#include "answer_meaning.h"

#include "genotype_chances.h"
#include "genotype_table.h"

#include <algorithm>
#include <vector>

namespace meaning {

namespace {

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
    std::string joined;
    for (const std::string& part : parts) {
        if (!joined.empty())
            joined += separator;
        joined += part;
    }
    return joined;
}

std::string Code(std::int16_t index) {
    return std::string(genetics::CodeText(index).value_or(""));
}

} // namespace

std::string GenotypeMeaning(std::string_view code) {
    const auto* found =
        std::find(genetics::GenotypeCode.begin(), genetics::GenotypeCode.end(), code);
    if (found == genetics::GenotypeCode.end())
        return {};
    const auto index = static_cast<std::size_t>(found - genetics::GenotypeCode.begin());
    return "group " + std::string(genetics::AboGroup.at(index)) + ", alleles " + code[2] + " and " +
           code[3];
}

std::string ButtonDescription(std::string_view parent, std::int16_t index) {
    return std::string(parent) + ", " + GenotypeMeaning(Code(index));
}

std::string Percent(int quarters) {
    return std::to_string(quarters * 25) + " %";
}

std::array<std::string, 2> Alleles(std::int16_t index) {
    const std::string code = Code(index);
    if (code.empty())
        return {};
    return {std::string(1, code[2]), std::string(1, code[3])};
}

std::string GroupsWithChances(std::int16_t mother, std::int16_t father, std::string_view space) {
    const genetics::PairChances* chances = genetics::Chances(mother, father);
    if (!chances)
        return {};
    std::vector<std::string> groups;
    for (std::size_t i = 0; i < genetics::AboGroups.size(); ++i)
        if (chances->groups.at(i) > 0)
            groups.push_back(std::string(genetics::AboGroups.at(i)) + std::string(space) +
                             Percent(chances->groups.at(i)));
    return Join(groups, ", ");
}

std::string AnswerInWords(std::int16_t mother, std::int16_t father) {
    const genetics::PairChances* chances = genetics::Chances(mother, father);
    if (!chances)
        return {};
    std::vector<std::string> children;
    for (const auto& [code, quarters] : chances->children)
        if (!code.empty())
            children.push_back(std::string(code) + ", " + GenotypeMeaning(code) + ", " +
                               Percent(quarters));
    return Join(children, "; ");
}

std::string AnswerDetailsInWords(std::int16_t mother, std::int16_t father) {
    const genetics::PairChances* chances = genetics::Chances(mother, father);
    if (!chances)
        return {};
    const auto m = Alleles(mother);
    const auto f = Alleles(father);
    std::vector<std::string> square;
    for (std::size_t cell = 0; cell < chances->square.size(); ++cell)
        square.push_back("mother's " + m.at(cell / 2) + " and father's " + f.at(cell % 2) +
                         " give " + std::string(chances->square.at(cell)));
    return AnswerInWords(mother, father) + ". Blood group: " + GroupsWithChances(mother, father) +
           ". Punnett square: " + Join(square, "; ") + ".";
}

AnswerTable AnswerDetailsTable(std::int16_t mother, std::int16_t father) {
    const genetics::PairChances* chances = genetics::Chances(mother, father);
    if (!chances)
        return {};
    AnswerTable table;
    for (const auto& [code, quarters] : chances->children)
        if (!code.empty())
            table.children.push_back({std::string(code), Percent(quarters)});
    table.groups = "Blood group " + GroupsWithChances(mother, father);
    const auto m = Alleles(mother);
    const auto f = Alleles(father);
    table.square[0] = {"mother \\ father", f[0], f[1]};
    for (std::size_t row = 0; row < 2; ++row)
        table.square.at(row + 1) = {m.at(row), std::string(chances->square.at(row * 2)),
                                    std::string(chances->square.at(row * 2 + 1))};
    return table;
}

std::string AnswerDetailsText(std::int16_t mother, std::int16_t father) {
    const AnswerTable table = AnswerDetailsTable(mother, father);
    if (table.children.empty())
        return {};
    std::string text;
    for (const auto& [code, chance] : table.children)
        text.append(code).append("  ").append(chance).append("\n");
    text += table.groups;
    for (const auto& [first, left, right] : table.square)
        text.append("\n").append(first).append(":  ").append(left).append("  ").append(right);
    return text;
}

StepDescriptions AfterStep(std::int16_t mother, std::int16_t father, bool awaitingFather,
                           bool answered) {
    const std::string mothers = Code(mother);
    StepDescriptions said{std::string(AnswerDescription), ButtonDescription("Father", 1),
                          std::string(RestartDescription)};
    if (awaitingFather && !mothers.empty())
        said.firstFather = "Mother " + mothers + " is taken, " + GenotypeMeaning(mothers) +
                           "; now the father. " + said.firstFather;
    if (answered && genetics::Chances(mother, father)) {
        said.answerLabel += ". " + AnswerDetailsInWords(mother, father);
        said.restart = "Mother " + mothers + " and father " + Code(father) +
                       ": the child can have " + AnswerInWords(mother, father) + ". " +
                       said.restart;
    }
    return said;
}

} // namespace meaning
