#include "answer_meaning.h"

#include <doctest.h>

#include <string>

// What every front end shows and speaks of an answer: the plain table of a tooltip without rich
// text, and the words a screen reader hears after each step.

TEST_CASE("the plain table shows the chances, the groups and the square") {
    // An uneven pair both ways round: the father's alleles head the columns, the mother's the rows.
    CHECK(meaning::AnswerDetailsText(6, 3) == "2-AA  25 %\n2-A0  25 %\n4-AB  25 %\n3-B0  25 %\n"
                                              "Blood group A 50 %, B 25 %, AB 25 %\n"
                                              "mother \\ father:  A  0\n"
                                              "A:  2-AA  2-A0\nB:  4-AB  3-B0");
    CHECK(meaning::AnswerDetailsText(3, 6) == "2-AA  25 %\n4-AB  25 %\n2-A0  25 %\n3-B0  25 %\n"
                                              "Blood group A 50 %, B 25 %, AB 25 %\n"
                                              "mother \\ father:  A  B\n"
                                              "A:  2-AA  4-AB\n0:  2-A0  3-B0");
    CHECK(meaning::AnswerDetailsText(2, 1) == "2-A0  100 %\nBlood group A 100 %\n"
                                              "mother \\ father:  0  0\n"
                                              "A:  2-A0  2-A0\nA:  2-A0  2-A0");
    CHECK(meaning::AnswerDetailsText(3, 0).empty());
    CHECK(meaning::AnswerDetailsText(7, 1).empty());
}

TEST_CASE("each step in words") {
    CHECK(meaning::AfterStep(3, 0, true, false).firstFather ==
          "Mother 2-A0 is taken, group A, alleles A and 0; now the father. Father, group O, "
          "alleles 0 and 0");
    CHECK(meaning::AfterStep(3, 5, false, false).firstFather == "Father, group O, alleles 0 and 0");
    CHECK(meaning::AfterStep(2, 4, false, true).restart ==
          "Mother 2-AA and father 3-BB: the child can have 4-AB, group AB, alleles A and B, 100 %. "
          "Start over with the mother's genotype");
    // Four different cells: the mother's alleles go down the square, the father's across.
    CHECK(meaning::AfterStep(3, 6, false, true).answerLabel ==
          "The genotypes the child can have. 2-AA, group A, alleles A and A, 25 %; 4-AB, group "
          "AB, alleles A and B, 25 %; 2-A0, group A, alleles A and 0, 25 %; 3-B0, group B, "
          "alleles B and 0, 25 %. Blood group: A 50 %, B 25 %, AB 25 %. Punnett square: mother's "
          "A and father's A give 2-AA; mother's A and father's B give 4-AB; mother's 0 and "
          "father's A give 2-A0; mother's 0 and father's B give 3-B0.");
    CHECK(meaning::AfterStep(2, 7, false, true).restart == "Start over with the mother's genotype");
    CHECK(meaning::ButtonDescription("Father", 6) == "Father, group AB, alleles A and B");
}
