#pragma once
// TFloatSpinEdit: a floating-point input field with up and down arrows. Its value is the number
// in its text (the locale's decimal separator) clamped into the range, or the minimum when the
// text is not a number.
// Leaving the field, Enter and every step clamp the value into the range and rewrite the text
// with a fixed number of decimals. Typed characters other than digits, signs and the decimal
// separator are dropped with the system beep.

#include <QAbstractSpinBox>

namespace vrx {

class TFloatSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged USER true)

public:
    explicit TFloatSpinEdit(QWidget* parent = nullptr);

    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    void setRange(double min, double max);
    double singleStep() const { return singleStep_; }
    void setSingleStep(double step) { singleStep_ = step; }
    int decimals() const { return decimals_; }
    void setDecimals(int decimals) { decimals_ = decimals; }

    double value() const;
    // Clamps into the range and writes the text with the fixed decimals.
    void setValue(double value);

    void stepBy(int steps) override;
    QSize sizeHint() const override;

signals:
    void valueChanged(double value);

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    double minimum_ = 0.0;
    double maximum_ = 99.99;
    double singleStep_ = 1.0;
    int decimals_ = 12;
};

} // namespace vrx
