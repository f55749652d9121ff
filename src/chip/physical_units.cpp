#include "chip/physical_units.h"

#include <cmath>

namespace vrx {

namespace {

std::optional<int32_t> Nearest(double value, const Field& field) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double raw = std::round(value);
    if (raw < field.min || raw > field.max) {
        return std::nullopt;
    }
    return static_cast<int32_t>(raw);
}

} // namespace

PhysicalUnits::PhysicalUnits(int clockMhz, int pulsDiv, int rampDiv)
    : stepsPerVelocityUnit_(std::ldexp(clockMhz * 1e6, -(pulsDiv + 16))),
      stepsPerAccelUnit_(std::ldexp(clockMhz * 1e6 * clockMhz * 1e6, -(pulsDiv + rampDiv + 29))) {}

std::optional<int32_t> PhysicalUnits::RawVelocity(StepRate rate, const Field& field) const {
    return Nearest(rate.perSecond / stepsPerVelocityUnit_, field);
}

std::optional<int32_t> PhysicalUnits::RawAcceleration(StepAcceleration accel,
                                                      const Field& field) const {
    return Nearest(accel.perSecondSquared / stepsPerAccelUnit_, field);
}

} // namespace vrx
