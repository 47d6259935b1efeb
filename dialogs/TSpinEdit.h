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
    Q_PROPERTY(int minimum READ Minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ Maximum WRITE setMaximum)
    Q_PROPERTY(int singleStep READ SingleStep WRITE setSingleStep)

public:
    // Starts at 0 in the range 0 to 99, stepping by 1, until the form sets its own.
    explicit TSpinEdit(QWidget* parent = nullptr);

    // The text read as a whole number, held within a billion either way; text that is not one counts
    // as the minimum.
    int Value() const;
    // Sets the value (clamped to the range); emits changed() when the text changes.
    void SetValue(int value);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    int SingleStep() const { return step_; }
    // Named as the generated form code calls them. A field still showing its old minimum shows the new one.
    void setMinimum(int minimum);
    void setMaximum(int maximum) { maximum_ = maximum; }
    void setSingleStep(int step) { step_ = step; }

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

    int minimum_ = 0;
    int maximum_ = 99;
    int step_ = 1;
};

} // namespace horavia
