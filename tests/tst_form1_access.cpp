#include "form1.h"
#include "genotype_table.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <memory>

namespace {

QString Code(int index) {
    return QString::fromLatin1(genetics::GenotypeCode.at(static_cast<std::size_t>(index - 1)));
}

// The accessibility events the window raised, as "object name: event type".
QStringList* events = nullptr;

void RecordEvent(QAccessibleEvent* event) {
    if (events && event->object())
        *events << QStringLiteral("%1: %2").arg(event->object()->objectName()).arg(event->type());
}

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
    QAccessible::installUpdateHandler(RecordEvent);
    // As an assistive technology connecting would: only then does Qt send accessibility events.
    QPlatformAccessibility* platform =
        QGuiApplicationPrivate::platformIntegration()->accessibility();
    QVERIFY(platform);
    platform->setActive(true);
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

void TestForm1Access::changedLabelsAreAnnounced() {
    QStringList seen;
    events = &seen;
    QTest::mouseClick(Find("Command1_3"), Qt::LeftButton);
    QTest::mouseClick(Find("Command2_5"), Qt::LeftButton);
    QTest::mouseClick(Find("Command3"), Qt::LeftButton);
    events = nullptr;
    const QString label4 = QStringLiteral("Label4: %1").arg(QAccessible::NameChanged);
    const QString label6 = QStringLiteral("Label6: %1").arg(QAccessible::NameChanged);
    // Label6 changes three times (mother, father, RESTART), Label4 twice (answer, RESTART).
    QCOMPARE(seen.count(label6), 3);
    QCOMPARE(seen.count(label4), 2);
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
