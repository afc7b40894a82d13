#include "answer_meaning.h"

#include <QTest>

#include <cstdint>
#include <string>

Q_DECLARE_METATYPE(std::string)

// What both front ends show and speak of an answer: the plain table of a tooltip without rich
// text, and the words a screen reader hears after each step.
class TestAnswerMeaning : public QObject {
    Q_OBJECT

private slots:
    void tableShowsChancesGroupsAndSquare_data();
    void tableShowsChancesGroupsAndSquare();
    void stepsInWords_data();
    void stepsInWords();
};

void TestAnswerMeaning::tableShowsChancesGroupsAndSquare_data() {
    QTest::addColumn<std::int16_t>("mother");
    QTest::addColumn<std::int16_t>("father");
    QTest::addColumn<std::string>("table");
    // An uneven pair both ways round: the father's alleles head the columns, the mother's the rows.
    QTest::newRow("4-AB x 2-A0") << std::int16_t(6) << std::int16_t(3)
                                 << std::string("2-AA  25 %\n2-A0  25 %\n4-AB  25 %\n3-B0  25 %\n"
                                                "Blood group A 50 %, B 25 %, AB 25 %\n"
                                                "mother \\ father:  A  0\n"
                                                "A:  2-AA  2-A0\nB:  4-AB  3-B0");
    QTest::newRow("2-A0 x 4-AB") << std::int16_t(3) << std::int16_t(6)
                                 << std::string("2-AA  25 %\n4-AB  25 %\n2-A0  25 %\n3-B0  25 %\n"
                                                "Blood group A 50 %, B 25 %, AB 25 %\n"
                                                "mother \\ father:  A  B\n"
                                                "A:  2-AA  4-AB\n0:  2-A0  3-B0");
    QTest::newRow("2-AA x 1-00") << std::int16_t(2) << std::int16_t(1)
                                 << std::string("2-A0  100 %\nBlood group A 100 %\n"
                                                "mother \\ father:  0  0\n"
                                                "A:  2-A0  2-A0\nA:  2-A0  2-A0");
    QTest::newRow("no father") << std::int16_t(3) << std::int16_t(0) << std::string();
    QTest::newRow("mother 7") << std::int16_t(7) << std::int16_t(1) << std::string();
}

void TestAnswerMeaning::tableShowsChancesGroupsAndSquare() {
    QFETCH(std::int16_t, mother);
    QFETCH(std::int16_t, father);
    QFETCH(std::string, table);
    QCOMPARE(meaning::AnswerDetailsText(mother, father), table);
}

void TestAnswerMeaning::stepsInWords_data() {
    QTest::addColumn<std::string>("spoken");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("mother taken")
        << meaning::AfterStep(3, 0, true, false).firstFather
        << std::string("Mother 2-A0 is taken, group A, alleles A and 0; now the father. Father, "
                       "group O, alleles 0 and 0");
    QTest::newRow("nothing taken") << meaning::AfterStep(3, 5, false, false).firstFather
                                   << std::string("Father, group O, alleles 0 and 0");
    QTest::newRow("answer") << meaning::AfterStep(2, 4, false, true).restart
                            << std::string("Mother 2-AA and father 3-BB: the child can have "
                                           "4-AB, group AB, alleles A and B, 100 %. Start over "
                                           "with the mother's genotype");
    QTest::newRow("answer label")
        << meaning::AfterStep(2, 4, false, true).answerLabel
        << std::string("The genotypes the child can have. 4-AB, group AB, alleles A and B, 100 %. "
                       "Blood group: AB 100 %. Punnett square: mother's A and father's B give "
                       "4-AB; mother's A and father's B give 4-AB; mother's A and father's B give "
                       "4-AB; mother's A and father's B give 4-AB.");
    QTest::newRow("no answer") << meaning::AfterStep(2, 7, false, true).restart
                               << std::string("Start over with the mother's genotype");
    QTest::newRow("father button") << meaning::ButtonDescription("Father", 6)
                                   << std::string("Father, group AB, alleles A and B");
}

void TestAnswerMeaning::stepsInWords() {
    QFETCH(std::string, spoken);
    QFETCH(std::string, expected);
    QCOMPARE(spoken, expected);
}

QTEST_GUILESS_MAIN(TestAnswerMeaning)
#include "tst_answer_meaning.moc"
