#include "controls/float_spin_edit.h"

#include "controls/spin_steps.h"

#include "controls/system_beep.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>
#include <cmath>

namespace vrx {

TFloatSpinEdit::TFloatSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setValue(minimum_);
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { emit valueChanged(value()); });
}

void TFloatSpinEdit::setRange(double min, double max) {
    minimum_ = min;
    maximum_ = std::max(min, max);
    updateGeometry();
}

double TFloatSpinEdit::value() const {
    bool ok = false;
    const double number = QLocale().toDouble(lineEdit()->text().trimmed(), &ok);
    // Clamped while still typed too, like the integer field: nothing outside the range is
    // handed out.
    return ok && std::isfinite(number) ? std::clamp(number, minimum_, maximum_) : minimum_;
}

void TFloatSpinEdit::setValue(double value) {
    const double clamped = std::isnan(value) ? minimum_ : std::clamp(value, minimum_, maximum_);
    const QString text = QLocale().toString(clamped, 'f', decimals_);
    if (text != lineEdit()->text()) {
        lineEdit()->setText(text);
    }
}

void TFloatSpinEdit::stepBy(int steps) {
    setValue(value() + steps * singleStep_);
    selectAll();
}

QAbstractSpinBox::StepEnabled TFloatSpinEdit::stepEnabled() const {
    return StepsWithin(isReadOnly(), value(), minimum_, maximum_);
}

void TFloatSpinEdit::focusOutEvent(QFocusEvent* event) {
    setValue(value());
    QAbstractSpinBox::focusOutEvent(event);
}

void TFloatSpinEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        setValue(value());
        QAbstractSpinBox::keyPressEvent(event);
        return;
    }
    const QString text = event->text();
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (!shortcut && !text.isEmpty() && text.at(0).isPrint()) {
        const QString separator = QLocale().decimalPoint();
        const bool allowed = std::all_of(text.cbegin(), text.cend(), [&](QChar c) {
            return c.isDigit() || c == u'+' || c == u'-' || separator.contains(c);
        });
        if (!allowed) {
            if (SystemBeep) {
                SystemBeep();
            }
            return;
        }
    }
    QAbstractSpinBox::keyPressEvent(event);
}

QSize TFloatSpinEdit::sizeHint() const {
    ensurePolished();
    const QFontMetrics metrics(fontMetrics());
    const QString widest =
        QLocale().toString(-std::max(std::abs(minimum_), std::abs(maximum_)), 'f', decimals_);
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize contents(metrics.horizontalAdvance(widest + u' ') + 4,
                         lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, contents, this);
}

} // namespace vrx
