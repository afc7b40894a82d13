#include "form1.h"
#include "genotype_table.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>
#include <QToolTip>

#include <memory>
#include <stdexcept>

namespace {

QString Code(int index) {
    return QString::fromLatin1(genetics::GenotypeCode.at(static_cast<std::size_t>(index - 1)));
}

// Every genotype button, mother row then father row, then RESTART.
QStringList ButtonNames() {
    QStringList names;
    for (const char* row : {"Command1_%1", "Command2_%1"})
        for (int i = 1; i <= 6; ++i)
            names << QString::fromLatin1(row).arg(i);
    return names << QStringLiteral("Command3");
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowIsFixedAndTitled();
    void controlsStandWhereDesigned_data();
    void controlsStandWhereDesigned();
    void controlsAskForTheirFonts_data();
    void controlsAskForTheirFonts();
    void labelsShowTheirColours_data();
    void labelsShowTheirColours();
    void restartStaysGreen();
    void tabVisitsButtonsInOrder();
    void fatherRowIsDisabledBeforeFirstShow();
    void disabledButtonReachesNoHandler();
    void clicksTakeAPass_data();
    void clicksTakeAPass();
    void keysPressTheFocusedButton_data();
    void keysPressTheFocusedButton();
    void textFitsItsControl_data();
    void textFitsItsControl();
    void labelsKeepTheirPlace();
    void answerTooltipExplainsIt_data();
    void answerTooltipExplainsIt();
    void tooltipSquareCrossesTheAlleles_data();
    void tooltipSquareCrossesTheAlleles();
    void indexOutsideARowIsRefused_data();
    void indexOutsideARowIsRefused();
    void iconIsTheHeart_data();
    void iconIsTheHeart();

private:
    template <typename T> T* Find(const QString& name) const {
        auto* widget = window->findChild<T*>(name);
        if (!widget)
            qFatal("no control named %s", qPrintable(name));
        return widget;
    }
    // The colour most of the button is drawn in.
    QColor FaceColour(const QString& name) const {
        const QImage image = Find<QPushButton>(name)->grab().toImage();
        QHash<QRgb, int> counts;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ++counts[image.pixel(x, y)];
        QRgb most = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() > counts.value(most))
                most = it.key();
        return QColor(most);
    }
    QString Text(const char* label) const { return Find<QLabel>(label)->text(); }
    void Click(const QString& name) { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }

    std::unique_ptr<Form1> window;
};

void TestForm1::initTestCase() {
    // As the program does before it creates its window.
    QApplication::setStyle(QStringLiteral("Windows"));
}

void TestForm1::init() {
    window = std::make_unique<Form1>();
}

void TestForm1::cleanup() {
    window.reset();
}

void TestForm1::windowIsFixedAndTitled() {
    QCOMPARE(window->windowTitle(), QStringLiteral("Ambrelith"));
    QCOMPARE(window->size(), QSize(337, 217));
    QCOMPARE(window->minimumSize(), QSize(337, 217));
    QCOMPARE(window->maximumSize(), QSize(337, 217));
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window->palette().color(QPalette::Window), QColor(192, 192, 0));
    QVERIFY(window->autoFillBackground());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(window->geometry().center(), screen.center());
}

void TestForm1::controlsStandWhereDesigned_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    // The designed twips divided by 15, rounded to the nearest pixel.
    for (int i = 1; i <= 6; ++i) {
        const int left = (i - 1) * 56;
        QTest::addRow("Command1_%d", i)
            << QStringLiteral("Command1_%1").arg(i) << QRect(left, 32, 57, 33);
        QTest::addRow("Command2_%d", i)
            << QStringLiteral("Command2_%1").arg(i) << QRect(left, 104, 57, 33);
    }
    QTest::newRow("Command3") << "Command3" << QRect(256, 160, 65, 33);
    QTest::newRow("Label1") << "Label1" << QRect(8, 8, 305, 25);
    QTest::newRow("Label2") << "Label2" << QRect(16, 80, 289, 25);
    QTest::newRow("Label3") << "Label3" << QRect(0, 168, 201, 17);
    QTest::newRow("Label4") << "Label4" << QRect(0, 184, 225, 33);
    QTest::newRow("Label5") << "Label5" << QRect(232, 200, 113, 17);
    QTest::newRow("Label6") << "Label6" << QRect(112, 144, 107, 25);
}

void TestForm1::controlsStandWhereDesigned() {
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    QCOMPARE(Find<QWidget>(name)->geometry(), pixels);
    if (!name.startsWith("Command"))
        return;
    // A button's face fills its whole rectangle: no strip of the form's colour shows inside it.
    window->show();
    const QImage image = window->grab().toImage();
    const qreal scale = image.devicePixelRatio();
    const QRect inside(QPoint(qCeil(pixels.left() * scale), qCeil(pixels.top() * scale)),
                       QPoint(qFloor((pixels.right() + 1) * scale) - 1,
                              qFloor((pixels.bottom() + 1) * scale) - 1));
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            QVERIFY2(image.pixel(x, y) != qRgb(192, 192, 0),
                     qPrintable(QStringLiteral("the form shows at (%1, %2)").arg(x).arg(y)));
}

void TestForm1::controlsAskForTheirFonts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("face");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<int>("weight");
    QTest::addColumn<QString>("installedFace");
    QTest::addColumn<bool>("hebrew");
    for (const QString& name : ButtonNames())
        if (name != QStringLiteral("Command3"))
            QTest::addRow("%s", qPrintable(name))
                << name << "Comic Sans MS" << 11.25 << 700 << "Comic Neue" << false;
    QTest::newRow("Command3") << "Command3"
                              << "Comic Sans MS" << 8.25 << 700 << "Comic Neue" << false;
    QTest::newRow("Label1") << "Label1"
                            << "Narkisim" << 15.75 << 650 << "Nachlieli CLM" << true;
    QTest::newRow("Label2") << "Label2"
                            << "Narkisim" << 15.75 << 650 << "Nachlieli CLM" << true;
    QTest::newRow("Label3") << "Label3"
                            << "MS Sans Serif" << 9.75 << 700 << "Liberation Sans" << true;
    QTest::newRow("Label4") << "Label4"
                            << "Comic Sans MS" << 12.0 << 700 << "Comic Neue" << false;
    QTest::newRow("Label5") << "Label5"
                            << "Comic Sans MS" << 8.25 << 700 << "Comic Neue" << false;
    QTest::newRow("Label6") << "Label6"
                            << "Arial" << 12.0 << 700 << "Liberation Sans" << false;
}

void TestForm1::controlsAskForTheirFonts() {
    QFETCH(QString, name);
    QFETCH(QString, face);
    QFETCH(qreal, points);
    QFETCH(int, weight);
    QFETCH(QString, installedFace);
    QFETCH(bool, hebrew);
    window->show(); // the controls take their fonts as the window first appears
    const QFont font = Find<QWidget>(name)->font();
    // The designed face where it is installed, else its substitute; that face is what is drawn.
    const QString wanted = QFontDatabase::hasFamily(face) ? face : installedFace;
    QCOMPARE(font.families().value(0), wanted);
    QCOMPARE(QFontInfo(font).family(), wanted);
    QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(int(font.weight()), weight);
    QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
    QVERIFY(QFontInfo(font).bold());
    const QString drawn = QFontInfo(font).family();
    // The Hebrew character set asks for a face that can also write Hebrew.
    QVERIFY(!hebrew || QFontDatabase::writingSystems(drawn).contains(QFontDatabase::Hebrew));
}

void TestForm1::labelsShowTheirColours_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<Qt::Alignment>("alignment");
    QTest::addColumn<bool>("border");
    const QPalette standard = QApplication::palette();
    const QColor face = QColor(192, 192, 0);
    QTest::newRow("Label1") << "Label1" << QColor(192, 64, 0) << face
                            << (Qt::AlignHCenter | Qt::AlignVCenter) << false;
    QTest::newRow("Label2") << "Label2" << QColor(192, 64, 0) << face
                            << (Qt::AlignHCenter | Qt::AlignVCenter) << false;
    QTest::newRow("Label3") << "Label3" << QColor(0, 0, 255) << face
                            << (Qt::AlignLeft | Qt::AlignVCenter) << false;
    QTest::newRow("Label4") << "Label4" << standard.color(QPalette::ButtonText)
                            << standard.color(QPalette::Button)
                            << (Qt::AlignHCenter | Qt::AlignVCenter) << true;
    QTest::newRow("Label5") << "Label5" << QColor(255, 0, 255) << face
                            << (Qt::AlignHCenter | Qt::AlignVCenter) << false;
    QTest::newRow("Label6") << "Label6" << standard.color(QPalette::ButtonText)
                            << QColor(0, 192, 192) << (Qt::AlignLeft | Qt::AlignVCenter) << true;
}

void TestForm1::labelsShowTheirColours() {
    QFETCH(QString, name);
    QFETCH(QColor, text);
    QFETCH(QColor, background);
    QFETCH(Qt::Alignment, alignment);
    QFETCH(bool, border);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* label = Find<QLabel>(name);
    QCOMPARE(label->palette().color(QPalette::WindowText), text);
    QCOMPARE(label->palette().color(QPalette::Window), background);
    QCOMPARE(label->alignment(), alignment);
    QCOMPARE(label->indent(), 0); // the text starts at the border, not a font's width in
    QCOMPARE(label->frameWidth(), border ? 1 : 0);
    QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    // What is drawn: the corner pixel is the border, or else the background.
    const QImage image = label->grab().toImage();
    QCOMPARE(QColor(image.pixel(0, 0)), border ? text : background);
    QCOMPARE(QColor(image.pixel(image.width() / 2, 2)), background);
}

void TestForm1::restartStaysGreen() {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QColor green(0, 192, 0);
    QCOMPARE(FaceColour(QStringLiteral("Command3")), green);
    Click(QStringLiteral("Command1_2"));
    QCOMPARE(FaceColour(QStringLiteral("Command3")), green);
    Click(QStringLiteral("Command2_2"));
    QCOMPARE(FaceColour(QStringLiteral("Command3")), green);
    // The genotype buttons keep the standard face.
    QCOMPARE(FaceColour(QStringLiteral("Command1_1")),
             QApplication::palette().color(QPalette::Disabled, QPalette::Button));
}

void TestForm1::tabVisitsButtonsInOrder() {
    QStringList visited;
    QWidget* widget = Find<QWidget>(QStringLiteral("Command1_1"));
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            visited << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != Find<QWidget>(QStringLiteral("Command1_1")));
    QCOMPARE(visited, ButtonNames());
}

void TestForm1::fatherRowIsDisabledBeforeFirstShow() {
    QVERIFY(!window->isVisible());
    for (int i = 1; i <= 6; ++i) {
        QVERIFY(Find<QPushButton>(QStringLiteral("Command1_%1").arg(i))->isEnabled());
        QVERIFY(!Find<QPushButton>(QStringLiteral("Command2_%1").arg(i))->isEnabled());
    }
    QVERIFY(Text("Label4").isEmpty());
    QVERIFY(Text("Label6").isEmpty());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(QApplication::focusWidget(), Find<QWidget>(QStringLiteral("Command1_1")));
}

void TestForm1::disabledButtonReachesNoHandler() {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    Click(QStringLiteral("Command2_4"));
    QCOMPARE(window->logic().FatherIndex, 0);
    QVERIFY(Text("Label6").isEmpty());
    Click(QStringLiteral("Command1_6"));
    Click(QStringLiteral("Command1_1"));
    QCOMPARE(window->logic().MotherIndex, 6);
    QCOMPARE(Text("Label6"), QStringLiteral("(4-AB)+"));
}

void TestForm1::clicksTakeAPass_data() {
    QTest::addColumn<int>("mother");
    QTest::addColumn<int>("father");
    for (int m = 1; m <= 6; ++m)
        for (int f = 1; f <= 6; ++f)
            QTest::addRow("%s x %s", qPrintable(Code(m)), qPrintable(Code(f))) << m << f;
}

void TestForm1::clicksTakeAPass() {
    QFETCH(int, mother);
    QFETCH(int, father);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    Click(QStringLiteral("Command1_%1").arg(mother));
    QCOMPARE(window->logic().MotherIndex, mother);
    QCOMPARE(Text("Label6"), "(" + Code(mother) + ")+");
    Click(QStringLiteral("Command2_%1").arg(father));
    QCOMPARE(window->logic().FatherIndex, father);
    QCOMPARE(Text("Label6"), "(" + Code(mother) + ")+(" + Code(father) + ")");
    const auto answer =
        genetics::Offspring(static_cast<std::int16_t>(mother), static_cast<std::int16_t>(father));
    QCOMPARE(Text("Label4"), QString::fromLatin1(*answer));
    for (const QString& name : ButtonNames())
        QCOMPARE(Find<QPushButton>(name)->isEnabled(), name == QStringLiteral("Command3"));
    Click(QStringLiteral("Command3"));
    QVERIFY(Text("Label4").isEmpty());
    QVERIFY(Text("Label6").isEmpty());
    for (const QString& name : ButtonNames())
        QCOMPARE(Find<QPushButton>(name)->isEnabled(), !name.startsWith("Command2"));
}

void TestForm1::keysPressTheFocusedButton_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("repeats"); // of a held key, before it is let go
    QTest::newRow("Space") << int(Qt::Key_Space) << 0;
    QTest::newRow("Return") << int(Qt::Key_Return) << 0;
    QTest::newRow("Enter") << int(Qt::Key_Enter) << 0;
    QTest::newRow("Space held") << int(Qt::Key_Space) << 5;
    QTest::newRow("Return held") << int(Qt::Key_Return) << 5;
    QTest::newRow("Enter held") << int(Qt::Key_Enter) << 5;
}

// However long the key is held, it picks one genotype; its repeats reach whichever button has
// the focus by then.
void TestForm1::keysPressTheFocusedButton() {
    QFETCH(int, key);
    QFETCH(int, repeats);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Tab);
    QTest::keyClick(window.get(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command1_3"));
    QTest::simulateEvent(QApplication::focusWidget(), true, key, {}, {}, false);
    for (int i = 0; i < repeats; ++i) {
        QTest::simulateEvent(QApplication::focusWidget(), false, key, {}, {}, true);
        QTest::simulateEvent(QApplication::focusWidget(), true, key, {}, {}, true);
    }
    QTest::simulateEvent(QApplication::focusWidget(), false, key, {}, {}, false);
    QCOMPARE(Text("Label6"), QStringLiteral("(2-A0)+"));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command2_1"));
}

void TestForm1::textFitsItsControl_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    for (int i = 1; i <= 6; ++i) {
        QTest::addRow("Command1_%d", i) << QStringLiteral("Command1_%1").arg(i) << Code(i);
        QTest::addRow("Command2_%d", i) << QStringLiteral("Command2_%1").arg(i) << Code(i);
    }
    QTest::newRow("Command3") << "Command3"
                              << "RESTART";
    QTest::newRow("Label1") << "Label1"
                            << "Select blood group of Mother";
    QTest::newRow("Label2") << "Label2"
                            << "Select blood group of Father";
    QTest::newRow("Label3") << "Label3"
                            << "Blood group of your Child is:";
    QTest::newRow("Label5") << "Label5"
                            << "Tamberlune Works";
    for (const auto& row : genetics::OffspringTable)
        for (std::string_view answer : row)
            QTest::addRow("Label4 %s", answer.data()) << "Label4" << QString::fromLatin1(answer);
    for (int m = 1; m <= 6; ++m)
        for (int f = 1; f <= 6; ++f)
            QTest::addRow("Label6 %s+%s", qPrintable(Code(m)), qPrintable(Code(f)))
                << "Label6"
                << "(" + Code(m) + ")+(" + Code(f) + ")";
}

void TestForm1::textFitsItsControl() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    window->show();
    QWidget* widget = Find<QWidget>(name);
    QRect room = widget->contentsRect();
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    const QFontMetrics metrics(widget->font());
    for (QChar c : text) // drawn in the control's own font, not a fallback
        QVERIFY2(metrics.inFont(c), qPrintable(QStringLiteral("no glyph for '%1'").arg(c)));
    const QRect needed = metrics.boundingRect(text);
    QVERIFY2(
        metrics.horizontalAdvance(text) <= room.width() && needed.width() <= room.width(),
        qPrintable(QStringLiteral("%1 wide, room for %2").arg(needed.width()).arg(room.width())));
    QVERIFY2(metrics.height() <= room.height(),
             qPrintable(
                 QStringLiteral("%1 high, room for %2").arg(metrics.height()).arg(room.height())));
}

void TestForm1::labelsKeepTheirPlace() {
    const QRect label4 = Find<QLabel>("Label4")->geometry();
    const QRect label6 = Find<QLabel>("Label6")->geometry();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    Click(QStringLiteral("Command1_6"));
    Click(QStringLiteral("Command2_6"));
    QCOMPARE(Text("Label6"), QStringLiteral("(4-AB)+(4-AB)"));
    QCOMPARE(Find<QLabel>("Label4")->geometry(), label4);
    QCOMPARE(Find<QLabel>("Label6")->geometry(), label6);
    Click(QStringLiteral("Command3"));
    QCOMPARE(Find<QLabel>("Label4")->geometry(), label4);
    QVERIFY(Find<QLabel>("Label4")->isVisible());
}

void TestForm1::answerTooltipExplainsIt_data() {
    QTest::addColumn<int>("mother"); // 0: no pick
    QTest::addColumn<int>("father");
    QTest::addColumn<bool>("restart");
    QTest::addColumn<QString>("percent"); // each chance in the tooltip, and how often it shows
    QTest::addColumn<int>("times");
    QTest::addColumn<QString>("description");
    const QString base = QStringLiteral("The genotypes the child can have");
    QTest::newRow("no answer") << 0 << 0 << false << QString() << 0 << base;
    QTest::newRow("2-A0 x 3-B0")
        << 3 << 5 << false << "25 %" << 8
        << base + ". 4-AB, group AB, alleles A and B, 25 %; 2-A0, group A, alleles A and 0, 25 %; "
                  "3-B0, group B, alleles B and 0, 25 %; 1-00, group O, alleles 0 and 0, 25 %. "
                  "Blood group: O 25 %, A 25 %, B 25 %, AB 25 %. Punnett square: mother's A and "
                  "father's B give 4-AB; "
                  "mother's A and father's 0 give 2-A0; mother's 0 and father's B give 3-B0; "
                  "mother's 0 and father's 0 give 1-00.";
    QTest::newRow("2-AA x 1-00") << 2 << 1 << false << "100 %" << 2
                                 << base +
                                        ". 2-A0, group A, alleles A and 0, 100 %. Blood group: "
                                        "A 100 %. Punnett square: mother's A and father's 0 give "
                                        "2-A0; mother's "
                                        "A and father's 0 give 2-A0; mother's A and father's 0 "
                                        "give 2-A0; mother's A and father's 0 give 2-A0.";
    QTest::newRow("RESTART after 4-AB x 4-AB") << 6 << 6 << true << QString() << 0 << base;
}

void TestForm1::answerTooltipExplainsIt() {
    QFETCH(int, mother);
    QFETCH(int, father);
    QFETCH(bool, restart);
    QFETCH(QString, percent);
    QFETCH(int, times);
    QFETCH(QString, description);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    if (mother > 0) {
        Click(QStringLiteral("Command1_%1").arg(mother));
        Click(QStringLiteral("Command2_%1").arg(father));
    }
    if (restart)
        Click(QStringLiteral("Command3"));
    auto* answer = Find<QLabel>("Label4");
    QCOMPARE(answer->accessibleDescription(), description);
    QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), answer->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(answer, &hover);
    const QString tip = QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText();
    QCOMPARE(QToolTip::isVisible(), times > 0);
    if (times > 0)
        QCOMPARE(tip.count(percent), times);
    QToolTip::hideText();
}

void TestForm1::tooltipSquareCrossesTheAlleles_data() {
    QTest::addColumn<int>("mother");
    QTest::addColumn<int>("father");
    QTest::addColumn<QString>("square"); // row by row, cells apart by " | "
    // Uneven pairs: each parent has two different alleles, and the two sets differ, so a header
    // taken from the wrong parent, a cell from the wrong place or the parents swapped all show.
    QTest::newRow("4-AB x 2-A0") << 6 << 3
                                 << "mother \\ father | A | 0 / A | 2-AA | 2-A0 / B | 4-AB | 3-B0";
    QTest::newRow("2-A0 x 4-AB") << 3 << 6
                                 << "mother \\ father | A | B / A | 2-AA | 4-AB / 0 | 2-A0 | 3-B0";
    QTest::newRow("3-B0 x 2-AA") << 5 << 2
                                 << "mother \\ father | A | A / B | 4-AB | 4-AB / 0 | 2-A0 | 2-A0";
}

// The tooltip's Punnett square: the father's alleles across, the mother's down, and in each cell
// the child's genotype from that pair of alleles.
void TestForm1::tooltipSquareCrossesTheAlleles() {
    QFETCH(int, mother);
    QFETCH(int, father);
    QFETCH(QString, square);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    Click(QStringLiteral("Command1_%1").arg(mother));
    Click(QStringLiteral("Command2_%1").arg(father));
    auto* answer = Find<QLabel>("Label4");
    QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), answer->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(answer, &hover);
    QTextDocument tip;
    tip.setHtml(QToolTip::text());
    QToolTip::hideText();
    // The square is the tooltip's last table.
    QTextTable* table = nullptr;
    for (QTextBlock block = tip.begin(); block.isValid(); block = block.next())
        if (auto* found = qobject_cast<QTextTable*>(QTextCursor(block).currentTable()))
            table = found;
    QVERIFY(table);
    QStringList rows;
    for (int row = 0; row < table->rows(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            QTextCursor text = cell.firstCursorPosition();
            text.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            cells << text.selectedText();
        }
        rows << cells.join(QStringLiteral(" | "));
    }
    QCOMPARE(rows.join(QStringLiteral(" / ")), square);
}

void TestForm1::indexOutsideARowIsRefused_data() {
    QTest::addColumn<int>("index");
    QTest::newRow("0") << 0;
    QTest::newRow("7") << 7;
    QTest::newRow("-1") << -1;
}

// The form logic never passes such an index; if it did, the window must not reach past a row.
void TestForm1::indexOutsideARowIsRefused() {
    QFETCH(int, index);
    const auto i = static_cast<std::int16_t>(index);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range,
                             (void)window->GetButtonCaption(form::Row::Command1, i));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range,
                             window->SetButtonEnabled(form::Row::Command2, i, true));
}

void TestForm1::iconIsTheHeart_data() {
    QTest::addColumn<QString>("map");
    QTest::addColumn<int>("scale");
    QTest::newRow("16") << QStringLiteral(HEART_MAPS "/heart16.txt") << 1;
    QTest::newRow("32") << QStringLiteral(HEART_MAPS "/heart32.txt") << 1;
    QTest::newRow("64") << QStringLiteral(HEART_MAPS "/heart32.txt") << 2;
}

void TestForm1::iconIsTheHeart() {
    QFETCH(QString, map);
    QFETCH(int, scale);
    QFile file(map);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QList<QByteArray> rows = file.readAll().trimmed().split('\n');
    const int size = int(rows.size()) * scale;
    const QIcon icon = window->windowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(size, size)));
    const QImage image =
        icon.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(size, size));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const char pixel = rows[y / scale].at(x / scale);
            const QRgb drawn = image.pixel(x, y);
            const QRgb expected = pixel == 'R'   ? qRgb(255, 0, 0)
                                  : pixel == 'g' ? qRgb(128, 128, 128)
                                                 : 0;
            if (pixel == '.')
                QVERIFY2(qAlpha(drawn) == 0, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
            else
                QVERIFY2(drawn == expected, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
        }
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
