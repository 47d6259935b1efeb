#include "dialogs/TSpinEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>

#include <algorithm>

namespace horavia {
namespace {

bool AcceptedCharacter(QChar c) {
    return c.isDigit() || c == u'+' || c == u'-' || c == u'.';
}

} // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setKeyboardTracking(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    lineEdit()->setText(QString::number(minimum_));
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { Q_EMIT changed(); });
}

int TSpinEdit::Value() const {
    // Typed digits stand unclamped until the field is left; whatever their number, the value is held
    // within a billion either way so that it computes safely and clamps to the range.
    constexpr qlonglong Bound = 1'000'000'000LL;
    const QString digits = text().trimmed();
    bool ok = false;
    const qlonglong v = digits.toLongLong(&ok);
    if (ok) {
        return static_cast<int>(std::clamp(v, -Bound, Bound));
    }
    // A whole number too long for 64 bits is still a number: the farthest one of its sign.
    static const QRegularExpression WholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    if (WholeNumber.match(digits).hasMatch()) {
        return static_cast<int>(digits.startsWith(u'-') ? -Bound : Bound);
    }
    return minimum_;
}

void TSpinEdit::setMinimum(int minimum) {
    const bool atOldMinimum = lineEdit()->text() == QString::number(minimum_);
    minimum_ = minimum;
    if (atOldMinimum) {
        lineEdit()->setText(QString::number(minimum_));
    }
}

void TSpinEdit::SetValue(int value) {
    const QString text = QString::number(std::clamp(value, minimum_, maximum_));
    if (lineEdit()->text() != text) {
        lineEdit()->setText(text);
    }
}

void TSpinEdit::Clamp() {
    const int v = Value();
    if (v < minimum_ || v > maximum_ || lineEdit()->text() != QString::number(v)) {
        SetValue(v);
    }
}

void TSpinEdit::stepBy(int steps) {
    SetValue(std::clamp(Value(), minimum_, maximum_) + steps * step_);
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

QValidator::State TSpinEdit::validate(QString& input, int&) const {
    // Anything made of the accepted characters may stand while the user types.
    for (const QChar c : input) {
        if (!AcceptedCharacter(c)) {
            return QValidator::Invalid;
        }
    }
    return QValidator::Acceptable;
}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool printable = !text.isEmpty() && text.at(0).isPrint();
    if (enter || (printable && !AcceptedCharacter(text.at(0)))) {
        QApplication::beep();
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
    Clamp();
    QAbstractSpinBox::focusOutEvent(event);
}

} // namespace horavia
