#include "form1.h"
#include "genotype_table.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <array>
#include <memory>
#include <set>

namespace {

constexpr int ButtonCount = 13; // mother row, father row, RESTART: the order Tab visits them
enum Action { Tab = ButtonCount, ShiftTab, Space, Return, ActionCount };

QString Code(int index) {
    return QString::fromLatin1(genetics::GenotypeCode.at(static_cast<std::size_t>(index - 1)));
}

QString ActionName(int action) {
    if (action < 6)
        return QStringLiteral("click mother %1").arg(Code(action + 1));
    if (action < 12)
        return QStringLiteral("click father %1").arg(Code(action - 5));
    const std::array<const char*, 5> names = {"click RESTART", "Tab", "Shift+Tab", "Space",
                                              "Return"};
    return QLatin1String(names.at(static_cast<std::size_t>(action - 12)));
}

// The child's genotypes worked out from the parents' alleles, in no particular order.
std::set<QString> Children(int mother, int father) {
    std::set<QString> children;
    const QString m = Code(mother), f = Code(father);
    for (QChar a : {m[2], m[3]})
        for (QChar b : {f[2], f[3]})
            for (int i = 1; i <= 6; ++i) {
                const QString c = Code(i);
                if ((c[2] == a && c[3] == b) || (c[2] == b && c[3] == a))
                    children.insert(c);
            }
    return children;
}

// What the window should show, worked out independently of the program's own code.
struct Model {
    enum Stage { AwaitingMother, AwaitingFather, ResultShown } stage = AwaitingMother;
    int mother = 0; // the stored choices, which RESTART keeps
    int father = 0;
    int focus = 0; // a button, counted in tab order

    [[nodiscard]] bool Enabled(int button) const {
        if (button == 12)
            return true;
        return button < 6 ? stage == AwaitingMother : stage == AwaitingFather;
    }

    void Press(int button) {
        if (button < 6) {
            mother = button + 1;
            stage = AwaitingFather;
        } else if (button < 12) {
            father = button - 5;
            stage = ResultShown;
        } else {
            stage = AwaitingMother;
        }
        // The focus goes where the next step is: father 1-00, RESTART, or mother 1-00.
        focus = stage == AwaitingFather ? 6 : stage == ResultShown ? 12 : 0;
    }

    void Apply(int action) {
        if (action < ButtonCount) {
            if (Enabled(action)) // a disabled button takes no click
                Press(action);
        } else if (action == Tab || action == ShiftTab) {
            do
                focus = (focus + (action == Tab ? 1 : ButtonCount - 1)) % ButtonCount;
            while (!Enabled(focus));
        } else {
            Press(focus);
        }
    }

    [[nodiscard]] QString Parents() const {
        if (stage == AwaitingMother)
            return {};
        const QString mothers = "(" + Code(mother) + ")+";
        return stage == AwaitingFather ? mothers : mothers + "(" + Code(father) + ")";
    }
};

} // namespace

class TestRandomUse : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void windowFollowsTheModel_data();
    void windowFollowsTheModel();

private:
    QString Mismatch(const Model& model) const;
    void Apply(int action);

    std::unique_ptr<Form1> window;
    std::array<QPushButton*, ButtonCount> buttons{};
};

void TestRandomUse::initTestCase() {
    QApplication::setStyle(QStringLiteral("Windows"));
}

void TestRandomUse::windowFollowsTheModel_data() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("actions");
    for (quint32 seed : {1U, 2U, 3U, 20261207U})
        QTest::addRow("seed %u", seed) << seed << 2000;
    // A fresh seed every run, unless AMBRELITH_SEED asks to repeat one.
    bool given = false;
    quint32 fresh = qEnvironmentVariable("AMBRELITH_SEED").toUInt(&given);
    if (!given)
        fresh = QRandomGenerator::system()->generate();
    qInfo("fresh seed %u (rerun with AMBRELITH_SEED=%u)", fresh, fresh);
    QTest::newRow("fresh seed") << fresh << 20000;
}

void TestRandomUse::windowFollowsTheModel() {
    QFETCH(quint32, seed);
    QFETCH(int, actions);
    window = std::make_unique<Form1>();
    for (int i = 0; i < 6; ++i) {
        buttons.at(i) = window->findChild<QPushButton*>(QStringLiteral("Command1_%1").arg(i + 1));
        buttons.at(i + 6) =
            window->findChild<QPushButton*>(QStringLiteral("Command2_%1").arg(i + 1));
    }
    buttons.at(12) = window->findChild<QPushButton*>(QStringLiteral("Command3"));
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    QRandomGenerator random(seed);
    Model model;
    QStringList done;
    QString mismatch = Mismatch(model);
    for (int step = 0; step < actions && mismatch.isEmpty(); ++step) {
        const int action = random.bounded(int(ActionCount));
        done << ActionName(action);
        Apply(action);
        model.Apply(action);
        mismatch = Mismatch(model);
    }
    // Checked after every action, so the actions done are the shortest failing prefix.
    QVERIFY2(mismatch.isEmpty(),
             qPrintable(QStringLiteral("seed %1, after %2 actions: %3\n  actions: %4")
                            .arg(seed)
                            .arg(done.size())
                            .arg(mismatch, done.join(QStringLiteral(", ")))));
    window.reset();
}

void TestRandomUse::Apply(int action) {
    if (action < ButtonCount) {
        QTest::mouseClick(buttons.at(action), Qt::LeftButton);
        return;
    }
    QWidget* focused = QApplication::focusWidget();
    if (action == Tab || action == ShiftTab)
        QTest::keyClick(focused, Qt::Key_Tab, action == Tab ? Qt::NoModifier : Qt::ShiftModifier);
    else
        QTest::keyClick(focused, action == Space ? Qt::Key_Space : Qt::Key_Return);
}

QString TestRandomUse::Mismatch(const Model& model) const {
    for (int i = 0; i < ButtonCount; ++i)
        if (buttons.at(i)->isEnabled() != model.Enabled(i))
            return QStringLiteral("%1 is %2")
                .arg(buttons.at(i)->objectName(),
                     buttons.at(i)->isEnabled() ? "enabled" : "disabled");
    if (QApplication::focusWidget() != buttons.at(model.focus))
        return QStringLiteral("focus on %1, not %2")
            .arg(QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                             : QStringLiteral("nothing"),
                 buttons.at(model.focus)->objectName());
    const QString parents = window->findChild<QLabel*>(QStringLiteral("Label6"))->text();
    if (parents != model.Parents())
        return QStringLiteral("Label6 reads \"%1\", not \"%2\"").arg(parents, model.Parents());
    const QString answer = window->findChild<QLabel*>(QStringLiteral("Label4"))->text();
    if (model.stage != Model::ResultShown) {
        if (!answer.isEmpty())
            return QStringLiteral("Label4 reads \"%1\" before a father is picked").arg(answer);
    } else {
        const QStringList listed = answer.split(QStringLiteral(", "));
        const std::set<QString> shown(listed.begin(), listed.end());
        if (shown != Children(model.mother, model.father) ||
            shown.size() != std::size_t(listed.size()))
            return QStringLiteral("Label4 reads \"%1\" for %2").arg(answer, model.Parents());
    }
    if (window->logic().MotherIndex != model.mother || window->logic().FatherIndex != model.father)
        return QStringLiteral("stored choices %1 and %2, not %3 and %4")
            .arg(window->logic().MotherIndex)
            .arg(window->logic().FatherIndex)
            .arg(model.mother)
            .arg(model.father);
    return {};
}

QTEST_MAIN(TestRandomUse)
#include "tst_random_use.moc"
