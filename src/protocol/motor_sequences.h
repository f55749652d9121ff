#pragma once
// The telegram sequences that program one motor: Go in one of the four ramp modes, and Stop.
// They run over a transfer function, so the main window (waiting in its event loop) and the
// command-line tool (waiting on the line) send the very same telegrams. A sequence ends at the
// first telegram the board leaves unanswered.

#include "chip/ram_transfer.h"

#include <functional>

namespace vrx {

struct MotionRequest {
    int rampMode = 0; // RAMP, SOFTMODE, VELOCITY, HOLD
    int xTarget = 0;
    int vTarget = 0; // VELOCITY: signed; its magnitude goes to V_MAX
    int vMin = 0;
    int vMax = 0;
    int aMax = 0;
    int vActual = 0; // HOLD
};

// Asked when A_MAX lies below the smallest advisable value for the motor's dividers; false
// leaves the ramp registers as they are (the mode is written all the same).
using ConfirmMinimum = std::function<bool(int minimum)>;

// Motor 0..2. False when the board left a telegram unanswered.
bool GoSequence(const TransferFunction& transfer, int motor, const MotionRequest& request,
                const ConfirmMinimum& confirm);
bool StopSequence(const TransferFunction& transfer, int motor);

} // namespace vrx
