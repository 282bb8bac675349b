// Numeric control: a spin box that shows its value in the control's display format and, like an
// instrument panel, commits only when the operator finishes an entry (Enter, leaving the field)
// or steps the value with the arrows.
#pragma once

#include <QDoubleSpinBox>
#include <functional>
#include <string>

namespace qm7x::ui::qt {

class NumericEdit : public QDoubleSpinBox {
    Q_OBJECT
  public:
    explicit NumericEdit(QWidget* parent = nullptr);

    using Formatter = std::function<std::string(double)>;
    // The text of a value in the control's display format ("200.000E-6", "1.00").
    void SetFormatter(Formatter formatter);
    // Integer controls round every entry and step to whole numbers.
    void SetIntegral(bool integral);
    // Range and step from the program; a value outside the new range is coerced without a
    // commit (the program, not the operator, changed it).
    void SetLimits(double minimum, double maximum, double step);
    // Shows a value from the program without emitting `Committed`.
    void ShowValue(double value);
    // Indicator mode: shows values, takes no entry, no arrows.
    void SetIndicator(bool indicator);

    QString textFromValue(double value) const override;
    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

  signals:
    // The operator finished an entry that changed the value, or stepped it.
    void Committed(double value);

  private:
    Formatter formatter_;
    bool integral_ = false;
    bool showing_ = false;
};

}  // namespace qm7x::ui::qt
