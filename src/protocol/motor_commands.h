#pragma once
// A motor moved as the motor panel's Go does, with the parameters not given read from the chip
// first and the wait for the motor to arrive, which gives up when the motor makes no progress;
// and motors stopped as the Stop buttons do. V_MAX and A_MAX may be given in steps/s and
// steps/s² instead, turned into the nearest raw value at the motor's dividers read first.

#include "chip/register_map.h"
#include "protocol/board_session.h"
#include "protocol/motor_sequences.h"
#include "protocol/named_values.h"
#include "protocol/option_style.h"

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string_view>

namespace vrx {

struct MoveArgs {
    int mode = 0; // RAMP, SOFTMODE, VELOCITY, HOLD
    // Not given: the chip's current value is kept.
    std::optional<int> target;
    std::optional<int> velocity;
    std::optional<int> vMin;
    std::optional<int> vMax;
    std::optional<int> aMax;
    // In steps/s and steps/s², each instead of its raw value.
    std::optional<double> vMaxSteps;
    std::optional<double> aMaxSteps;
    bool wait = false;
    bool force = false; // go on with an A_MAX below the smallest advisable value
};

// The values a move takes, with the range each is checked against before anything is sent.
struct MoveOption {
    std::string_view name;      // target: --target on the command line, target= in Python
    std::string_view valueName; // what the help calls the value: X, V, A
    std::optional<int> MoveArgs::*value;
    ValueRange range;
    std::string_view help; // the register it lands in, in which modes
    unsigned modes;        // the ramp modes that send it: bit RampModeRamp, ...
};
extern const std::array<MoveOption, 5> kMoveOptions;

// The values a move takes in physical units, each in place of the raw option it names.
struct PhysicalMoveOption {
    std::string_view name; // vmax_steps: --vmax-steps on the command line, vmax_steps= in Python
    std::string_view valueName; // STEPS_PER_S
    std::optional<double> MoveArgs::*value;
    std::string_view rawName; // the raw option, which it excludes
    std::optional<int> MoveArgs::*raw;
    MotorReg reg;
    std::string_view help;
    unsigned modes;
};
extern const std::array<PhysicalMoveOption, 2> kPhysicalMoveOptions;

// A motor that makes no progress for this long on its way will not arrive.
constexpr auto kNoProgress = std::chrono::seconds(2);

// Motor 0..2 on a board at `clockMhz`. A value the mode does not send is refused, as is an
// A_MAX below the smallest advisable value without `force`, each as a UsageError. Returns the
// motor and mode, each raw value sent for a
// physical one with what it stands for (V_MAX, V_MAX_STEPS_S), and, with `wait`, once the motor
// has arrived (or stands, for VELOCITY 0), its final X_ACTUAL (V_ACTUAL). Throws NoMotion when
// it stands still for kNoProgress without arriving.
NamedValues Move(BoardSession& board, int motor, const MoveArgs& args, const OptionStyle& style,
                 int clockMhz);
// The motor (0..2), or all three; `stopped` after each.
void StopMotors(BoardSession& board, std::optional<int> motor,
                const std::function<void(int motor)>& stopped);

} // namespace vrx
