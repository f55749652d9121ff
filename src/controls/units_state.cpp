#include "controls/units_state.h"

#include "chip/quantity_format.h"

#include <cmath>

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
    const MotorDividers now = units_.Dividers(motor + 1);
    if (now.pulsDiv != before.pulsDiv || now.rampDiv != before.rampDiv) {
        emit changed();
    }
}

void UnitsState::Observe(const Telegram& telegram, const Answer& answer) {
    if (telegram.IsRam() || telegram.UnitSelect() == GlobalUnit ||
        telegram.RegisterIndex() != kDividerRegister) {
        return;
    }
    SetDividers(int(telegram.UnitSelect()), telegram.IsRead() ? answer.Value() : telegram.Data());
}

double UnitsState::Physical(UnitKind kind, int motor, int32_t raw) const {
    return InUnit(units_.Of(motor + 1), kind, raw);
}

QString UnitsState::Text(UnitKind kind, int motor, int32_t raw) const {
    const double value = Physical(kind, motor, raw);
    // Up to six whole digits in full; beyond, the display would outgrow its column.
    const std::string number =
        std::abs(value) < 1e6 ? FormatQuantity(value) : FormatQuantityPrefixed(value, 4);
    return QString::fromStdString(number) + (kind == UnitKind::Velocity
                                                 ? QStringLiteral(" steps/s")
                                                 : QStringLiteral(" steps/s\u00B2"));
}

} // namespace vrx
