#pragma once

#include "form_controls.h"
#include "form_logic.h"

#include <QWidget>

#include <array>
#include <vector>

class QLabel;
class QPushButton;

// The program's only window. It lays out its controls, forwards their clicks to the form logic
// and lets the logic read and write them through FormControls; it has no behaviour of its own.
class Form1 : public QWidget, public form::FormControls {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    [[nodiscard]] const form::FormLogic& logic() const { return formLogic; }

    // Shows the window; the first time, its controls then take their fonts.
    void setVisible(bool visible) override;

    void SetButtonEnabled(form::Row row, std::int16_t index, bool enabled) override;
    [[nodiscard]] std::string GetButtonCaption(form::Row row, std::int16_t index) const override;
    [[nodiscard]] std::string GetLabelCaption(form::Label label) const override;
    void SetLabelCaption(form::Label label, const std::string& text) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    [[nodiscard]] QPushButton* Button(form::Row row, std::int16_t index) const;
    [[nodiscard]] QLabel* LabelOf(form::Label label) const;
    void FocusFirstEnabled();
    void DescribeStep();

    std::array<QLabel*, 6> labels{};
    std::array<QPushButton*, 6> command1{};
    std::array<QPushButton*, 6> command2{};
    QPushButton* command3 = nullptr;
    std::vector<QPushButton*> tabOrder; // the buttons in the order Tab visits them
    bool fontsApplied = false;
    bool managed = false;  // by a window manager, which gives the focus
    bool stepping = false; // while the form logic handles a click
    form::FormLogic formLogic{*this};
};
