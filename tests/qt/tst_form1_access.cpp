#include "form1.h"
#include "genotype_table.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

QString Code(int index) {
    return QString::fromLatin1(genetics::GenotypeCode.at(static_cast<std::size_t>(index - 1)));
}

// The buttons that take the focus, in turn, while it watches the application.
class FocusRecorder : public QObject {
public:
    FocusRecorder() { QApplication::instance()->installEventFilter(this); }
    QStringList buttons;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn && qobject_cast<QPushButton*>(watched))
            buttons << watched->objectName();
        return false;
    }
};

} // namespace

class TestForm1Access : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void keyboardTakesAPass_data();
    void keyboardTakesAPass();
    void focusFollowsMouseClicks();
    void focusIsVisible();
    void buttonsSpeakTheirCaption_data();
    void buttonsSpeakTheirCaption();
    void labelsExposeTheirText();
    void changedLabelsAreAnnounced();
    void focusGoesStraightToTheNextStep_data();
    void focusGoesStraightToTheNextStep();
    void stepsAreDescribedOnTheFocus_data();
    void stepsAreDescribedOnTheFocus();
    void windowScalesWithTheScreen_data();
    void windowScalesWithTheScreen();

private:
    template <typename T = QPushButton> T* Find(const QString& name) const {
        auto* widget = window->findChild<T*>(name);
        if (!widget)
            qFatal("no control named %s", qPrintable(name));
        return widget;
    }
    QString Focused() const { return QApplication::focusWidget()->objectName(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    static QAccessibleInterface* Access(QObject* object) {
        return QAccessible::queryAccessibleInterface(object);
    }

    std::unique_ptr<Form1> window;
};

void TestForm1Access::initTestCase() {
    QApplication::setStyle(QStringLiteral("Windows"));
}

void TestForm1Access::init() {
    window = std::make_unique<Form1>();
    window->show();
    window->activateWindow(); // a bare X server has no window manager to do it
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void TestForm1Access::cleanup() {
    window.reset();
}

void TestForm1Access::keyboardTakesAPass_data() {
    QTest::addColumn<int>("mother");
    QTest::addColumn<int>("father");
    QTest::addColumn<int>("press");
    QTest::newRow("1-00 x 1-00, Space") << 1 << 1 << int(Qt::Key_Space);
    QTest::newRow("2-A0 x 3-B0, Return") << 3 << 5 << int(Qt::Key_Return);
    QTest::newRow("4-AB x 2-A0, Enter") << 6 << 3 << int(Qt::Key_Enter);
    QTest::newRow("2-AA x 4-AB, Space") << 2 << 6 << int(Qt::Key_Space);
    QTest::newRow("3-BB x 2-AA, Return") << 4 << 2 << int(Qt::Key_Return);
}

void TestForm1Access::keyboardTakesAPass() {
    QFETCH(int, mother);
    QFETCH(int, father);
    QFETCH(int, press);
    const auto activate = Qt::Key(press);
    QCOMPARE(Focused(), QStringLiteral("Command1_1"));
    // Tab runs along the mother row; the father row is disabled and skipped.
    for (int i = 1; i < mother; ++i)
        Key(Qt::Key_Tab);
    QCOMPARE(Focused(), QStringLiteral("Command1_%1").arg(mother));
    Key(activate);
    QCOMPARE(Find<QLabel>("Label6")->text(), "(" + Code(mother) + ")+");
    QCOMPARE(Focused(), QStringLiteral("Command2_1"));

    // One step past the father's button, then Shift+Tab back to it.
    for (int i = 0; i < father; ++i)
        Key(Qt::Key_Tab);
    QCOMPARE(Focused(), father < 6 ? QStringLiteral("Command2_%1").arg(father + 1)
                                   : QStringLiteral("Command3"));
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(Focused(), QStringLiteral("Command2_%1").arg(father));
    Key(activate);
    QCOMPARE(Find<QLabel>("Label6")->text(), "(" + Code(mother) + ")+(" + Code(father) + ")");
    const auto answer =
        genetics::Offspring(static_cast<std::int16_t>(mother), static_cast<std::int16_t>(father));
    QCOMPARE(Find<QLabel>("Label4")->text(), QString::fromLatin1(*answer));
    QCOMPARE(Focused(), QStringLiteral("Command3"));

    // RESTART is the only enabled button, so Tab stays on it.
    Key(Qt::Key_Tab);
    QCOMPARE(Focused(), QStringLiteral("Command3"));
    Key(activate);
    QVERIFY(Find<QLabel>("Label6")->text().isEmpty());
    QCOMPARE(Focused(), QStringLiteral("Command1_1"));
}

void TestForm1Access::focusFollowsMouseClicks() {
    QTest::mouseClick(Find("Command1_5"), Qt::LeftButton);
    QCOMPARE(Focused(), QStringLiteral("Command2_1"));
    QTest::mouseClick(Find("Command2_2"), Qt::LeftButton);
    QCOMPARE(Focused(), QStringLiteral("Command3"));
    QTest::mouseClick(Find("Command3"), Qt::LeftButton);
    QCOMPARE(Focused(), QStringLiteral("Command1_1"));
    // RESTART after a mother pick, too.
    QTest::mouseClick(Find("Command1_2"), Qt::LeftButton);
    QTest::mouseClick(Find("Command3"), Qt::LeftButton);
    QCOMPARE(Focused(), QStringLiteral("Command1_1"));
}

void TestForm1Access::focusIsVisible() {
    auto* first = Find("Command1_1");
    const QImage focused = first->grab().toImage();
    Key(Qt::Key_Tab);
    QVERIFY(!first->hasFocus());
    const QImage unfocused = first->grab().toImage();
    QCOMPARE(focused.size(), unfocused.size());
    QVERIFY2(focused != unfocused, "the focused button looks the same as an unfocused one");
    // After a mouse click the focus moves on, and is still marked.
    QTest::mouseClick(Find("Command1_2"), Qt::LeftButton);
    QVERIFY(Find("Command2_1")->hasFocus());
    const QImage father = Find("Command2_1")->grab().toImage();
    QVERIFY(father != Find("Command2_2")->grab().toImage());
}

void TestForm1Access::buttonsSpeakTheirCaption_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("enabled");
    const char* meanings[] = {"group O, alleles 0 and 0", "group A, alleles A and A",
                              "group A, alleles A and 0", "group B, alleles B and B",
                              "group B, alleles B and 0", "group AB, alleles A and B"};
    for (int i = 1; i <= 6; ++i) {
        const QString meaning = QLatin1String(meanings[i - 1]);
        QTest::addRow("Command1_%d", i)
            << QStringLiteral("Command1_%1").arg(i) << Code(i) << "Mother, " + meaning << true;
        QTest::addRow("Command2_%d", i)
            << QStringLiteral("Command2_%1").arg(i) << Code(i) << "Father, " + meaning << false;
    }
    QTest::newRow("Command3") << "Command3"
                              << "RESTART"
                              << "Start over with the mother's genotype" << true;
}

void TestForm1Access::buttonsSpeakTheirCaption() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, description);
    QFETCH(bool, enabled);
    QAccessibleInterface* button = Access(Find(name));
    QVERIFY(button);
    QCOMPARE(button->role(), QAccessible::Button);
    QCOMPARE(button->text(QAccessible::Name), caption);
    QCOMPARE(button->text(QAccessible::Name), Find(name)->text());
    QCOMPARE(button->text(QAccessible::Description), description);
    QCOMPARE(!button->state().disabled, enabled);
    QCOMPARE(bool(button->state().focusable), true);
}

void TestForm1Access::labelsExposeTheirText() {
    QAccessibleInterface* form = Access(window.get());
    QCOMPARE(form->role(), QAccessible::Window);
    QCOMPARE(form->text(QAccessible::Name), QStringLiteral("Ambrelith"));
    QVERIFY(form->text(QAccessible::Description).contains("child"));
    const QStringList texts = {"Select blood group of Mother",
                               "Select blood group of Father",
                               "Blood group of your Child is:",
                               "",
                               "Tamberlune Works",
                               ""};
    for (int i = 1; i <= 6; ++i) {
        QAccessibleInterface* label = Access(Find<QLabel>(QStringLiteral("Label%1").arg(i)));
        QCOMPARE(label->role(), QAccessible::StaticText);
        QCOMPARE(label->text(QAccessible::Name), texts[i - 1]);
    }
    QTest::mouseClick(Find("Command1_3"), Qt::LeftButton);
    QTest::mouseClick(Find("Command2_5"), Qt::LeftButton);
    QCOMPARE(Access(Find<QLabel>("Label6"))->text(QAccessible::Name),
             QStringLiteral("(2-A0)+(3-B0)"));
    QCOMPARE(Access(Find<QLabel>("Label4"))->text(QAccessible::Name),
             QStringLiteral("4-AB, 2-A0, 3-B0, 1-00"));
    QVERIFY(!Access(Find<QLabel>("Label4"))->text(QAccessible::Description).isEmpty());
}

// Qt tells a screen reader of a label's new text, as a change of its name, only while the label
// has no accessible name of its own; the screen-reader test hears those changes over the bus.
void TestForm1Access::changedLabelsAreAnnounced() {
    const QList<QLabel*> labels = {Find<QLabel>("Label6"), Find<QLabel>("Label4")};
    QTest::mouseClick(Find("Command1_2"), Qt::LeftButton);
    QTest::mouseClick(Find("Command2_4"), Qt::LeftButton);
    for (QLabel* label : labels) {
        QVERIFY2(label->accessibleName().isEmpty(), qPrintable(label->objectName()));
        QVERIFY(!label->text().isEmpty());
        QCOMPARE(Access(label)->text(QAccessible::Name), label->text());
    }
}

void TestForm1Access::focusGoesStraightToTheNextStep_data() {
    QTest::addColumn<QStringList>("before"); // buttons clicked first
    QTest::addColumn<QString>("press");      // the button pressed with Space while focused
    QTest::addColumn<QString>("next");
    QTest::newRow("mother 2-A0") << QStringList() << "Command1_3"
                                 << "Command2_1";
    QTest::newRow("mother 1-00") << QStringList() << "Command1_1"
                                 << "Command2_1";
    QTest::newRow("mother 4-AB") << QStringList() << "Command1_6"
                                 << "Command2_1";
    QTest::newRow("father 3-B0") << QStringList{"Command1_3"} << "Command2_5"
                                 << "Command3";
    QTest::newRow("father 1-00") << QStringList{"Command1_6"} << "Command2_1"
                                 << "Command3";
    QTest::newRow("RESTART after the answer")
        << QStringList{"Command1_3", "Command2_5"} << "Command3"
        << "Command1_1";
    QTest::newRow("RESTART after a mother pick") << QStringList{"Command1_2"} << "Command3"
                                                 << "Command1_1";
}

// A screen reader speaks every button the focus enters: after a step the focus enters only the
// button of the next step, not the buttons the step disables on the way.
void TestForm1Access::focusGoesStraightToTheNextStep() {
    QFETCH(QStringList, before);
    QFETCH(QString, press);
    QFETCH(QString, next);
    for (const QString& name : before)
        QTest::mouseClick(Find(name), Qt::LeftButton);
    Find(press)->setFocus(Qt::TabFocusReason);
    QCOMPARE(Focused(), press);
    const FocusRecorder entered;
    QTest::keyClick(Find(press), Qt::Key_Space);
    QCOMPARE(entered.buttons.join(QLatin1Char(' ')), next);
    QCOMPARE(Focused(), next);
}

void TestForm1Access::stepsAreDescribedOnTheFocus_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    const QString father1 = QStringLiteral("Father, group O, alleles 0 and 0");
    const QString restart = QStringLiteral("Start over with the mother's genotype");
    QTest::newRow("father 1-00 after mother 2-A0")
        << QStringList{"Command1_3"} << "Command2_1"
        << "Mother 2-A0 is taken, group A, alleles A and 0; now the father. " + father1;
    QTest::newRow("father 1-00 after mother 4-AB")
        << QStringList{"Command1_6"} << "Command2_1"
        << "Mother 4-AB is taken, group AB, alleles A and B; now the father. " + father1;
    QTest::newRow("father 1-00 after the answer")
        << QStringList{"Command1_3", "Command2_5"} << "Command2_1" << father1;
    QTest::newRow("father 1-00 after RESTART")
        << QStringList{"Command1_3", "Command3"} << "Command2_1" << father1;
    QTest::newRow("RESTART after a mother pick")
        << QStringList{"Command1_3"} << "Command3" << restart;
    QTest::newRow("RESTART after 2-A0 x 3-B0")
        << QStringList{"Command1_3", "Command2_5"} << "Command3"
        << "Mother 2-A0 and father 3-B0: the child can have 4-AB, group AB, alleles A and B, "
           "25 %; 2-A0, group A, alleles A and 0, 25 %; 3-B0, group B, alleles B and 0, 25 %; "
           "1-00, group O, alleles 0 and 0, 25 %. " +
               restart;
    QTest::newRow("RESTART after 4-AB x 2-A0")
        << QStringList{"Command1_6", "Command2_3"} << "Command3"
        << "Mother 4-AB and father 2-A0: the child can have 2-AA, group A, alleles A and A, "
           "25 %; 2-A0, group A, alleles A and 0, 25 %; 4-AB, group AB, alleles A and B, 25 %; "
           "3-B0, group B, alleles B and 0, 25 %. " +
               restart;
    QTest::newRow("RESTART after RESTART")
        << QStringList{"Command1_3", "Command2_5", "Command3"} << "Command3" << restart;
}

// What the button that takes the focus after a step says of it, as a screen reader reads it.
void TestForm1Access::stepsAreDescribedOnTheFocus() {
    QFETCH(QStringList, clicks);
    QFETCH(QString, name);
    QFETCH(QString, description);
    for (const QString& click : clicks)
        QTest::mouseClick(Find(click), Qt::LeftButton);
    QCOMPARE(Access(Find(name))->text(QAccessible::Description), description);
}

void TestForm1Access::windowScalesWithTheScreen_data() {
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<QRect>("designed"); // device-independent pixels
    QTest::newRow("Label6, cyan") << qRgb(0, 192, 192) << QRect(113, 145, 105, 23);
    QTest::newRow("RESTART, green") << qRgb(0, 192, 0) << QRect(257, 161, 63, 31);
}

void TestForm1Access::windowScalesWithTheScreen() {
    QFETCH(QRgb, colour);
    QFETCH(QRect, designed);
    const qreal scale = window->devicePixelRatio();
    const QImage image = window->grab().toImage();
    QCOMPARE(image.size(), (QSizeF(337, 217) * scale).toSize());
    // The smallest rectangle holding every pixel of the colour.
    QRect found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                found |= QRect(x, y, 1, 1);
    const QRectF expected(designed.topLeft() * scale, designed.size() * scale);
    QVERIFY2(qAbs(found.left() - expected.left()) <= 1 && qAbs(found.top() - expected.top()) <= 1 &&
                 qAbs(found.right() + 1 - expected.right()) <= 1 &&
                 qAbs(found.bottom() + 1 - expected.bottom()) <= 1,
             qPrintable(QStringLiteral("found %1,%2 %3x%4 at scale %5")
                            .arg(found.x())
                            .arg(found.y())
                            .arg(found.width())
                            .arg(found.height())
                            .arg(scale)));
}

QTEST_MAIN(TestForm1Access)
#include "tst_form1_access.moc"
