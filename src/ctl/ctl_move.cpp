// move: the motor panel's Go, with the parameters not given read from the chip first, and the
// wait for the motor to arrive, which gives up when the motor makes no progress.
#include "chip/value_format.h"
#include "ctl/ctl_commands.h"
#include "ctl/ctl_errors.h"
#include "ctl/stop_request.h"
#include "protocol/motor_sequences.h"

#include <chrono>
#include <cstdlib>

namespace vrx::ctl {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kWaitPoll = std::chrono::milliseconds(20);
// A motor that makes no progress for this long will not arrive.
constexpr auto kNoProgress = std::chrono::seconds(2);

// The option's value, or the chip's current value of the register it lands in; checked against
// the same range either way, since a value the chip holds need not fit where it goes now.
int ValueOrCurrent(BoardSession& board, int motor, const std::optional<int>& given, MotorReg reg,
                   ValueRange range, const char* option) {
    if (given) {
        return *given;
    }
    const int value = ReadValue(board, reg, motor);
    if (!range.Contains(value)) {
        throw UsageError(std::string(Register(reg).name) + " " + std::to_string(value) +
                         " as the chip holds it is out of range " + std::to_string(range.min) +
                         ".." + std::to_string(range.max) + " for " + option + "; give " + option);
    }
    return value;
}

MotionRequest Request(BoardSession& board, int motor, const MoveArgs& m) {
    MotionRequest r;
    r.rampMode = m.mode;
    const auto value = [&](const std::optional<int>& given, MotorReg reg, ValueRange range,
                           const char* option) {
        return ValueOrCurrent(board, motor, given, reg, range, option);
    };
    switch (m.mode) {
    case RampModeRamp:
    case RampModeSoft:
        r.xTarget = value(m.target, MotorReg::XTarget, kTargetPositionRange, "--target");
        r.vMin = value(m.vMin, MotorReg::VMin, kVelocityLimitRange, "--vmin");
        r.vMax = value(m.vMax, MotorReg::VMax, kVelocityLimitRange, "--vmax");
        r.aMax = value(m.aMax, MotorReg::AMax, kAccelerationRange, "--amax");
        break;
    case RampModeVelocity:
        r.vTarget = value(m.velocity, MotorReg::VTarget, kTargetVelocityRange, "--velocity");
        r.aMax = value(m.aMax, MotorReg::AMax, kAccelerationRange, "--amax");
        break;
    case RampModeHold:
        r.vActual = value(m.velocity, MotorReg::VActual, kActualVelocityRange, "--velocity");
        break;
    }
    return r;
}

// Polls until the motor has arrived at its target, or stands when `toStand`. Progress is a
// changed position, or when standing is the goal, a smaller speed: none for kNoProgress and
// the motor will not get there. Returns the final position, or 0 velocity.
Item WaitForArrival(BoardSession& board, int motor, bool toStand) {
    const MotorReg watched = toStand ? MotorReg::VActual : MotorReg::XActual;
    const RegisterDef& reg = Register(watched);
    std::optional<int32_t> last;
    Clock::time_point progressed = Clock::now();
    for (;;) {
        const Answer a = Need(board.Transfer(ReadTelegram(reg, motor)));
        const int32_t value = SignExtend(a.Value(), reg.displaySignBit);
        if (toStand ? value == 0 : (a.Status() & StatusTargetReached(motor)) != 0) {
            return Number(std::string(reg.name), value);
        }
        const bool progress =
            !last || (toStand ? std::abs(value) < std::abs(*last) : value != *last);
        const auto now = Clock::now();
        if (progress) {
            last = value;
            progressed = now;
        } else if (now - progressed >= kNoProgress) {
            throw BoardError("motor " + std::to_string(motor + 1) +
                             (toStand ? " does not slow down" : " does not move"));
        }
        if (!WaitUnlessStopped(now + kWaitPoll)) {
            throw BoardError("interrupted before the motor arrived");
        }
    }
}

} // namespace

void Move(BoardSession& board, const Invocation& inv, Output& out) {
    const int motor = inv.motor.value_or(0);
    const MotionRequest r = Request(board, motor, inv.move);
    int refused = 0;
    const SequenceResult result = GoSequence(Transfers(board), motor, r, [&](int minimum) {
        refused = minimum;
        return inv.move.force ? MinimumChoice::Continue : MinimumChoice::Cancel;
    });
    if (result == SequenceResult::Cancelled) {
        throw BoardError("A_MAX " + std::to_string(r.aMax) +
                         " is below the smallest advisable value " + std::to_string(refused) +
                         " for this motor's dividers; --force goes on all the same");
    }
    if (result == SequenceResult::Unanswered) {
        NoAnswer();
    }
    std::vector<Item> items = {Number("motor", motor + 1),
                               Text("mode", std::string(kRampModeNames[size_t(r.rampMode)]))};
    const bool toTarget = r.rampMode == RampModeRamp || r.rampMode == RampModeSoft;
    const bool toStand = r.rampMode == RampModeVelocity && r.vTarget == 0;
    if (inv.move.wait && (toTarget || toStand)) {
        items.push_back(WaitForArrival(board, motor, toStand));
    }
    out.Emit(items);
}

} // namespace vrx::ctl
