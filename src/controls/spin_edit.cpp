#include "controls/spin_edit.h"

#include "controls/spin_steps.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace vrx {

namespace {

bool IsNumberCharacter(QChar c) {
    return c.isDigit() || c == u'-' || c == u'+' || c == u' ';
}

int Clamp(int64_t value, int min, int max) {
    return static_cast<int>(std::clamp<int64_t>(value, min, max));
}

} // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    lineEdit()->setText(QString::number(minimum_));
    lastValue_ = value();
    connect(lineEdit(), &QLineEdit::textChanged, this, &TSpinEdit::NotifyIfChanged);
}

void TSpinEdit::setMinimum(int min) {
    setRange(min, std::max(min, maximum_));
}

void TSpinEdit::setMaximum(int max) {
    setRange(std::min(minimum_, max), max);
}

void TSpinEdit::setRange(int min, int max) {
    min = std::max(min, kLowestValue);
    minimum_ = min;
    maximum_ = std::max(min, max);
    if (const auto number = ParseNumber(text()); number && *number != Clamp(*number, min, max)) {
        ClampText();
    }
    updateGeometry();
    NotifyIfChanged(); // a text that is no number now reads as the new minimum
}

int TSpinEdit::value() const {
    // Clamped before the field is left as well: a Go by its accelerator or a telegram preview
    // must never see a number wider than the field it lands in.
    return Clamp(ParseNumber(lineEdit()->text()).value_or(minimum_), minimum_, maximum_);
}

void TSpinEdit::setValue(int value) {
    const QString text = QString::number(Clamp(value, minimum_, maximum_));
    if (text != lineEdit()->text()) {
        lineEdit()->setText(text);
    }
}

std::optional<int> TSpinEdit::ParseNumber(const QString& text) {
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok, 10);
    if (!ok || number < kLowestValue || number > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

void TSpinEdit::stepBy(int steps) {
    setValue(Clamp(int64_t{value()} + int64_t{steps} * singleStep_, minimum_, maximum_));
    selectAll();
}

QValidator::State TSpinEdit::validate(QString& input, int& /*pos*/) const {
    // Anything that may become a number while typing is let through; the value rule and the
    // clamp on leaving the field deal with the rest.
    return std::all_of(input.cbegin(), input.cend(), IsNumberCharacter) ? QValidator::Acceptable
                                                                        : QValidator::Invalid;
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
    return StepsWithin(isReadOnly(), value(), minimum_, maximum_);
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
    ClampText();
    QAbstractSpinBox::focusOutEvent(event);
}

void TSpinEdit::ClampText() {
    const auto number = ParseNumber(text());
    if (!number || *number != Clamp(*number, minimum_, maximum_)) {
        setValue(number.value_or(minimum_));
    }
}

void TSpinEdit::NotifyIfChanged() {
    const int current = value();
    if (current != lastValue_) {
        lastValue_ = current;
        emit valueChanged(current);
    }
}

QSize TSpinEdit::sizeHint() const {
    ensurePolished();
    const QFontMetrics metrics(fontMetrics());
    const int textWidth = std::max(metrics.horizontalAdvance(QString::number(minimum_)),
                                   metrics.horizontalAdvance(QString::number(maximum_)));
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize contents(textWidth + metrics.horizontalAdvance(u' ') + 4,
                         lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, contents, this);
}

} // namespace vrx
