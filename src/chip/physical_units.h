#pragma once
// The VRX630's raw motion values in physical units at the board's clock f_CLK and a motor's
// dividers (register 12):
//   step rate     f = f_CLK * v / (2^PULSDIV * 2048 * 32)         V_MIN, V_MAX, V_TARGET, V_ACTUAL
//   acceleration  a = f_CLK^2 * A / 2^(PULSDIV + RAMPDIV + 29)     A_MAX, A_ACTUAL
// Positions count steps as they are. The way back goes to the nearest raw value and refuses a
// physical value that no value of the field's range comes near.

#include "chip/register_map.h"

#include <cstdint>
#include <optional>

namespace vrx {

constexpr int kDefaultClockMhz = 16;
constexpr int kMinClockMhz = 1;
constexpr int kMaxClockMhz = 32;

constexpr bool ValidClockMhz(int mhz) {
    return mhz >= kMinClockMhz && mhz <= kMaxClockMhz;
}

// What a raw motion value is: a step rate or an acceleration.
enum class UnitKind { Velocity, Acceleration };

struct StepRate {
    double perSecond = 0; // steps/s, signed like the velocity
};

struct StepAcceleration {
    double perSecondSquared = 0; // steps/s^2
};

class PhysicalUnits {
public:
    // clockMhz within kMinClockMhz..kMaxClockMhz; the dividers as register 12 holds them.
    PhysicalUnits(int clockMhz, int pulsDiv, int rampDiv);

    StepRate Velocity(int32_t raw) const { return {raw * stepsPerVelocityUnit_}; }
    StepAcceleration Acceleration(int32_t raw) const { return {raw * stepsPerAccelUnit_}; }
    // Either of them as a number: steps/s or steps/s².
    double InUnit(UnitKind kind, int32_t raw) const {
        return raw * (kind == UnitKind::Velocity ? stepsPerVelocityUnit_ : stepsPerAccelUnit_);
    }

    // The raw value nearest to `rate` or `accel`; nothing when that value lies outside the
    // field's min..max (or the value is not a finite number).
    std::optional<int32_t> RawVelocity(StepRate rate, const Field& field) const;
    std::optional<int32_t> RawAcceleration(StepAcceleration accel, const Field& field) const;

    // Steps per second that one velocity unit stands for.
    double StepsPerVelocityUnit() const { return stepsPerVelocityUnit_; }
    // Velocity units per second that one acceleration unit changes the velocity by.
    double VelocityUnitsPerSecondPerAccelUnit() const {
        return stepsPerAccelUnit_ / stepsPerVelocityUnit_;
    }

private:
    double stepsPerVelocityUnit_;
    double stepsPerAccelUnit_;
};

} // namespace vrx
