#include "chip/motion_units.h"

#include <algorithm>

namespace vrx {

MotorDividers DecodeDividers(uint32_t register12) {
    const std::span<const Field> fields = Register(MotorReg::Dividers).readFields;
    return {DecodeField(fields[0], register12), DecodeField(fields[1], register12)};
}

std::optional<UnitKind> UnitKindOf(const RegisterDef& reg) {
    if (reg.unit != Motor1) {
        return std::nullopt;
    }
    switch (MotorReg(reg.index)) {
    case MotorReg::VMin:
    case MotorReg::VMax:
    case MotorReg::VTarget:
    case MotorReg::VActual:
        return UnitKind::Velocity;
    case MotorReg::AMax:
    case MotorReg::AActual:
        return UnitKind::Acceleration;
    default:
        return std::nullopt;
    }
}

void MotionUnits::SetClockMhz(int mhz) {
    clockMhz_ = std::clamp(mhz, kMinClockMhz, kMaxClockMhz);
}

void MotionUnits::SetDividers(int motor, uint32_t register12) {
    if (motor >= 1 && motor <= kMotors) {
        dividers_[size_t(motor - 1)] = DecodeDividers(register12);
    }
}

MotorDividers MotionUnits::Dividers(int motor) const {
    return dividers_[size_t(std::clamp(motor, 1, kMotors) - 1)];
}

bool MotionUnits::Observe(const Telegram& telegram, const Answer& answer) {
    if (telegram.IsRam() || telegram.UnitSelect() == GlobalUnit ||
        telegram.RegisterIndex() != kDividerRegister) {
        return false;
    }
    const int motor = int(telegram.UnitSelect()) + 1;
    const MotorDividers before = Dividers(motor);
    SetDividers(motor, telegram.IsRead() ? answer.Value() : telegram.Data());
    return Dividers(motor) != before;
}

PhysicalUnits MotionUnits::Of(int motor) const {
    const MotorDividers d = Dividers(motor);
    return PhysicalUnits(clockMhz_, d.pulsDiv, d.rampDiv);
}

} // namespace vrx
