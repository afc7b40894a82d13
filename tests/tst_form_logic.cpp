#include "form_logic.h"
#include "genotype_table.h"

#include <QTest>

#include <array>
#include <string>
#include <vector>

using form::FormLogic;
using form::Label;
using form::Row;
using genetics::GenotypeCode;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(std::vector<std::string>)

namespace {

// Holds the controls' state as the window would and logs every call, in order.
class FakeControls : public form::FormControls {
public:
    FakeControls() {
        for (auto& row : captions)
            for (std::size_t i = 0; i < row.size(); ++i)
                row[i] = std::string(GenotypeCode[i]);
    }

    void SetButtonEnabled(Row row, std::int16_t index, bool enabled) override {
        log.push_back(std::string(enabled ? "on " : "off ") + Name(row, index));
        Enabled(row, index) = enabled;
    }
    std::string GetButtonCaption(Row row, std::int16_t index) const override {
        log.push_back("caption " + Name(row, index));
        return captions[RowIndex(row)].at(static_cast<std::size_t>(index - 1));
    }
    std::string GetLabelCaption(Label label) const override {
        log.push_back("read " + Name(label));
        return labels[LabelIndex(label)];
    }
    void SetLabelCaption(Label label, const std::string& text) override {
        log.push_back("write " + Name(label) + " " + text);
        labels[LabelIndex(label)] = text;
    }

    bool& Enabled(Row row, std::int16_t index) {
        return enabled[RowIndex(row)].at(static_cast<std::size_t>(index - 1));
    }
    // "1" for an enabled button, "0" for a disabled one, indices 1 to 6.
    std::string Flags(Row row) const {
        std::string flags;
        for (bool on : enabled[RowIndex(row)])
            flags += on ? '1' : '0';
        return flags;
    }
    std::string& Caption(Label label) { return labels[LabelIndex(label)]; }

    std::array<std::array<std::string, 6>, 2> captions;
    mutable std::vector<std::string> log;

private:
    static std::size_t RowIndex(Row row) { return row == Row::Command1 ? 0 : 1; }
    static std::size_t LabelIndex(Label label) { return label == Label::Label4 ? 0 : 1; }
    static std::string Name(Row row, std::int16_t index) {
        return (row == Row::Command1 ? "Command1(" : "Command2(") + std::to_string(index) + ")";
    }
    static std::string Name(Label label) { return label == Label::Label4 ? "Label4" : "Label6"; }

    // Both rows start enabled, as the window creates them before the Load event.
    std::array<std::array<bool, 6>, 2> enabled = {
        {{true, true, true, true, true, true}, {true, true, true, true, true, true}}};
    std::array<std::string, 2> labels;
};

// The visible state: enabled flags of both rows and the two labels.
struct Observed {
    std::string mothers, fathers, label6, label4;
    bool operator==(const Observed&) const = default;
};

char* toString(const Observed& o) {
    return QTest::toString(QString::fromStdString("mothers " + o.mothers + ", fathers " +
                                                  o.fathers + ", Label6 \"" + o.label6 +
                                                  "\", Label4 \"" + o.label4 + "\""));
}

Observed Observe(FakeControls& view) {
    return {view.Flags(Row::Command1), view.Flags(Row::Command2), view.Caption(Label::Label6),
            view.Caption(Label::Label4)};
}

std::string Parenthesised(std::int16_t index) {
    return "(" + std::string(GenotypeCode.at(static_cast<std::size_t>(index - 1))) + ")";
}

} // namespace

class TestFormLogic : public QObject {
    Q_OBJECT

private slots:
    void loadDisablesOnlyTheFatherRow();
    void passShowsExpressionAndAnswer_data();
    void passShowsExpressionAndAnswer();
    void restartReturnsToStart_data();
    void restartReturnsToStart();
    void motherPickKeepsTheAnswer();
    void labelTakesTheButtonsCurrentCaptions();
    void handlersCallControlsInOrder_data();
    void handlersCallControlsInOrder();
    void proverkaOutOfRangeLeavesAnswer_data();
    void proverkaOutOfRangeLeavesAnswer();
};

void TestFormLogic::loadDisablesOnlyTheFatherRow() {
    FakeControls view;
    FormLogic logic(view);
    logic.OnLoad();
    QCOMPARE(Observe(view), (Observed{"111111", "000000", "", ""}));
    QCOMPARE(logic.MotherIndex, 0);
    QCOMPARE(logic.FatherIndex, 0);
}

void TestFormLogic::passShowsExpressionAndAnswer_data() {
    QTest::addColumn<std::int16_t>("mother");
    QTest::addColumn<std::int16_t>("father");
    for (std::int16_t m = 1; m <= 6; ++m)
        for (std::int16_t f = 1; f <= 6; ++f)
            QTest::addRow("%s x %s", GenotypeCode[m - 1].data(), GenotypeCode[f - 1].data())
                << m << f;
}

void TestFormLogic::passShowsExpressionAndAnswer() {
    QFETCH(std::int16_t, mother);
    QFETCH(std::int16_t, father);
    FakeControls view;
    FormLogic logic(view);
    logic.OnLoad();

    logic.OnMotherPick(mother);
    QCOMPARE(Observe(view), (Observed{"000000", "111111", Parenthesised(mother) + "+", ""}));
    QCOMPARE(logic.MotherIndex, mother);

    logic.OnFatherPick(father);
    QCOMPARE(Observe(view),
             (Observed{"000000", "000000", Parenthesised(mother) + "+" + Parenthesised(father),
                       std::string(*genetics::Offspring(mother, father))}));
    QCOMPARE(logic.FatherIndex, father);

    // A second pass with the roles swapped starts from an empty expression.
    logic.OnRestart();
    QCOMPARE(Observe(view), (Observed{"111111", "000000", "", ""}));
    logic.OnMotherPick(father);
    logic.OnFatherPick(mother);
    QCOMPARE(Observe(view),
             (Observed{"000000", "000000", Parenthesised(father) + "+" + Parenthesised(mother),
                       std::string(*genetics::Offspring(father, mother))}));
}

void TestFormLogic::restartReturnsToStart_data() {
    QTest::addColumn<int>("picks");
    QTest::newRow("at start") << 0;
    QTest::newRow("after a mother pick") << 1;
    QTest::newRow("after the answer") << 2;
}

void TestFormLogic::restartReturnsToStart() {
    QFETCH(int, picks);
    FakeControls view;
    FormLogic logic(view);
    logic.OnLoad();
    if (picks >= 1)
        logic.OnMotherPick(6);
    if (picks >= 2)
        logic.OnFatherPick(3);
    logic.OnRestart();
    QCOMPARE(Observe(view), (Observed{"111111", "000000", "", ""}));
    // The stored choices survive RESTART; the next picks overwrite them before any lookup.
    QCOMPARE(logic.MotherIndex, picks >= 1 ? 6 : 0);
    QCOMPARE(logic.FatherIndex, picks >= 2 ? 3 : 0);
}

void TestFormLogic::motherPickKeepsTheAnswer() {
    FakeControls view;
    FormLogic logic(view);
    logic.OnLoad();
    logic.OnMotherPick(3);
    logic.OnFatherPick(5);
    logic.OnMotherPick(1);
    QCOMPARE(Observe(view), (Observed{"000000", "111111", "(1-00)+", "4-AB, 2-A0, 3-B0, 1-00"}));
}

void TestFormLogic::labelTakesTheButtonsCurrentCaptions() {
    FakeControls view;
    view.captions[0][1] = "mother's";
    view.captions[1][3] = "father's";
    FormLogic logic(view);
    logic.OnLoad();
    logic.OnMotherPick(2);
    logic.OnFatherPick(4);
    // The expression shows what the buttons show; the answer always comes from the table.
    QCOMPARE(Observe(view), (Observed{"000000", "000000", "(mother's)+(father's)", "4-AB"}));
}

void TestFormLogic::handlersCallControlsInOrder_data() {
    QTest::addColumn<int>("handler");
    QTest::addColumn<std::vector<std::string>>("calls");
    using Calls = std::vector<std::string>;
    QTest::newRow("OnLoad") << 0 << Calls{"off Command2(1)", "off Command2(2)", "off Command2(3)",
                                          "off Command2(4)", "off Command2(5)", "off Command2(6)"};
    QTest::newRow("OnMotherPick(3)")
        << 1
        << Calls{"off Command1(1)",     "on Command2(1)",      "off Command1(2)", "on Command2(2)",
                 "off Command1(3)",     "on Command2(3)",      "off Command1(4)", "on Command2(4)",
                 "off Command1(5)",     "on Command2(5)",      "off Command1(6)", "on Command2(6)",
                 "caption Command1(3)", "write Label6 (2-A0)+"};
    QTest::newRow("OnFatherPick(5)") << 2
                                     << Calls{"off Command2(1)",
                                              "off Command2(2)",
                                              "off Command2(3)",
                                              "off Command2(4)",
                                              "off Command2(5)",
                                              "off Command2(6)",
                                              "read Label6",
                                              "caption Command2(5)",
                                              "write Label6 (2-A0)+(3-B0)",
                                              "write Label4 4-AB, 2-A0, 3-B0, 1-00"};
    QTest::newRow("OnRestart") << 3
                               << Calls{"on Command1(1)",  "off Command2(1)", "on Command1(2)",
                                        "off Command2(2)", "on Command1(3)",  "off Command2(3)",
                                        "on Command1(4)",  "off Command2(4)", "on Command1(5)",
                                        "off Command2(5)", "on Command1(6)",  "off Command2(6)",
                                        "write Label4 ",   "write Label6 "};
}

void TestFormLogic::handlersCallControlsInOrder() {
    QFETCH(int, handler);
    QFETCH(std::vector<std::string>, calls);
    FakeControls view;
    FormLogic logic(view);
    // Bring the form to the state in which the handler can be reached, then watch only it.
    const std::array<void (*)(FormLogic&), 4> steps = {
        [](FormLogic& l) { l.OnLoad(); },
        [](FormLogic& l) { l.OnMotherPick(3); },
        [](FormLogic& l) { l.OnFatherPick(5); },
        [](FormLogic& l) { l.OnRestart(); },
    };
    for (int step = 0; step < handler; ++step)
        steps[static_cast<std::size_t>(step)](logic);
    view.log.clear();
    steps[static_cast<std::size_t>(handler)](logic);
    QCOMPARE(view.log, calls);
}

void TestFormLogic::proverkaOutOfRangeLeavesAnswer_data() {
    QTest::addColumn<std::int16_t>("mother");
    QTest::addColumn<std::int16_t>("father");
    QTest::newRow("nothing picked") << std::int16_t(0) << std::int16_t(0);
    QTest::newRow("no father yet") << std::int16_t(2) << std::int16_t(0);
    QTest::newRow("mother 7") << std::int16_t(7) << std::int16_t(1);
    QTest::newRow("father 7") << std::int16_t(1) << std::int16_t(7);
    QTest::newRow("mother -1") << std::int16_t(-1) << std::int16_t(4);
    QTest::newRow("father -32768") << std::int16_t(5) << std::int16_t(-32768);
}

void TestFormLogic::proverkaOutOfRangeLeavesAnswer() {
    QFETCH(std::int16_t, mother);
    QFETCH(std::int16_t, father);
    FakeControls view;
    view.Caption(Label::Label4) = "earlier answer";
    FormLogic logic(view);
    logic.MotherIndex = mother;
    logic.FatherIndex = father;
    logic.Proverka();
    QCOMPARE(view.Caption(Label::Label4), std::string("earlier answer"));
    QVERIFY(view.log.empty());
}

QTEST_GUILESS_MAIN(TestFormLogic)
#include "tst_form_logic.moc"
