#pragma once
// Which arrows of a spin edit may step: none while read-only, up below the maximum, down above
// the minimum.

#include <QAbstractSpinBox>

namespace vrx {

template <class T>
QAbstractSpinBox::StepEnabled StepsWithin(bool readOnly, T value, T minimum, T maximum) {
    QAbstractSpinBox::StepEnabled enabled = QAbstractSpinBox::StepNone;
    if (!readOnly && value < maximum) {
        enabled |= QAbstractSpinBox::StepUpEnabled;
    }
    if (!readOnly && value > minimum) {
        enabled |= QAbstractSpinBox::StepDownEnabled;
    }
    return enabled;
}

} // namespace vrx
