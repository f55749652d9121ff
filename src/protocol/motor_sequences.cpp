#include "protocol/motor_sequences.h"

#include "chip/ramp_calc.h"
#include "chip/register_map.h"

#include <cstdlib>

namespace vrx {

namespace {

// Bytes 2, 1 and 0 of a value, as the registers take them.
uint8_t Byte2(int value) {
    return static_cast<uint8_t>((value >> 16) & 0xFF);
}
uint8_t Byte1(int value) {
    return static_cast<uint8_t>((value >> 8) & 0xFF);
}
uint8_t Byte0(int value) {
    return static_cast<uint8_t>(value & 0xFF);
}

} // namespace

SequenceResult GoSequence(const TransferFunction& transfer, int motor, const MotionRequest& r,
                          const ConfirmMinimum& confirm) {
    const uint8_t m = MotorOffset(motor);
    const auto send = [&](int b0, uint8_t b1, uint8_t b2, uint8_t b3) {
        return transfer({uint8_t(m + b0), b1, b2, b3}).has_value();
    };
    const bool ramp = r.rampMode == RampModeRamp || r.rampMode == RampModeSoft;

    constexpr SequenceResult kUnanswered = SequenceResult::Unanswered;
    const auto result = [](bool answered) {
        return answered ? SequenceResult::Done : SequenceResult::Unanswered;
    };
    bool proceed = true;
    if (ramp) {
        const std::optional<Answer> dividers = transfer({uint8_t(m + 0x19), 0, 0, 0});
        if (!dividers) {
            return kUnanswered;
        }
        const int pulseDiv = dividers->a2 >> 4;
        const int rampDiv = dividers->a2 & 0x0F;
        const int minimum = MinAMax(rampDiv, pulseDiv);
        if (r.aMax < minimum && confirm) {
            const MinimumChoice choice = confirm(minimum);
            if (choice == MinimumChoice::Cancel) {
                return SequenceResult::Cancelled;
            }
            proceed = choice == MinimumChoice::Continue;
        }
        if (proceed) {
            const PMulPDiv pm = CalcPMulPDiv(r.aMax, rampDiv, pulseDiv);
            if (!send(0x12, 0, uint8_t(pm.pMul), uint8_t(pm.pDiv))) {
                return kUnanswered;
            }
        }
    }

    // The ramp mode is written in every case; bits 23..8 go back as they were read.
    const std::optional<Answer> mode = transfer({uint8_t(m + 0x15), 0, 0, 0});
    if (!mode || !send(0x14, mode->a1, mode->a2, uint8_t(r.rampMode))) {
        return kUnanswered;
    }

    if (ramp && proceed) {
        return result(send(0x0C, Byte2(r.aMax), Byte1(r.aMax), Byte0(r.aMax)) &&
                      send(0x06, 0, Byte1(r.vMax), Byte0(r.vMax)) &&
                      send(0x04, 0, Byte1(r.vMin), Byte0(r.vMin)) &&
                      send(0x00, Byte2(r.xTarget), Byte1(r.xTarget), Byte0(r.xTarget)));
    }
    if (r.rampMode == RampModeVelocity) {
        const int magnitude = std::abs(r.vTarget);
        return result(send(0x0C, Byte2(r.aMax), Byte1(r.aMax), Byte0(r.aMax)) &&
                      send(0x06, 0, Byte1(magnitude), Byte0(magnitude)) &&
                      send(0x08, 0, Byte1(r.vTarget), Byte0(r.vTarget)));
    }
    if (r.rampMode == RampModeHold) {
        return result(send(0x0A, 0, Byte1(r.vActual), Byte0(r.vActual)));
    }
    return SequenceResult::Done;
}

bool StopSequence(const TransferFunction& transfer, int motor) {
    const uint8_t m = MotorOffset(motor);
    const std::optional<Answer> mode = transfer({uint8_t(m + 0x15), 0, 0, 0});
    return mode && transfer({uint8_t(m + 0x14), mode->a1, mode->a2, RampModeVelocity}) &&
           transfer({uint8_t(m + 0x08), 0, 0, 0}) && transfer({uint8_t(m + 0x0A), 0, 0, 0});
}

} // namespace vrx
