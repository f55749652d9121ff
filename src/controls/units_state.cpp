#include "controls/units_state.h"

#include "chip/quantity_format.h"

namespace vrx {

void UnitsState::SetShown(bool shown) {
    if (shown != shown_) {
        shown_ = shown;
        emit changed();
    }
}

void UnitsState::SetClockMhz(int mhz) {
    const int before = units_.ClockMhz();
    units_.SetClockMhz(mhz);
    if (units_.ClockMhz() != before) {
        emit changed();
    }
}

void UnitsState::SetDividers(int motor, uint32_t register12) {
    const MotorDividers before = units_.Dividers(motor + 1);
    units_.SetDividers(motor + 1, register12);
    if (units_.Dividers(motor + 1) != before) {
        emit changed();
    }
}

void UnitsState::Observe(const Telegram& telegram, const Answer& answer) {
    if (units_.Observe(telegram, answer)) {
        emit changed();
    }
}

double UnitsState::Physical(UnitKind kind, int motor, int32_t raw) const {
    return units_.Of(motor + 1).InUnit(kind, raw);
}

QString UnitsState::Text(UnitKind kind, int motor, int32_t raw) const {
    return QString::fromStdString(FormatInUnit(kind, Physical(kind, motor, raw), true));
}

} // namespace vrx
