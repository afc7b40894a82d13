#include "form1.h"

#include "answer_details.h"
#include "answer_meaning.h"
#include "form_layout.h"
#include "heart_maps.h"
#include "layout.h"
#include "placement.h"

#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QToolTip>

#include <algorithm>

namespace {

QRect ToPixels(const layout::Twips& twips) {
    using layout::ToPixels;
    return {ToPixels(twips.left), ToPixels(twips.top), ToPixels(twips.width),
            ToPixels(twips.height)};
}

QColor ToColor(const layout::Rgb& rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The designed face where it is installed, else its substitute. Deciding here, rather than
// leaving a missing face to Qt, draws our substitute and spares fontconfig's search for one.
QFont ToFont(const layout::Font& look, const QStringList& installed) {
    const QString face = ToQString(look.face);
    QFont font(installed.contains(face) ? face : ToQString(look.substitute));
    font.setPointSizeF(look.points);
    font.setWeight(static_cast<QFont::Weight>(look.weight));
    // The character set is not set: Qt picks faces by script, so the substitutes of the faces
    // meant for Hebrew write Hebrew too. Every text the window shows is plain ASCII, which each
    // face and substitute holds in full: no fallback fonts need looking up.
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

// Presents the form to assistive technology as a window (a frame), not as a plain panel.
QAccessibleInterface* AccessibleForm(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && className == QLatin1String(Form1::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

// The heart pixel map enlarged `scale` times by repeating pixels: red, grey, or transparent.
template <std::size_t Size>
QPixmap HeartPixmap(const std::array<std::string_view, Size>& rows, int scale) {
    const int size = static_cast<int>(Size) * scale;
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const char pixel = rows.at(static_cast<std::size_t>(y / scale))
                                   .at(static_cast<std::size_t>(x / scale));
            image.setPixel(x, y,
                           pixel == 'R'   ? qRgb(255, 0, 0)
                           : pixel == 'g' ? qRgb(128, 128, 128)
                                          : qRgba(0, 0, 0, 0));
        }
    return QPixmap::fromImage(image);
}

// Return and Enter press the focused button as Space does: down while the key is held, one click
// when it is let go, however long it was held. (A default button would click on every repeat of
// a held key, and the classic style would draw its face a pixel short all round.)
class PushButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    bool event(QEvent* event) override {
        const bool keyEvent =
            event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
        const auto* key = keyEvent ? dynamic_cast<QKeyEvent*>(event) : nullptr;
        if (!key || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter))
            return QPushButton::event(event);
        QKeyEvent space(key->type(), Qt::Key_Space, key->modifiers(), QStringLiteral(" "),
                        key->isAutoRepeat());
        const bool handled = QPushButton::event(&space);
        event->setAccepted(space.isAccepted());
        return handled;
    }
};

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent) {
    setWindowTitle(ToQString(layout::Form1.title));
    static const bool accessibleAsWindow = (QAccessible::installFactory(AccessibleForm), true);
    Q_UNUSED(accessibleAsWindow);
    setAccessibleName(windowTitle());
    setAccessibleDescription(ToQString(meaning::FormDescription));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(layout::ToPixels(layout::Form1.clientWidth),
                 layout::ToPixels(layout::Form1.clientHeight));
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, ToColor(layout::Form1.background));
    setPalette(windowPalette);
    setAutoFillBackground(true);

    QIcon icon;
    icon.addPixmap(HeartPixmap(heart::Map16, 1));
    icon.addPixmap(HeartPixmap(heart::Map32, 1));
    icon.addPixmap(HeartPixmap(heart::Map32, 2)); // for screens scaled by two
    setWindowIcon(icon);

    // Labels first, so that the buttons, created later, are drawn above them where they overlap.
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const layout::Label& look = layout::Labels[i];
        auto* label = new QLabel(ToQString(look.caption), this);
        label->setObjectName(ToQString(look.name));
        label->setGeometry(ToPixels(look.rect));
        QPalette labelPalette = label->palette();
        labelPalette.setColor(QPalette::WindowText, look.text
                                                        ? ToColor(*look.text)
                                                        : labelPalette.color(QPalette::ButtonText));
        labelPalette.setColor(QPalette::Window, look.background
                                                    ? ToColor(*look.background)
                                                    : labelPalette.color(QPalette::Button));
        label->setPalette(labelPalette);
        label->setAutoFillBackground(true);
        label->setAlignment(Qt::AlignVCenter |
                            (look.align == layout::Align::Left ? Qt::AlignLeft : Qt::AlignHCenter));
        if (look.border)
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setIndent(0);
        label->setTextFormat(Qt::PlainText);
        labels[i] = label;
    }
    LabelOf(form::Label::Label6)->setAccessibleDescription(ToQString(meaning::ParentsDescription));
    LabelOf(form::Label::Label4)->setAccessibleDescription(ToQString(meaning::AnswerDescription));
    LabelOf(form::Label::Label4)->installEventFilter(this); // for its tooltip

    const auto makeButton = [&](const layout::Button& look, const QString& name,
                                const QString& description) {
        auto* button = new PushButton(ToQString(look.caption), this);
        button->setObjectName(name);
        button->setGeometry(ToPixels(look.rect));
        button->setAccessibleDescription(description);
        if (look.background) {
            QPalette buttonPalette = button->palette();
            buttonPalette.setColor(QPalette::Button, ToColor(*look.background));
            button->setPalette(buttonPalette);
        }
        return button;
    };
    // Each click goes to the form logic; the focus then moves on to where the next step is.
    const auto forward = [this](QPushButton* button, auto handler) {
        connect(button, &QPushButton::clicked, this, [this, handler] {
            stepping = true;
            handler();
            stepping = false;
            DescribeStep();
            FocusFirstEnabled();
        });
    };
    for (std::int16_t index = 1; index <= genetics::GenotypeCount; ++index) {
        const auto i = static_cast<std::size_t>(index - 1);
        command1[i] = makeButton(layout::Command1[i], QStringLiteral("Command1_%1").arg(index),
                                 ToQString(meaning::ButtonDescription("Mother", index)));
        forward(command1[i], [this, index] { formLogic.OnMotherPick(index); });
    }
    for (std::int16_t index = 1; index <= genetics::GenotypeCount; ++index) {
        const auto i = static_cast<std::size_t>(index - 1);
        command2[i] = makeButton(layout::Command2[i], QStringLiteral("Command2_%1").arg(index),
                                 ToQString(meaning::ButtonDescription("Father", index)));
        forward(command2[i], [this, index] { formLogic.OnFatherPick(index); });
    }
    command3 = makeButton(layout::Command3, QStringLiteral("Command3"),
                          ToQString(meaning::RestartDescription));
    forward(command3, [this] { formLogic.OnRestart(); });

    for (const layout::TabStop& stop : layout::TabOrder) {
        QPushButton* button = stop.row ? Button(*stop.row, stop.index) : command3;
        if (!tabOrder.empty())
            setTabOrder(tabOrder.back(), button);
        tabOrder.push_back(button);
    }

    managed = CentreOnScreen(*this);

    // The form's Load event: it runs before the window is first shown.
    formLogic.OnLoad();
    FocusFirstEnabled();
}

void Form1::setVisible(bool visible) {
    QWidget::setVisible(visible);
    // Without a window manager nothing gives the window the keyboard focus, so it takes it.
    if (visible && !fontsApplied && !managed)
        activateWindow();
    // Looking the faces up loads the font database, which the first paint needs anyway; done
    // once the window is on screen, it does not hold up its appearing.
    if (visible && !fontsApplied) {
        const QStringList installed = QFontDatabase::families();
        std::array<QFont, layout::Fonts.size()> fonts;
        std::ranges::transform(layout::Fonts, fonts.begin(),
                               [&](const layout::Font& look) { return ToFont(look, installed); });
        const auto fontOf = [&](layout::FontKey key) { return fonts.at(std::size_t(key)); };
        for (std::size_t i = 0; i < labels.size(); ++i)
            labels[i]->setFont(fontOf(layout::Labels[i].font));
        for (std::size_t i = 0; i < command1.size(); ++i) {
            command1[i]->setFont(fontOf(layout::Command1[i].font));
            command2[i]->setFont(fontOf(layout::Command2[i].font));
        }
        command3->setFont(fontOf(layout::Command3.font));
        fontsApplied = true;
    }
}

// A screen reader speaks the button that takes the focus after a step, and does not speak labels
// that change without it; so that button also says what the step did: the mother taken and the
// father next, or the whole answer. What the answer means goes with the answer label too. Only
// accessible texts change; captions stay as they are.
void Form1::DescribeStep() {
    QLabel* answer = LabelOf(form::Label::Label4);
    const meaning::StepDescriptions said =
        meaning::AfterStep(formLogic.MotherIndex, formLogic.FatherIndex, command2[0]->isEnabled(),
                           !answer->text().isEmpty());
    answer->setAccessibleDescription(ToQString(said.answerLabel));
    command2[0]->setAccessibleDescription(ToQString(said.firstFather));
    command3->setAccessibleDescription(ToQString(said.restart));
}

// Hovering the answer shows what it means; there is no tooltip while there is no answer.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    QLabel* answer = LabelOf(form::Label::Label4);
    if (watched != answer || event->type() != QEvent::ToolTip)
        return QWidget::eventFilter(watched, event);
    if (answer->text().isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(dynamic_cast<QHelpEvent*>(event)->globalPos(),
                           AnswerDetailsHtml(formLogic.MotherIndex, formLogic.FatherIndex), answer);
    }
    return true;
}

// A step disables the focused button, and Qt would then pass the focus on along the tab order,
// through each button the same step is about to disable, and a screen reader would speak each.
// While a step runs the focus stays where it is; once the step is done it goes straight to the
// next step.
bool Form1::focusNextPrevChild(bool next) {
    return stepping || QWidget::focusNextPrevChild(next);
}

// After every step exactly one row, or only RESTART, is enabled: its first button is the next step.
void Form1::FocusFirstEnabled() {
    const auto next = std::ranges::find_if(tabOrder, &QWidget::isEnabled);
    if (next != tabOrder.end())
        (*next)->setFocus(Qt::TabFocusReason);
}

QPushButton* Form1::Button(form::Row row, std::int16_t index) const {
    // An index outside 1 to 6 throws instead of reaching past the row.
    return (row == form::Row::Command1 ? command1 : command2)
        .at(static_cast<std::size_t>(index - 1));
}

QLabel* Form1::LabelOf(form::Label label) const {
    return labels.at(layout::LabelIndex(label));
}

void Form1::SetButtonEnabled(form::Row row, std::int16_t index, bool enabled) {
    Button(row, index)->setEnabled(enabled);
}

std::string Form1::GetButtonCaption(form::Row row, std::int16_t index) const {
    return Button(row, index)->text().toStdString();
}

std::string Form1::GetLabelCaption(form::Label label) const {
    return LabelOf(label)->text().toStdString();
}

void Form1::SetLabelCaption(form::Label label, const std::string& text) {
    LabelOf(label)->setText(QString::fromStdString(text));
}
