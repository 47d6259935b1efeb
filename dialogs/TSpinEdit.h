#pragma once

#include <QAbstractSpinBox>

namespace horavia {

// A whole-number field with spin buttons that behaves like a text field first: any digits may be
// typed, a value beyond the range stands until the field loses the focus or is stepped, and then it
// is clamped. Every change of the text, typed or set from code, emits changed(), so the owner's
// change rule sees each new value. Only digits, "+", "-", the decimal separator and control keys
// other than Enter are accepted; other keys are refused with a beep.
class TSpinEdit final : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit TSpinEdit(int minimum, int maximum, int step, QWidget* parent = nullptr);

    // The text read as a whole number, held within a billion either way; text that is not one counts
    // as the minimum.
    int Value() const;
    // Sets the value (clamped to the range); emits changed() when the text changes.
    void SetValue(int value);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }

    void stepBy(int steps) override;

Q_SIGNALS:
    void changed();

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString& input, int& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Clamp();

    int minimum_;
    int maximum_;
    int step_;
};

} // namespace horavia
