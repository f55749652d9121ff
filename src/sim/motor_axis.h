#pragma once
// One motor unit of the simulated VRX630: its fifteen registers, its reference switches and the
// ramp generator that moves the motor in the four ramp modes, one millisecond per Tick().
//
// Time scale of the motion (fixed; PULSDIV and RAMPDIV are stored but do not change it):
//   - one velocity unit is 2 steps per second, so V_MAX 1000 runs at 2000 steps/s;
//   - one acceleration unit changes the velocity by 10 units per second, so A_MAX 100 takes
//     1 s from standstill to V 1000 and A_MAX 1000 takes 0.1 s.
// A RAMP move of 5000 steps at V_MAX 1000 thus lasts about 3.5 s with A_MAX 100 and about 2.6 s
// with A_MAX 1000: slow enough to watch, quick enough not to bore. SOFTMODE takes longer for its
// gentle end: about 6 s and 2.8 s for the same moves.

#include "chip/register_map.h"

#include <array>
#include <cstdint>
#include <optional>

namespace vrx::sim {

constexpr double kStepsPerVelocityUnit = 2.0;  // steps per second per velocity unit
constexpr double kVelocityPerAccelUnit = 10.0; // velocity units per second per A unit
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
    RampStep StepTowardsTarget(double dt, bool soft) const;
    double AccelPerTick(double dt) const;
    void ApplyStopSwitches(double previousVelocity, double dt);
    void UpdateSwitchEvents();
    void SetPosition(double position);

    // Register images as written (masked to the write layout).
    std::array<uint32_t, kMotorRegisterCount> image_{};
    double position_ = 0;
    double velocity_ = 0;
    int accel_ = 0;
    int32_t xLatched_ = 0;
    uint8_t interruptFlags_ = 0;
    ReferenceSwitches switches_;
    bool leftWas_ = false;
    bool rightWas_ = false;
};

} // namespace vrx::sim
