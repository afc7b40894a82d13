#include "genotype_chances.h"
#include "genotype_table.h"

#include <QTest>

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <string>

using genetics::GenotypeCode;
using genetics::GenotypeIndex;
using genetics::Offspring;

Q_DECLARE_METATYPE(std::string)

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

// Every child takes one of the mother's two alleles and one of the father's.
std::set<std::string> ChildrenOf(std::string_view mother, std::string_view father) {
    std::set<std::string> children;
    for (char m : {mother[2], mother[3]})
        for (char f : {father[2], father[3]})
            children.insert(CodeOfAlleles(m, f));
    return children;
}

} // namespace

class TestGenotypeTable : public QObject {
    Q_OBJECT

private slots:
    void codeMatchesItsAlleles_data();
    void codeMatchesItsAlleles();
    void answerListsEveryPossibleChild_data();
    void answerListsEveryPossibleChild();
    void chancesCountTheFourCombinations_data() { answerListsEveryPossibleChild_data(); }
    void chancesCountTheFourCombinations();
    void answerKeepsItsStoredOrder_data();
    void answerKeepsItsStoredOrder();
    void indexOutOfRangeGivesNothing_data();
    void indexOutOfRangeGivesNothing();
    void textsAreAsciiWithDigitZero();
};

void TestGenotypeTable::codeMatchesItsAlleles_data() {
    QTest::addColumn<GenotypeIndex>("index");
    for (GenotypeIndex i = 1; i <= genetics::GenotypeCount; ++i)
        QTest::addRow("%d", int(i)) << i;
}

void TestGenotypeTable::codeMatchesItsAlleles() {
    QFETCH(GenotypeIndex, index);
    const auto code = genetics::CodeText(index);
    QVERIFY(code);
    QCOMPARE(code->size(), 4u);
    QCOMPARE((*code)[1], '-');
    const std::string alleles = {(*code)[2], (*code)[3]};
    const bool a = alleles.find('A') != std::string::npos;
    const bool b = alleles.find('B') != std::string::npos;
    const char group = a && b ? '4' : b ? '3' : a ? '2' : '1';
    QCOMPARE((*code)[0], group);
    const std::string_view groups[] = {"O", "A", "B", "AB"};
    QCOMPARE(genetics::AboGroup[index - 1], groups[group - '1']);
    // The dominant allele comes first: A before 0, B before 0, A before B.
    QVERIFY(alleles == "00" || alleles == "AA" || alleles == "BB" || alleles == "A0" ||
            alleles == "B0" || alleles == "AB");
}

void TestGenotypeTable::answerListsEveryPossibleChild_data() {
    QTest::addColumn<GenotypeIndex>("mother");
    QTest::addColumn<GenotypeIndex>("father");
    for (GenotypeIndex m = 1; m <= genetics::GenotypeCount; ++m)
        for (GenotypeIndex f = 1; f <= genetics::GenotypeCount; ++f)
            QTest::addRow("%s x %s", GenotypeCode[m - 1].data(), GenotypeCode[f - 1].data())
                << m << f;
}

void TestGenotypeTable::answerListsEveryPossibleChild() {
    QFETCH(GenotypeIndex, mother);
    QFETCH(GenotypeIndex, father);
    const auto answer = Offspring(mother, father);
    QVERIFY(answer);
    const std::set<std::string> listed = SplitAnswer(*answer);
    QCOMPARE(listed, ChildrenOf(GenotypeCode[mother - 1], GenotypeCode[father - 1]));
    // Each child is listed once, joined by ", " with nothing before or after.
    QCOMPARE(answer->size(), listed.size() * 4 + (listed.size() - 1) * 2);
}

void TestGenotypeTable::chancesCountTheFourCombinations() {
    QFETCH(GenotypeIndex, mother);
    QFETCH(GenotypeIndex, father);
    const genetics::PairChances* chances = genetics::Chances(mother, father);
    QVERIFY(chances);
    const std::string_view m = GenotypeCode[mother - 1];
    const std::string_view f = GenotypeCode[father - 1];
    // Each of the mother's alleles with each of the father's, in the square's order.
    std::map<std::string, int> children;
    std::array<int, 4> groups{}; // O, A, B, AB: the group digit less one
    std::size_t cell = 0;
    for (char a : {m[2], m[3]})
        for (char b : {f[2], f[3]}) {
            const std::string child = CodeOfAlleles(a, b);
            QCOMPARE(std::string(chances->square.at(cell++)), child);
            ++children[child];
            ++groups.at(static_cast<std::size_t>(child[0] - '1'));
        }
    std::string listed;
    int total = 0;
    for (const auto& [code, quarters] : chances->children) {
        if (code.empty())
            continue;
        QCOMPARE(quarters, children[std::string(code)]);
        total += quarters;
        listed += (listed.empty() ? "" : ", ") + std::string(code);
    }
    QCOMPARE(total, 4);
    QCOMPARE(listed, std::string(*Offspring(mother, father)));
    QVERIFY(chances->groups == groups);
}

void TestGenotypeTable::answerKeepsItsStoredOrder_data() {
    QTest::addColumn<GenotypeIndex>("mother");
    QTest::addColumn<GenotypeIndex>("father");
    QTest::addColumn<std::string>("answer");
    // Written out here, not taken from the program: the order inside each text is what users see.
    const char* const answers[6][6] = {
        {"1-00", "2-A0", "2-A0, 1-00", "3-B0", "3-B0, 1-00", "2-A0, 3-B0"},
        {"2-A0", "2-AA", "2-AA, 2-A0", "4-AB", "4-AB, 2-A0", "2-AA, 4-AB"},
        {"2-A0, 1-00", "2-AA, 2-A0", "2-AA, 2-A0, 1-00", "4-AB, 3-B0", "4-AB, 2-A0, 3-B0, 1-00",
         "2-AA, 4-AB, 2-A0, 3-B0"},
        {"3-B0", "4-AB", "4-AB, 3-B0", "3-BB", "3-BB, 3-B0", "4-AB, 3-BB"},
        {"3-B0, 1-00", "4-AB, 2-A0", "4-AB, 2-A0, 3-B0, 1-00", "3-BB, 3-B0", "3-BB, 3-B0, 1-00",
         "4-AB, 3-BB, 2-A0, 3-B0"},
        {"2-A0, 3-B0", "2-AA, 4-AB", "2-AA, 2-A0, 4-AB, 3-B0", "4-AB, 3-BB",
         "4-AB, 2-A0, 3-BB, 3-B0", "2-AA, 4-AB, 3-BB"},
    };
    for (GenotypeIndex m = 1; m <= genetics::GenotypeCount; ++m)
        for (GenotypeIndex f = 1; f <= genetics::GenotypeCount; ++f)
            QTest::addRow("%s x %s", GenotypeCode[m - 1].data(), GenotypeCode[f - 1].data())
                << m << f << std::string(answers[m - 1][f - 1]);
}

void TestGenotypeTable::answerKeepsItsStoredOrder() {
    QFETCH(GenotypeIndex, mother);
    QFETCH(GenotypeIndex, father);
    QFETCH(std::string, answer);
    QCOMPARE(std::string(Offspring(mother, father).value_or("nothing")), answer);
}

void TestGenotypeTable::indexOutOfRangeGivesNothing_data() {
    QTest::addColumn<GenotypeIndex>("mother");
    QTest::addColumn<GenotypeIndex>("father");
    QTest::newRow("no mother yet") << GenotypeIndex(0) << GenotypeIndex(1);
    QTest::newRow("no father yet") << GenotypeIndex(1) << GenotypeIndex(0);
    QTest::newRow("neither yet") << GenotypeIndex(0) << GenotypeIndex(0);
    QTest::newRow("mother 7") << GenotypeIndex(7) << GenotypeIndex(6);
    QTest::newRow("father 7") << GenotypeIndex(6) << GenotypeIndex(7);
    QTest::newRow("mother -1") << GenotypeIndex(-1) << GenotypeIndex(3);
    QTest::newRow("father -32768") << GenotypeIndex(3) << GenotypeIndex(-32768);
    QTest::newRow("mother 32767") << GenotypeIndex(32767) << GenotypeIndex(2);
}

void TestGenotypeTable::indexOutOfRangeGivesNothing() {
    QFETCH(GenotypeIndex, mother);
    QFETCH(GenotypeIndex, father);
    QVERIFY(!Offspring(mother, father));
    QVERIFY(!genetics::Chances(mother, father));
    QVERIFY(!genetics::CodeText(mother) || !genetics::CodeText(father));
}

void TestGenotypeTable::textsAreAsciiWithDigitZero() {
    const auto check = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) {
            return (c >= '0' && c <= '4') || c == 'A' || c == 'B' || c == '-' || c == ',' ||
                   c == ' ';
        });
    };
    std::set<std::string_view> distinct;
    std::size_t longest = 0;
    for (std::string_view code : GenotypeCode)
        QVERIFY2(check(code), code.data());
    for (const auto& row : genetics::OffspringTable)
        for (std::string_view answer : row) {
            QVERIFY2(check(answer), answer.data());
            distinct.insert(answer);
            longest = std::max(longest, answer.size());
        }
    QCOMPARE(distinct.size(), 23u);
    QCOMPARE(longest, 22u);
}

QTEST_GUILESS_MAIN(TestGenotypeTable)
#include "tst_genotype_table.moc"
