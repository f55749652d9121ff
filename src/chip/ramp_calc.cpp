#include "chip/ramp_calc.h"

#include <cmath>

namespace vrx {

int MinAMax(int rampDiv, int pulseDiv) {
    const int e = rampDiv - pulseDiv - 1;
    return e >= 0 ? 1 << e : 1;
}

PMulPDiv CalcPMulPDiv(int aMax, int rampDiv, int pulseDiv) {
    // The quotient is formed in extended precision with 0.95 held in extended precision, then
    // rounded to double once; the truncation below depends on this order.
    const long double divisor = 128.0L * std::ldexp(1.0L, rampDiv - pulseDiv);
    const double m = static_cast<double>(0.95L * static_cast<long double>(aMax) / divisor);
    PMulPDiv result;
    for (int i = 0; i <= 13; ++i) {
        const double product = std::ldexp(m, i + 3);
        if (product >= 128.0 && product < 256.0) {
            result = {static_cast<int>(product), i};
        }
    }
    return result;
}

} // namespace vrx
