#pragma once
// The telegram sequences that program one motor: Go in one of the four ramp modes, and Stop.
// They run over a transfer function, so the main window (waiting in its event loop) and the
// command-line tool (waiting on the line) send the very same telegrams. A sequence ends at the
// first telegram the board leaves unanswered.

#include "chip/ram_transfer.h"
#include "chip/register_map.h"

#include <functional>

namespace vrx {

// The values a motor panel takes for a Go.
constexpr ValueRange kTargetPositionRange{-8388608, 8388607};
constexpr ValueRange kTargetVelocityRange{-2047,
                                          2047};   // V_TARGET is 12 bits, V_MAX takes |v| in 11
constexpr ValueRange kVelocityLimitRange{0, 2047}; // V_MIN, V_MAX
constexpr ValueRange kAccelerationRange{0, 2047};  // A_MAX
constexpr ValueRange kActualVelocityRange{-2047, 2047};

struct MotionRequest {
    int rampMode = 0; // RAMP, SOFTMODE, VELOCITY, HOLD
    int xTarget = 0;
    int vTarget = 0; // VELOCITY: signed; its magnitude goes to V_MAX
    int vMin = 0;
    int vMax = 0;
    int aMax = 0;
    int vActual = 0; // HOLD
};

// What to do when A_MAX lies below the smallest advisable value for the motor's dividers: go
// on, leave the ramp registers as they are (the mode is written all the same), or write
// nothing at all.
enum class MinimumChoice { Continue, SkipRamp, Cancel };
using ConfirmMinimum = std::function<MinimumChoice(int minimum)>;

enum class SequenceResult { Done, Unanswered, Cancelled };

// Motor 0..2.
SequenceResult GoSequence(const TransferFunction& transfer, int motor, const MotionRequest& request,
                          const ConfirmMinimum& confirm);
// False when the board left a telegram unanswered.
bool StopSequence(const TransferFunction& transfer, int motor);

} // namespace vrx
