#include "chip/motion_units.h"

#include <algorithm>

namespace vrx {

MotorDividers DecodeDividers(uint32_t register12) {
    return {int((register12 >> 12) & 0xF), int((register12 >> 8) & 0xF)};
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

PhysicalUnits MotionUnits::Of(int motor) const {
    const MotorDividers d = Dividers(motor);
    return PhysicalUnits(clockMhz_, d.pulsDiv, d.rampDiv);
}

} // namespace vrx
