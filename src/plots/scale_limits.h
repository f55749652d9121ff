#pragma once
// ScaleLimits: the value ranges of one motor's four plot scales, and the rounding that derives
// them from the extremes of the motor's buffer. Velocity, acceleration and target velocity run
// from 0 up to a multiple of 100; position runs between multiples of 5000 that hold 0.
// Limits are 64 bit so that rounding the largest 32-bit value up cannot overflow.

#include <cstdint>

namespace vrx {

struct ScaleLimits {
    int64_t VelMax = 100;
    int64_t AccMax = 100;
    int64_t TVelMax = 100;
    int64_t PosMin = 0;
    int64_t PosMax = 5000;

    friend bool operator==(const ScaleLimits&, const ScaleLimits&) = default;
};

// The extremes of one motor's buffer, with the starting values of the scan.
struct SeriesExtremes {
    int64_t vmax = -1;
    int64_t amax = -1;
    int64_t tmax = -1;
    int64_t pmax = -1;
    int64_t pmin = 0; // never above 0
};

// The top of a scale whose lowest value is 0: the next multiple of 100 at or above `largest`,
// at least 100.
int64_t MagnitudeScaleMax(int64_t largest);
// The nearest multiple of 5000 at or below `pmin` (pmin <= 0).
int64_t PositionScaleMin(int64_t pmin);
// The top of the position scale. A motor standing on a negative multiple of 5000 for a whole
// buffer would give an empty range; the scale then keeps 5000 above `posMin`.
int64_t PositionScaleMax(int64_t pmax, int64_t posMin);

ScaleLimits LimitsFor(const SeriesExtremes& extremes);
// The buffer's extremes equal the limits exactly: nothing to rescale.
bool LimitsMatch(const ScaleLimits& limits, const SeriesExtremes& extremes);

} // namespace vrx
