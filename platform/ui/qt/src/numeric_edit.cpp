#include "numeric_edit.h"

#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "number_parse.h"

namespace qm7x::ui::qt {

NumericEdit::NumericEdit(QWidget* parent) : QDoubleSpinBox(parent) {
    // Enough decimals that steps of 0.4 microseconds survive Qt's internal rounding; the
    // text shown is ours (textFromValue), not Qt's.
    setDecimals(15);
    setKeyboardTracking(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        if (!showing_) {
            emit Committed(value);
        }
    });
}

void NumericEdit::SetFormatter(Formatter formatter) {
    formatter_ = std::move(formatter);
    // Re-render the text even when the value is unchanged.
    lineEdit()->setText(textFromValue(value()));
}

void NumericEdit::SetIntegral(bool integral) {
    integral_ = integral;
    showing_ = true;
    setDecimals(integral ? 0 : 15);
    showing_ = false;
}

void NumericEdit::SetLimits(double minimum, double maximum, double step) {
    showing_ = true;
    setRange(minimum, maximum);
    setSingleStep(step);
    showing_ = false;
}

void NumericEdit::ShowValue(double value) {
    showing_ = true;
    setValue(value);
    showing_ = false;
}

void NumericEdit::SetIndicator(bool indicator) {
    setReadOnly(indicator);
    setButtonSymbols(indicator ? QAbstractSpinBox::NoButtons : QAbstractSpinBox::UpDownArrows);
    setFocusPolicy(indicator ? Qt::NoFocus : Qt::StrongFocus);
}

QString NumericEdit::textFromValue(double value) const {
    if (formatter_) {
        return QString::fromStdString(formatter_(value));
    }
    return QString::number(value, 'f', integral_ ? 0 : 2);
}

double NumericEdit::valueFromText(const QString& text) const {
    const auto parsed = ParseNumber(text.toStdString());
    if (!parsed) {
        return value();
    }
    return integral_ ? std::round(*parsed) : *parsed;
}

QValidator::State NumericEdit::validate(QString& input, int& /*pos*/) const {
    const auto parsed = ParseNumber(input.toStdString());
    if (parsed && *parsed >= minimum() && *parsed <= maximum()) {
        return QValidator::Acceptable;
    }
    // Half-typed numbers ("-", "2.", "200E-") and values outside the range may still become
    // acceptable; anything with other characters never will.
    for (const QChar c : input) {
        if (!c.isDigit() && !QStringLiteral("+-.,eE ").contains(c)) {
            return QValidator::Invalid;
        }
    }
    return QValidator::Intermediate;
}

void NumericEdit::fixup(QString& input) const {
    // An entry outside the range is coerced to the nearest limit, as an instrument panel does.
    if (const auto parsed = ParseNumber(input.toStdString())) {
        input = textFromValue(std::clamp(*parsed, minimum(), maximum()));
    }
}

}  // namespace qm7x::ui::qt
