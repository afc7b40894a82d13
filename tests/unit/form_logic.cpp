#include "form_logic.h"
#include "genotype_table.h"

#include <doctest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

using form::FormLogic;
using form::Label;
using form::Row;
using genetics::GenotypeCode;

namespace {

// Holds the controls' state as the window would and logs every call, in order.
class FakeControls : public form::FormControls {
public:
    FakeControls() {
        for (auto& row : captions)
            for (std::size_t i = 0; i < row.size(); ++i)
                row.at(i) = std::string(GenotypeCode.at(i));
    }

    void SetButtonEnabled(Row row, std::int16_t index, bool enabled) override {
        log.push_back(std::string(enabled ? "on " : "off ") + Name(row, index));
        At(flags, row, index) = enabled ? '1' : '0';
    }
    std::string GetButtonCaption(Row row, std::int16_t index) const override {
        log.push_back("caption " + Name(row, index));
        return captions.at(RowIndex(row)).at(static_cast<std::size_t>(index - 1));
    }
    std::string GetLabelCaption(Label label) const override {
        log.push_back("read " + Name(label));
        return labels.at(LabelIndex(label));
    }
    void SetLabelCaption(Label label, const std::string& text) override {
        log.push_back("write " + Name(label) + " " + text);
        labels.at(LabelIndex(label)) = text;
    }

    // The visible state: both rows' enabled flags ("1" enabled, indices 1 to 6), Label6, Label4.
    [[nodiscard]] std::string State() const {
        return flags.at(0) + " " + flags.at(1) + " " + labels.at(1) + " | " + labels.at(0);
    }

    std::array<std::array<std::string, 6>, 2> captions;
    std::array<std::string, 2> labels; // Label4, Label6
    mutable std::vector<std::string> log;

private:
    static std::size_t RowIndex(Row row) { return row == Row::Command1 ? 0 : 1; }
    static std::size_t LabelIndex(Label label) { return label == Label::Label4 ? 0 : 1; }
    static char& At(std::array<std::string, 2>& rows, Row row, std::int16_t index) {
        return rows.at(RowIndex(row)).at(static_cast<std::size_t>(index - 1));
    }
    static std::string Name(Row row, std::int16_t index) {
        return (row == Row::Command1 ? "Command1(" : "Command2(") + std::to_string(index) + ")";
    }
    static std::string Name(Label label) { return label == Label::Label4 ? "Label4" : "Label6"; }

    // Both rows start enabled, as the window creates them before the Load event.
    std::array<std::string, 2> flags = {"111111", "111111"};
};

std::string Parenthesised(std::int16_t index) {
    return std::string("(").append(GenotypeCode.at(static_cast<std::size_t>(index - 1))) + ")";
}

} // namespace

TEST_CASE("every pass shows the parents and the answer, and RESTART starts the next afresh") {
    for (std::int16_t mother = 1; mother <= 6; ++mother)
        for (std::int16_t father = 1; father <= 6; ++father) {
            CAPTURE(mother);
            CAPTURE(father);
            FakeControls view;
            FormLogic logic(view);
            logic.OnLoad();
            CHECK(view.State() == "111111 000000  | ");
            CHECK(logic.MotherIndex == 0);
            CHECK(logic.FatherIndex == 0);
            logic.OnMotherPick(mother);
            CHECK(view.State() == "000000 111111 " + Parenthesised(mother) + "+ | ");
            logic.OnFatherPick(father);
            const std::string answer(*genetics::Offspring(mother, father));
            CHECK(view.State() == "000000 000000 " + Parenthesised(mother) + "+" +
                                      Parenthesised(father) + " | " + answer);
            CHECK(logic.MotherIndex == mother);
            CHECK(logic.FatherIndex == father);
            // A second pass with the roles swapped starts from an empty expression.
            logic.OnRestart();
            CHECK(view.State() == "111111 000000  | ");
            logic.OnMotherPick(father);
            logic.OnFatherPick(mother);
            CHECK(view.State() == "000000 000000 " + Parenthesised(father) + "+" +
                                      Parenthesised(mother) + " | " +
                                      std::string(*genetics::Offspring(father, mother)));
        }
}

TEST_CASE("RESTART returns to the start from every state, keeping the stored choices") {
    for (int picks = 0; picks <= 2; ++picks) {
        CAPTURE(picks);
        FakeControls view;
        FormLogic logic(view);
        logic.OnLoad();
        if (picks >= 1)
            logic.OnMotherPick(6);
        if (picks >= 2)
            logic.OnFatherPick(3);
        logic.OnRestart();
        CHECK(view.State() == "111111 000000  | ");
        // The next picks overwrite them before any lookup.
        CHECK(logic.MotherIndex == (picks >= 1 ? 6 : 0));
        CHECK(logic.FatherIndex == (picks >= 2 ? 3 : 0));
    }
}

TEST_CASE("the parents label takes what the buttons show; the answer, what the table holds") {
    FakeControls view;
    view.captions[0][1] = "mother's";
    view.captions[1][3] = "father's";
    FormLogic logic(view);
    logic.OnLoad();
    logic.OnMotherPick(2);
    logic.OnFatherPick(4);
    CHECK(view.State() == "000000 000000 (mother's)+(father's) | 4-AB");
    // Only RESTART clears the answer; a mother pick leaves it.
    view.captions[0][1] = "2-AA";
    logic.OnMotherPick(1);
    CHECK(view.State() == "000000 111111 (1-00)+ | 4-AB");
}

TEST_CASE("each handler calls the controls in its order") {
    using Calls = std::vector<std::string>;
    FakeControls view;
    FormLogic logic(view);
    const auto watch = [&](const std::function<void()>& handler) {
        view.log.clear();
        handler();
        return view.log;
    };
    CHECK(watch([&] { logic.OnLoad(); }) == Calls{"off Command2(1)", "off Command2(2)",
                                                  "off Command2(3)", "off Command2(4)",
                                                  "off Command2(5)", "off Command2(6)"});
    CHECK(watch([&] { logic.OnMotherPick(3); }) ==
          Calls{"off Command1(1)", "on Command2(1)", "off Command1(2)", "on Command2(2)",
                "off Command1(3)", "on Command2(3)", "off Command1(4)", "on Command2(4)",
                "off Command1(5)", "on Command2(5)", "off Command1(6)", "on Command2(6)",
                "caption Command1(3)", "write Label6 (2-A0)+"});
    CHECK(watch([&] { logic.OnFatherPick(5); }) ==
          Calls{"off Command2(1)", "off Command2(2)", "off Command2(3)", "off Command2(4)",
                "off Command2(5)", "off Command2(6)", "read Label6", "caption Command2(5)",
                "write Label6 (2-A0)+(3-B0)", "write Label4 4-AB, 2-A0, 3-B0, 1-00"});
    CHECK(watch([&] { logic.OnRestart(); }) ==
          Calls{"on Command1(1)", "off Command2(1)", "on Command1(2)", "off Command2(2)",
                "on Command1(3)", "off Command2(3)", "on Command1(4)", "off Command2(4)",
                "on Command1(5)", "off Command2(5)", "on Command1(6)", "off Command2(6)",
                "write Label4 ", "write Label6 "});
}

TEST_CASE("Proverka leaves the answer as it is for an index outside 1 to 6") {
    const std::array<std::pair<std::int16_t, std::int16_t>, 6> pairs = {
        {{0, 0}, {2, 0}, {7, 1}, {1, 7}, {-1, 4}, {5, -32768}}};
    // Plain variables, not a structured binding, which clang before 16 cannot capture.
    for (const auto& pair : pairs) {
        const auto mother = pair.first, father = pair.second;
        CAPTURE(mother);
        CAPTURE(father);
        FakeControls view;
        view.labels[0] = "earlier answer";
        FormLogic logic(view);
        logic.MotherIndex = mother;
        logic.FatherIndex = father;
        logic.Proverka();
        CHECK(view.labels[0] == "earlier answer");
        CHECK(view.log.empty());
    }
}
