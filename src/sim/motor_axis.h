#pragma once
// One motor unit of the simulated VRX630: its fifteen registers, its reference switches and the
// ramp generator that moves the motor in the four ramp modes, one millisecond per Tick().
//
// The motion follows the chip's law at the board's clock and the motor's dividers (register 12,
// PULSDIV and RAMPDIV), see chip/physical_units.h: at 16 MHz with PULSDIV 7, V_MAX 1000 runs at
// about 1,907 steps/s; with PULSDIV 0 at 244,141 steps/s. The velocity is integrated over each
// tick, and a hard stop at a reference switch or the latched position lands on the switch itself,
// not where the tick ends, so even several hundred steps a tick stay exact.

#include "chip/physical_units.h"
#include "chip/register_map.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace vrx::sim {

constexpr int kTickMs = 1;

// SOFTMODE brakes with a velocity proportional to the remaining distance, starting with A_MAX and
// growing gentler, and finishes the last steps at this fraction of V_MAX.
constexpr double kSoftFloorFraction = 0.05;

// Interrupt flag bits of register 11 that the motion raises.
constexpr uint8_t kIntPosEnd = 0x01;
constexpr uint8_t kIntStop = 0x08;
constexpr uint8_t kIntStopLeftLow = 0x10;
constexpr uint8_t kIntStopRightLow = 0x20;
constexpr uint8_t kIntStopLeftHigh = 0x40;
constexpr uint8_t kIntStopRightHigh = 0x80;

// REF_CONF bits (register 10, bits 11..8, here shifted down to 3..0).
constexpr int kRefConfDisableStopLeft = 0x1;
constexpr int kRefConfDisableStopRight = 0x2;
constexpr int kRefConfSoftStop = 0x4;
constexpr int kRefConfReferenceRight = 0x8;

// Where the simulated switches sit: the left one is active at or below its position, the right
// one at or above. A motor without a position has no such switch.
struct ReferenceSwitches {
    std::optional<int32_t> leftAtOrBelow;
    std::optional<int32_t> rightAtOrAbove;
};

class MotorAxis {
public:
    MotorAxis();

    // `data` holds the 24 data bits of a write telegram; bits outside the register's write
    // layout are dropped. Read-only registers ignore writes.
    void Write(MotorReg reg, uint32_t data);
    // The 24 data bits a read telegram answers.
    uint32_t Read(MotorReg reg) const;

    void Tick();

    int32_t XActual() const;
    int32_t XTarget() const;
    int VActual() const;
    int AActual() const { return accel_; }
    int VTarget() const;
    int VMax() const;
    int VMin() const;
    int AMax() const;
    int RampMode() const;
    int RefConf() const;
    int PulsDiv() const;
    int RampDiv() const;
    // The board's clock; a value beyond kMinClockMhz..kMaxClockMhz is taken as the nearest end.
    void SetClockMhz(int mhz) { clockMhz_ = std::clamp(mhz, kMinClockMhz, kMaxClockMhz); }
    int ClockMhz() const { return clockMhz_; }
    // The motion law at the clock and the dividers as they stand.
    PhysicalUnits Units() const { return {clockMhz_, PulsDiv(), RampDiv()}; }
    double Position() const { return position_; }
    double Velocity() const { return velocity_; }

    // Status byte bit: X_ACTUAL = X_TARGET; in RAMP and SOFTMODE only once the motor has stopped.
    bool TargetReached() const;
    bool LeftSwitch() const;
    bool RightSwitch() const;
    // The switch REF_RnL selects as reference: the left one unless the bit is set.
    bool ReferenceSwitch() const;

    uint8_t InterruptMask() const;
    uint8_t InterruptFlags() const { return interruptFlags_; }
    bool InterruptPending() const { return (InterruptFlags() & InterruptMask()) != 0; }

    void SetSwitches(const ReferenceSwitches& switches) { switches_ = switches; }
    const ReferenceSwitches& Switches() const { return switches_; }

private:
    struct RampStep {
        double velocity;  // signed velocity for the next tick
        double snapBelow; // crossing the target slower than this ends the move on the target
    };

    int32_t Field(MotorReg reg, size_t field) const;
    RampStep StepTowardsTarget(const PhysicalUnits& units, double dt, bool soft) const;
    double AccelPerTick(const PhysicalUnits& units, double dt) const;
    void ApplyStopSwitches(const PhysicalUnits& units, double previousVelocity, double dt);
    std::optional<int32_t> HardStopOnTheWay(const PhysicalUnits& units, double from, double to,
                                            double dt) const;
    void UpdateSwitchEvents(double from, double to);
    void SetPosition(double position);

    // Register images as written (masked to the write layout).
    std::array<uint32_t, kMotorRegisterCount> image_{};
    double position_ = 0;
    double velocity_ = 0;
    int accel_ = 0;
    int clockMhz_ = kDefaultClockMhz;
    int32_t xLatched_ = 0;
    uint8_t interruptFlags_ = 0;
    ReferenceSwitches switches_;
    bool leftWas_ = false;
    bool rightWas_ = false;
};

} // namespace vrx::sim
