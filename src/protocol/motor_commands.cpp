#include "protocol/motor_commands.h"

#include "chip/value_format.h"
#include "protocol/command_errors.h"
#include "protocol/required_answer.h"
#include "protocol/unit_values.h"

#include <bit>
#include <cstdlib>
#include <string>
#include <vector>

namespace vrx {

namespace {

constexpr unsigned kRampModes = 1u << RampModeRamp | 1u << RampModeSoft;
constexpr unsigned kVelocityMode = 1u << RampModeVelocity;
constexpr unsigned kHoldMode = 1u << RampModeHold;

} // namespace

const std::array<MoveOption, 5> kMoveOptions = {{
    {"target", "X", &MoveArgs::target, kTargetPositionRange, "X_TARGET (RAMP, SOFTMODE)",
     kRampModes},
    {"velocity", "V", &MoveArgs::velocity, kTargetVelocityRange,
     "V_TARGET (VELOCITY), or V_ACTUAL held (HOLD)", kVelocityMode | kHoldMode},
    {"vmin", "V", &MoveArgs::vMin, kVelocityLimitRange, "V_MIN (RAMP, SOFTMODE)", kRampModes},
    {"vmax", "V", &MoveArgs::vMax, kVelocityLimitRange, "V_MAX (RAMP, SOFTMODE)", kRampModes},
    {"amax", "A", &MoveArgs::aMax, kAccelerationRange, "A_MAX (RAMP, SOFTMODE, VELOCITY)",
     kRampModes | kVelocityMode},
}};

const std::array<PhysicalMoveOption, 2> kPhysicalMoveOptions = {{
    {"vmax_steps", "STEPS_PER_S", &MoveArgs::vMaxSteps, "vmax", &MoveArgs::vMax, MotorReg::VMax,
     "V_MAX in steps/s (RAMP, SOFTMODE), sent as the nearest V_MAX at the motor's dividers and "
     "the clock",
     kRampModes},
    {"amax_steps", "STEPS_PER_S2", &MoveArgs::aMaxSteps, "amax", &MoveArgs::aMax, MotorReg::AMax,
     "A_MAX in steps/s² (RAMP, SOFTMODE, VELOCITY), sent as the nearest A_MAX at the motor's "
     "dividers and the clock",
     kRampModes | kVelocityMode},
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
    // A value the mode does not send would be shown as if it had been.
    const std::string_view mode = kRampModeNames[size_t(args.mode)];
    const auto refuseUnsent = [&](bool given, std::string_view name, unsigned modes) {
        if (given && (modes & 1u << args.mode) == 0) {
            throw UsageError(style.Option(name) + " is not sent in " + std::string(mode) +
                             " mode; leave it out");
        }
    };
    for (const MoveOption& option : kMoveOptions) {
        refuseUnsent(bool(args.*option.value), option.name, option.modes);
    }
    for (const PhysicalMoveOption& option : kPhysicalMoveOptions) {
        refuseUnsent(bool(args.*option.value), option.name, option.modes);
    }
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

// Polls until the motor has arrived at `target`, or stands when `toStand`. Progress is a
// changed position or a velocity other than 0 (a slow motor may take seconds for one step), or
// when standing is the goal, a smaller speed: none for kNoProgress and the motor will not get
// there. A stop sent through the session meanwhile ends the wait at once. Returns the final
// position, or 0 velocity.
NamedValue WaitForArrival(BoardSession& board, int motor, int target, bool toStand,
                          uint32_t stopsBefore) {
    const MotorReg watched = toStand ? MotorReg::VActual : MotorReg::XActual;
    const RegisterDef& reg = Register(watched);
    std::optional<int32_t> last;
    Clock::time_point progressed = Clock::now();
    for (;;) {
        // Asked before the read, so a stop that came meanwhile shows where it left the motor.
        const bool stopped = board.Stops(motor) != stopsBefore;
        const Answer a = RequiredAnswer(board, ReadTelegram(reg, motor));
        const int32_t value = SignExtend(a.Value(), reg.displaySignBit);
        if (toStand ? value == 0 : (a.Status() & StatusTargetReached(motor)) != 0) {
            return Number(std::string(reg.name), value);
        }
        if (stopped) {
            throw Stopped("motor " + std::to_string(motor + 1) + " was stopped at " +
                          std::to_string(value) + " before reaching " + std::to_string(target));
        }
        bool progress = !last || (toStand ? std::abs(value) < std::abs(*last) : value != *last);
        if (!progress && !toStand) {
            progress = ReadValue(board, MotorReg::VActual, motor) != 0;
        }
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

// Why an A_MAX below the smallest advisable value `minimum` was refused, and what to change:
// A_MAX itself where the field holds the minimum, else the dividers.
std::string AdviceBelowMinimum(int aMax, int minimum, MotorDividers d) {
    const std::string at =
        " for PULSDIV " + std::to_string(d.pulsDiv) + " and RAMPDIV " + std::to_string(d.rampDiv);
    const int most = kAccelerationRange.max;
    if (minimum <= most) {
        return "A_MAX " + std::to_string(aMax) + " is below the smallest advisable value " +
               std::to_string(minimum) + at;
    }
    // The minimum is 2^(RAMPDIV - PULSDIV - 1), within A_MAX's reach while RAMPDIV - PULSDIV is
    // at most the field's width.
    const int span = std::bit_width(unsigned(most));
    return "no A_MAX is advisable" + at + ": it would take " + std::to_string(minimum) +
           ", more than A_MAX holds (" + std::to_string(most) +
           "); a RAMPDIV of at most PULSDIV + " + std::to_string(span) + " (here " +
           std::to_string(d.pulsDiv + span) + ") or a larger PULSDIV brings it within reach";
}

} // namespace

NamedValues Move(BoardSession& board, int motor, const MoveArgs& given, const OptionStyle& style,
                 int clockMhz) {
    NamedValues sent;
    // What the move reads and writes goes out as one sequence: another thread's telegrams
    // between them could leave the motor half programmed.
    LineHold hold = board.Hold();
    const MoveArgs args = RawArgs(board, motor, given, style, clockMhz, sent);
    const MotionRequest r = Request(board, motor, args, style);
    int refused = 0;
    MotorDividers dividers; // as the sequence reads them, for the advice on a refusal
    const auto transfer = [&board, &dividers](const Telegram& t) {
        const std::optional<Answer> a = board.Transfer(t);
        if (a && t.IsRead() && t.RegisterIndex() == kDividerRegister) {
            dividers = DecodeDividers(a->Value());
        }
        return a;
    };
    const uint32_t stopsBefore = board.Stops(motor);
    const SequenceResult result = GoSequence(transfer, motor, r, [&](int minimum) {
        refused = minimum;
        return args.force ? MinimumChoice::Continue : MinimumChoice::Cancel;
    });
    hold.Release();
    if (result == SequenceResult::Cancelled) {
        throw UsageError(AdviceBelowMinimum(r.aMax, refused, dividers) + "; " +
                         style.Flag("force") + " goes on all the same");
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
        items.push_back(WaitForArrival(board, motor, r.xTarget, toStand, stopsBefore));
    }
    return items;
}

void StopMotors(BoardSession& board, std::optional<int> motor,
                const std::function<void(int motor)>& stopped) {
    const std::vector<int> motors = motor ? std::vector<int>{*motor} : std::vector<int>{0, 1, 2};
    for (int m : motors) {
        const LineHold hold = board.Hold();
        if (!StopSequence(Transfers(board), m)) {
            Unanswered(board);
        }
        board.NoteStopped(m);
        stopped(m);
    }
}

} // namespace vrx
