#pragma once
// Ramp parameters of the RAMP and SOFTMODE modes: the smallest advisable A_MAX for the motor's
// dividers, and P_MUL / P_DIV derived from A_MAX and the dividers.

namespace vrx {

int MinAMax(int rampDiv, int pulseDiv);

struct PMulPDiv {
    int pMul = 128;
    int pDiv = 0;
    friend bool operator==(const PMulPDiv&, const PMulPDiv&) = default;
};

// pMul / 2^(pDiv+3) is m = 0.95 * aMax / (128 * 2^(rampDiv - pulseDiv)) cut to eight
// significant bits; (128, 0) when m lies outside [2^-9, 32).
PMulPDiv CalcPMulPDiv(int aMax, int rampDiv, int pulseDiv);

} // namespace vrx
