#include "genotype_table.h"
#include "genotype_chances.h"

#include <doctest.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <string>

using genetics::GenotypeCode;
using genetics::GenotypeIndex;
using genetics::Offspring;

namespace {

std::set<std::string> SplitAnswer(std::string_view text) {
    std::set<std::string> codes;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(", ", start);
        codes.emplace(text.substr(start, comma - start));
        if (comma == std::string_view::npos)
            return codes;
        start = comma + 2;
    }
}

// The code whose two alleles are a and b in either order.
std::string CodeOfAlleles(char a, char b) {
    for (std::string_view code : GenotypeCode)
        if ((code[2] == a && code[3] == b) || (code[2] == b && code[3] == a))
            return std::string(code);
    return "no code for " + std::string{a, b};
}

std::string_view Code(GenotypeIndex index) {
    return GenotypeCode.at(static_cast<std::size_t>(index - 1));
}

} // namespace

TEST_CASE("each code is its group digit, a hyphen and its alleles, the dominant one first") {
    for (GenotypeIndex index = 1; index <= genetics::GenotypeCount; ++index) {
        const std::string code(genetics::CodeText(index).value_or(""));
        CAPTURE(code);
        REQUIRE(code.size() == 4);
        CHECK(code[1] == '-');
        const std::string alleles = code.substr(2);
        const bool a = alleles.find('A') != std::string::npos;
        const bool b = alleles.find('B') != std::string::npos;
        const char group = a && b ? '4' : b ? '3' : a ? '2' : '1';
        CHECK(code[0] == group);
        const std::array<std::string_view, 4> groups = {"O", "A", "B", "AB"};
        CHECK(genetics::AboGroup.at(static_cast<std::size_t>(index - 1)) ==
              groups.at(static_cast<std::size_t>(group - '1')));
        const std::set<std::string> written = {"00", "AA", "BB", "A0", "B0", "AB"};
        CHECK(written.contains(alleles));
    }
}

// Every child takes one of the mother's two alleles and one of the father's: the answer lists
// each such child once, and the chances count the four combinations in the Punnett square's
// order (the mother's first allele with the father's first, then his second; then her second).
TEST_CASE("each answer and its chances follow from the parents' alleles") {
    for (GenotypeIndex mother = 1; mother <= genetics::GenotypeCount; ++mother)
        for (GenotypeIndex father = 1; father <= genetics::GenotypeCount; ++father) {
            const std::string_view m = Code(mother);
            const std::string_view f = Code(father);
            CAPTURE(m);
            CAPTURE(f);
            const auto answer = Offspring(mother, father);
            const genetics::PairChances* chances = genetics::Chances(mother, father);
            REQUIRE(answer);
            REQUIRE(chances);
            std::set<std::string> children;
            std::map<std::string, int> counted;
            std::array<int, 4> groups{}; // O, A, B, AB: the group digit less one
            std::size_t cell = 0;
            for (char a : {m[2], m[3]})
                for (char b : {f[2], f[3]}) {
                    const std::string child = CodeOfAlleles(a, b);
                    CHECK(chances->square.at(cell++) == child);
                    children.insert(child);
                    ++counted[child];
                    ++groups.at(static_cast<std::size_t>(child[0] - '1'));
                }
            const std::set<std::string> listed = SplitAnswer(*answer);
            CHECK(listed == children);
            // Each child once, joined by ", " with nothing before or after.
            CHECK(answer->size() == listed.size() * 4 + (listed.size() - 1) * 2);
            std::string inOrder;
            for (const auto& [code, quarters] : chances->children)
                if (!code.empty()) {
                    CHECK(quarters == counted[std::string(code)]);
                    inOrder += (inOrder.empty() ? "" : ", ") + std::string(code);
                }
            CHECK(inOrder == *answer);
            CHECK(chances->groups == groups);
        }
}

// Written out here, not taken from the program: the order inside each text is what users see.
TEST_CASE("each answer keeps its written order") {
    const std::array<std::array<std::string_view, 6>, 6> answers = {{
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
    for (GenotypeIndex mother = 1; mother <= 6; ++mother)
        for (GenotypeIndex father = 1; father <= 6; ++father) {
            CAPTURE(Code(mother));
            CAPTURE(Code(father));
            CHECK(Offspring(mother, father).value_or("nothing") ==
                  answers.at(static_cast<std::size_t>(mother - 1))
                      .at(static_cast<std::size_t>(father - 1)));
        }
}

TEST_CASE("an index outside 1 to 6 gives nothing") {
    const std::array<std::pair<GenotypeIndex, GenotypeIndex>, 8> pairs = {
        {{0, 1}, {1, 0}, {0, 0}, {7, 6}, {6, 7}, {-1, 3}, {3, -32768}, {32767, 2}}};
    // Plain variables, not a structured binding, which clang before 16 cannot capture.
    for (const auto& pair : pairs) {
        const auto mother = pair.first, father = pair.second;
        CAPTURE(mother);
        CAPTURE(father);
        CHECK_FALSE(Offspring(mother, father));
        CHECK_FALSE(genetics::Chances(mother, father));
        CHECK_FALSE((genetics::CodeText(mother) && genetics::CodeText(father)));
    }
}

TEST_CASE("texts are ASCII, with the digit zero for the O allele") {
    const auto plain = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) {
            return (c >= '0' && c <= '4') || c == 'A' || c == 'B' || c == '-' || c == ',' ||
                   c == ' ';
        });
    };
    std::set<std::string_view> distinct;
    std::size_t longest = 0;
    for (std::string_view code : GenotypeCode)
        CHECK_MESSAGE(plain(code), code);
    for (const auto& row : genetics::OffspringTable)
        for (std::string_view answer : row) {
            CHECK_MESSAGE(plain(answer), answer);
            distinct.insert(answer);
            longest = std::max(longest, answer.size());
        }
    CHECK(distinct.size() == 23);
    CHECK(longest == 22);
}
