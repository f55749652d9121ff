#include "sim/motor_axis.h"

#include <algorithm>
#include <cmath>

namespace vrx::sim {

namespace {

constexpr double kPositionSpan = 16777216.0; // 2^24: positions wrap as 24-bit two's complement
constexpr double kPositionHalf = 8388608.0;
constexpr int kVelocityLimit = 2047;       // V_ACTUAL and A_ACTUAL are signed 12-bit values
constexpr double kArrivalTolerance = 1e-6; // steps

size_t Index(MotorReg reg) {
    return static_cast<size_t>(reg);
}

uint32_t Signed12(int value) {
    return static_cast<uint32_t>(value) & 0xFFF;
}

double Approach(double value, double target, double step) {
    return value < target ? std::min(target, value + step) : std::max(target, value - step);
}

int Clamp12(double value) {
    return static_cast<int>(std::clamp(std::lround(value), -2048L, 2047L));
}

// The step count X_ACTUAL shows at a position, before the 24-bit wrap.
int64_t Rounded(double position) {
    return static_cast<int64_t>(std::floor(position + 0.5));
}

} // namespace

MotorAxis::MotorAxis() = default;

int32_t MotorAxis::Field(MotorReg reg, size_t field) const {
    return DecodeField(Register(reg).writeFields[field], image_[Index(reg)]);
}

int32_t MotorAxis::XTarget() const {
    return Field(MotorReg::XTarget, 0);
}
int MotorAxis::VTarget() const {
    return Field(MotorReg::VTarget, 0);
}
int MotorAxis::VMax() const {
    return Field(MotorReg::VMax, 0);
}
int MotorAxis::VMin() const {
    return Field(MotorReg::VMin, 0);
}
int MotorAxis::AMax() const {
    return Field(MotorReg::AMax, 0);
}
int MotorAxis::RefConf() const {
    return Field(MotorReg::RefConfRampMode, 0);
}
int MotorAxis::RampMode() const {
    return Field(MotorReg::RefConfRampMode, 1);
}
int MotorAxis::PulsDiv() const {
    return Field(MotorReg::Dividers, 0);
}
int MotorAxis::RampDiv() const {
    return Field(MotorReg::Dividers, 1);
}
uint8_t MotorAxis::InterruptMask() const {
    return static_cast<uint8_t>(Field(MotorReg::Interrupts, 0));
}

int32_t MotorAxis::XActual() const {
    int64_t rounded = Rounded(position_);
    if (rounded >= static_cast<int64_t>(kPositionHalf)) {
        rounded -= static_cast<int64_t>(kPositionSpan);
    }
    return static_cast<int32_t>(rounded);
}

int MotorAxis::VActual() const {
    return Clamp12(velocity_);
}

void MotorAxis::Write(MotorReg reg, uint32_t data) {
    const RegisterDef& def = Register(reg);
    if (!def.writable) {
        return;
    }
    const uint32_t masked = ComposeFields(def.writeFields, DecodeFields(def.writeFields, data));
    switch (reg) {
    case MotorReg::XActual:
        SetPosition(DecodeField(def.writeFields[0], masked));
        break;
    case MotorReg::VActual:
        velocity_ = DecodeField(def.writeFields[0], masked);
        break;
    case MotorReg::Interrupts:
        image_[Index(reg)] = masked;
        interruptFlags_ = static_cast<uint8_t>(masked & 0xFF);
        break;
    case MotorReg::XLatched:
        xLatched_ = 0; // the only write the register takes resets the latched position
        break;
    default:
        image_[Index(reg)] = masked;
        break;
    }
}

uint32_t MotorAxis::Read(MotorReg reg) const {
    const RegisterDef& def = Register(reg);
    switch (reg) {
    case MotorReg::XActual:
        return static_cast<uint32_t>(XActual()) & kDataMask;
    case MotorReg::VActual:
        return Signed12(VActual());
    case MotorReg::AActual:
        return Signed12(accel_);
    case MotorReg::RefConfRampMode: {
        const int32_t values[] = {RefConf(), RampMode(), 0}; // the LP flag stays clear
        return ComposeFields(def.readFields, values);
    }
    case MotorReg::Interrupts: {
        const int32_t values[] = {InterruptMask(), interruptFlags_};
        return ComposeFields(def.readFields, values);
    }
    case MotorReg::XLatched:
        return static_cast<uint32_t>(xLatched_) & kDataMask;
    default:
        return image_[Index(reg)];
    }
}

bool MotorAxis::TargetReached() const {
    const int mode = RampMode();
    const bool stopped = velocity_ == 0 || mode == RampModeVelocity || mode == RampModeHold;
    return stopped && XActual() == XTarget();
}

bool MotorAxis::LeftSwitch() const {
    return switches_.leftAtOrBelow && XActual() <= *switches_.leftAtOrBelow;
}

bool MotorAxis::RightSwitch() const {
    return switches_.rightAtOrAbove && XActual() >= *switches_.rightAtOrAbove;
}

bool MotorAxis::ReferenceSwitch() const {
    return (RefConf() & kRefConfReferenceRight) ? RightSwitch() : LeftSwitch();
}

double MotorAxis::AccelPerTick(const PhysicalUnits& units, double dt) const {
    return std::min(AMax(), kVelocityLimit) * units.VelocityUnitsPerSecondPerAccelUnit() * dt;
}

MotorAxis::RampStep MotorAxis::StepTowardsTarget(const PhysicalUnits& units, double dt,
                                                 bool soft) const {
    const double distance = XTarget() - position_;
    if (distance == 0 && velocity_ == 0) {
        return {0, 0};
    }
    const double vMax = std::min(VMax(), kVelocityLimit);
    const double vMin = std::min<double>(VMin(), vMax); // start and stop velocity
    const double step = AccelPerTick(units, dt);
    const double stepsPerUnit = units.StepsPerVelocityUnit();
    // Exactly on the target but still moving: brake, and come back on the next ticks.
    const double direction = distance > 0 ? 1 : distance < 0 ? -1 : (velocity_ > 0 ? -1 : 1);
    const double towards = velocity_ * direction; // negative while moving away from the target
    const double remaining = std::abs(distance);

    // The fastest velocity at the end of this tick from which braking with A_MAX, on the same
    // discrete ticks, still stops on the target: travel this tick plus braking distance must not
    // exceed the remaining distance. Following it is what makes RAMP end on the target without
    // overshooting.
    const double accel = step / dt; // velocity units per second
    const double discriminant =
        step * step - 4 * step * towards + 8 * accel * remaining / stepsPerUnit;
    const double boundary =
        discriminant > 0 ? std::max(0.0, (-step + std::sqrt(discriminant)) / 2) : 0.0;
    double wanted = std::min(vMax, boundary);
    const double softFloor = std::max(kSoftFloorFraction * vMax, 1.0);
    if (soft && accel > 0) {
        // Velocity proportional to the remaining distance: an exponential approach whose time
        // constant makes its first deceleration exactly A_MAX, finished at the floor velocity.
        const double timeConstant = std::max(vMax, 1.0) / accel;
        const double exponential = remaining / (timeConstant * stepsPerUnit);
        wanted = std::min(wanted, std::max(exponential, softFloor));
    }
    wanted = std::max(wanted, vMin);

    double next;
    if (towards < wanted) {
        next = std::min(wanted, towards + step);
        if (towards >= 0) {
            next = std::max(next, vMin);
        }
    } else {
        next = std::max(wanted, towards - step);
    }
    // Below this velocity a tick that passes the target ends the move there; faster, the motor
    // overshoots (the target moved under it) and comes back.
    const double oneStep = std::sqrt(2 * accel / stepsPerUnit); // stops within a step
    double snapBelow = std::max({vMin, 2 * step, oneStep});
    if (soft) {
        snapBelow = std::max(snapBelow, softFloor);
    }
    return {next * direction, snapBelow};
}

void MotorAxis::ApplyStopSwitches(const PhysicalUnits& units, double previousVelocity, double dt) {
    const int conf = RefConf();
    const bool blockLeft = velocity_ < 0 && LeftSwitch() && (conf & kRefConfDisableStopLeft) == 0;
    const bool blockRight =
        velocity_ > 0 && RightSwitch() && (conf & kRefConfDisableStopRight) == 0;
    if (!blockLeft && !blockRight) {
        return;
    }
    const double step = AccelPerTick(units, dt);
    if ((conf & kRefConfSoftStop) != 0 && step > 0) {
        velocity_ = blockLeft ? std::min(0.0, previousVelocity + step)
                              : std::max(0.0, previousVelocity - step);
    } else {
        velocity_ = 0;
    }
    if (previousVelocity != 0) {
        interruptFlags_ |= kIntStop;
    }
}

std::optional<int32_t> MotorAxis::HardStopOnTheWay(const PhysicalUnits& units, double from,
                                                   double to, double dt) const {
    const int conf = RefConf();
    if ((conf & kRefConfSoftStop) != 0 && AccelPerTick(units, dt) > 0) {
        return std::nullopt; // a soft stop brakes from the switch on, over the next ticks
    }
    // A switch that was not active at `from` and engages on the way; a move that ends just where
    // it engages is stopped there only if it would go on.
    const bool goesOn = velocity_ != 0;
    if (switches_.leftAtOrBelow && (conf & kRefConfDisableStopLeft) == 0) {
        const int64_t left = *switches_.leftAtOrBelow;
        if (Rounded(from) > left && (Rounded(to) < left || (Rounded(to) == left && goesOn))) {
            return *switches_.leftAtOrBelow;
        }
    }
    if (switches_.rightAtOrAbove && (conf & kRefConfDisableStopRight) == 0) {
        const int64_t right = *switches_.rightAtOrAbove;
        if (Rounded(from) < right && (Rounded(to) > right || (Rounded(to) == right && goesOn))) {
            return *switches_.rightAtOrAbove;
        }
    }
    return std::nullopt;
}

void MotorAxis::UpdateSwitchEvents(double from, double to) {
    const bool left = LeftSwitch();
    const bool right = RightSwitch();
    if (left != leftWas_) {
        interruptFlags_ |= left ? kIntStopLeftHigh : kIntStopLeftLow;
    }
    if (right != rightWas_) {
        interruptFlags_ |= right ? kIntStopRightHigh : kIntStopRightLow;
    }
    const bool referenceWas = (RefConf() & kRefConfReferenceRight) ? rightWas_ : leftWas_;
    if (ReferenceSwitch() && !referenceWas) {
        // Run onto by this tick's motion: the position where the switch engaged, which a fast
        // motor may have passed by many steps when the tick ends.
        const bool right = (RefConf() & kRefConfReferenceRight) != 0;
        const std::optional<int32_t>& at =
            right ? switches_.rightAtOrAbove : switches_.leftAtOrBelow;
        const bool ranOnto = right ? Rounded(from) < *at && Rounded(to) >= *at
                                   : Rounded(from) > *at && Rounded(to) <= *at;
        xLatched_ = ranOnto ? *at : XActual();
    }
    leftWas_ = left;
    rightWas_ = right;
}

void MotorAxis::SetPosition(double position) {
    while (position >= kPositionHalf) {
        position -= kPositionSpan;
    }
    while (position < -kPositionHalf) {
        position += kPositionSpan;
    }
    position_ = position;
}

void MotorAxis::Tick() {
    constexpr double dt = kTickMs / 1000.0;
    const PhysicalUnits units = Units();
    const double before = velocity_;
    const double from = position_;
    const int mode = RampMode();
    const bool ramping = mode == RampModeRamp || mode == RampModeSoft;
    RampStep ramp{0, 0};
    if (ramping) {
        ramp = StepTowardsTarget(units, dt, mode == RampModeSoft);
        velocity_ = ramp.velocity;
    } else if (mode == RampModeVelocity) {
        velocity_ = Approach(velocity_, VTarget(), AccelPerTick(units, dt));
    } // HOLD keeps the velocity as written

    ApplyStopSwitches(units, before, dt);
    // The velocity changes evenly over the tick, so the tick's travel is its mean.
    double to = from + units.StepsPerVelocityUnit() * (before + velocity_) / 2 * dt;
    const double accelUnit = units.VelocityUnitsPerSecondPerAccelUnit();
    accel_ = Clamp12((velocity_ - before) / dt / accelUnit);

    bool arrived = false;
    if (ramping) {
        const double distance = XTarget() - from;
        // A hair before the target counts as arrived: braking on the boundary may leave a
        // rounding residue that the motor would otherwise creep towards for ever.
        const double left = (XTarget() - to) * (distance > 0 ? 1 : -1);
        const bool crossed = distance != 0 && left <= kArrivalTolerance;
        if (crossed && std::abs(velocity_) <= ramp.snapBelow) {
            to = XTarget();
            velocity_ = 0;
            arrived = true;
        }
    }
    if (const std::optional<int32_t> stop = HardStopOnTheWay(units, from, to, dt)) {
        to = *stop;
        velocity_ = 0;
        arrived = false;
        accel_ = Clamp12(-before / dt / accelUnit);
        interruptFlags_ |= kIntStop;
    }
    if (arrived) {
        accel_ = 0;
        interruptFlags_ |= kIntPosEnd;
    }
    SetPosition(to);
    UpdateSwitchEvents(from, to);
}

} // namespace vrx::sim
