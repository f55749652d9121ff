#include "protocol/motor_commands.h"

#include "chip/value_format.h"
#include "protocol/command_errors.h"
#include "protocol/required_answer.h"
#include "protocol/unit_values.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace vrx {

const std::array<MoveOption, 5> kMoveOptions = {{
    {"target", "X", &MoveArgs::target, kTargetPositionRange, "X_TARGET (RAMP, SOFTMODE)"},
    {"velocity", "V", &MoveArgs::velocity, kTargetVelocityRange,
     "V_TARGET (VELOCITY), or V_ACTUAL held (HOLD)"},
    {"vmin", "V", &MoveArgs::vMin, kVelocityLimitRange, "V_MIN (RAMP, SOFTMODE)"},
    {"vmax", "V", &MoveArgs::vMax, kVelocityLimitRange, "V_MAX (RAMP, SOFTMODE)"},
    {"amax", "A", &MoveArgs::aMax, kAccelerationRange, "A_MAX (RAMP, SOFTMODE, VELOCITY)"},
}};

const std::array<PhysicalMoveOption, 2> kPhysicalMoveOptions = {{
    {"vmax_steps", "STEPS_PER_S", &MoveArgs::vMaxSteps, "vmax", &MoveArgs::vMax, MotorReg::VMax,
     "V_MAX in steps/s, sent as the nearest V_MAX at the motor's dividers and the clock"},
    {"amax_steps", "STEPS_PER_S2", &MoveArgs::aMaxSteps, "amax", &MoveArgs::aMax, MotorReg::AMax,
     "A_MAX in steps/s², sent as the nearest A_MAX at the motor's dividers and the clock"},
}};

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kWaitPoll = std::chrono::milliseconds(20);

// The option's value, or the chip's current value of the register it lands in; checked against
// the same range either way, since a value the chip holds need not fit where it goes now.
int ValueOrCurrent(BoardSession& board, int motor, const std::optional<int>& given, MotorReg reg,
                   ValueRange range, const std::string& option) {
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

MotionRequest Request(BoardSession& board, int motor, const MoveArgs& m, const OptionStyle& style) {
    MotionRequest r;
    r.rampMode = m.mode;
    const auto value = [&](const std::optional<int>& given, MotorReg reg, ValueRange range,
                           const char* option) {
        return ValueOrCurrent(board, motor, given, reg, range, style.Option(option));
    };
    switch (m.mode) {
    case RampModeRamp:
    case RampModeSoft:
        r.xTarget = value(m.target, MotorReg::XTarget, kTargetPositionRange, "target");
        r.vMin = value(m.vMin, MotorReg::VMin, kVelocityLimitRange, "vmin");
        r.vMax = value(m.vMax, MotorReg::VMax, kVelocityLimitRange, "vmax");
        r.aMax = value(m.aMax, MotorReg::AMax, kAccelerationRange, "amax");
        break;
    case RampModeVelocity:
        r.vTarget = value(m.velocity, MotorReg::VTarget, kTargetVelocityRange, "velocity");
        r.aMax = value(m.aMax, MotorReg::AMax, kAccelerationRange, "amax");
        break;
    case RampModeHold:
        r.vActual = value(m.velocity, MotorReg::VActual, kActualVelocityRange, "velocity");
        break;
    }
    return r;
}

// `args` with each physical value as the raw value nearest to it, which `sent` lists with what
// it stands for. The dividers are read only when a physical value is given; nothing is written
// before all are known to fit.
MoveArgs RawArgs(BoardSession& board, int motor, const MoveArgs& args, const OptionStyle& style,
                 int clockMhz, NamedValues& sent) {
    for (const PhysicalMoveOption& option : kPhysicalMoveOptions) {
        if (args.*option.value && args.*option.raw) {
            throw UsageError(style.Option(option.rawName) + " and " + style.Option(option.name) +
                             " both give " + std::string(Register(option.reg).name) +
                             ": give one of them");
        }
    }
    MoveArgs raw = args;
    std::optional<MotorDividers> dividers;
    for (const PhysicalMoveOption& option : kPhysicalMoveOptions) {
        const std::optional<double>& given = args.*option.value;
        if (!given) {
            continue;
        }
        if (!dividers) {
            dividers = ReadDividers(board, motor);
        }
        const RegisterDef& reg = Register(option.reg);
        const int32_t value =
            RawValueOf(reg, *given, clockMhz, *dividers, style.Option(option.name));
        raw.*option.raw = value;
        const PhysicalUnits units(clockMhz, dividers->pulsDiv, dividers->rampDiv);
        sent.push_back(Number(std::string(reg.name), value));
        sent.push_back(PhysicalValue(reg, value, units));
    }
    return raw;
}

// Polls until the motor has arrived at its target, or stands when `toStand`. Progress is a
// changed position, or when standing is the goal, a smaller speed: none for kNoProgress and
// the motor will not get there. Returns the final position, or 0 velocity.
NamedValue WaitForArrival(BoardSession& board, int motor, bool toStand) {
    const MotorReg watched = toStand ? MotorReg::VActual : MotorReg::XActual;
    const RegisterDef& reg = Register(watched);
    std::optional<int32_t> last;
    Clock::time_point progressed = Clock::now();
    for (;;) {
        const Answer a = RequiredAnswer(board, ReadTelegram(reg, motor));
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
            throw NoMotion("motor " + std::to_string(motor + 1) +
                           (toStand ? " does not slow down" : " does not move"));
        }
        if (!board.Pause(now + kWaitPoll)) {
            throw Interrupted("interrupted before the motor arrived");
        }
    }
}

} // namespace

NamedValues Move(BoardSession& board, int motor, const MoveArgs& given, const OptionStyle& style,
                 int clockMhz) {
    NamedValues sent;
    const MoveArgs args = RawArgs(board, motor, given, style, clockMhz, sent);
    const MotionRequest r = Request(board, motor, args, style);
    int refused = 0;
    const SequenceResult result = GoSequence(Transfers(board), motor, r, [&](int minimum) {
        refused = minimum;
        return args.force ? MinimumChoice::Continue : MinimumChoice::Cancel;
    });
    if (result == SequenceResult::Cancelled) {
        throw BoardError("A_MAX " + std::to_string(r.aMax) +
                         " is below the smallest advisable value " + std::to_string(refused) +
                         " for this motor's dividers; " + style.Flag("force") +
                         " goes on all the same");
    }
    if (result == SequenceResult::Unanswered) {
        Unanswered(board);
    }
    NamedValues items = {Number("motor", motor + 1),
                         Text("mode", std::string(kRampModeNames[size_t(r.rampMode)]))};
    items.insert(items.end(), sent.begin(), sent.end());
    const bool toTarget = r.rampMode == RampModeRamp || r.rampMode == RampModeSoft;
    const bool toStand = r.rampMode == RampModeVelocity && r.vTarget == 0;
    if (args.wait && (toTarget || toStand)) {
        items.push_back(WaitForArrival(board, motor, toStand));
    }
    return items;
}

void StopMotors(BoardSession& board, std::optional<int> motor,
                const std::function<void(int motor)>& stopped) {
    const std::vector<int> motors = motor ? std::vector<int>{*motor} : std::vector<int>{0, 1, 2};
    for (int m : motors) {
        if (!StopSequence(Transfers(board), m)) {
            Unanswered(board);
        }
        stopped(m);
    }
}

} // namespace vrx
