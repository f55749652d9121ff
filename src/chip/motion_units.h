#pragma once
// MotionUnits: what the physical units of the three motors depend on, the board's clock and each
// motor's dividers as register 12 last held them. The program is the only sender on the port, so
// the dividers it read after identification stay true as long as its own writes of register 12
// are taken in here.

#include "chip/physical_units.h"
#include "chip/register_map.h"
#include "chip/telegram.h"

#include <array>
#include <cstdint>
#include <optional>

namespace vrx {

// The dividers in the 24 data bits of register 12.
struct MotorDividers {
    int pulsDiv = 0;
    int rampDiv = 0;
    friend bool operator==(const MotorDividers&, const MotorDividers&) = default;
};
MotorDividers DecodeDividers(uint32_t register12);

// The register index that holds the dividers of each motor.
constexpr int kDividerRegister = 12;

// What a motor register's value means physically: V_MIN, V_MAX, V_TARGET and V_ACTUAL are step
// rates, A_MAX and A_ACTUAL accelerations; every other register has no physical unit.
std::optional<UnitKind> UnitKindOf(const RegisterDef& reg);

class MotionUnits {
public:
    static constexpr int kMotors = 3;

    // A clock outside kMinClockMhz..kMaxClockMhz is taken as the nearest end.
    void SetClockMhz(int mhz);
    int ClockMhz() const { return clockMhz_; }
    // motor 1..3; the register's data bits as written or read.
    void SetDividers(int motor, uint32_t register12);
    MotorDividers Dividers(int motor) const;
    // A telegram the board answered: a write or read of a motor's register 12 sets its
    // dividers. True when they changed.
    bool Observe(const Telegram& telegram, const Answer& answer);

    PhysicalUnits Of(int motor) const;

    friend bool operator==(const MotionUnits&, const MotionUnits&) = default;

private:
    int clockMhz_ = kDefaultClockMhz;
    std::array<MotorDividers, kMotors> dividers_{}; // the chip's reset values: 0 and 0
};

} // namespace vrx
