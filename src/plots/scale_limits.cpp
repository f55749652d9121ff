#include "plots/scale_limits.h"

namespace vrx {

namespace {

constexpr int64_t kMagnitudeStep = 100;
constexpr int64_t kPositionStep = 5000;

} // namespace

// Division and remainder cut towards zero, as C++ does.
int64_t MagnitudeScaleMax(int64_t largest) {
    int64_t top = (largest / kMagnitudeStep) * kMagnitudeStep;
    if (largest % kMagnitudeStep != 0) {
        top += kMagnitudeStep;
    }
    return top < kMagnitudeStep ? kMagnitudeStep : top;
}

int64_t PositionScaleMin(int64_t pmin) {
    const int64_t whole = (pmin / kPositionStep) * kPositionStep;
    int64_t bottom = whole <= 0 ? whole : 0;
    if (pmin % kPositionStep != 0) {
        bottom -= kPositionStep;
    }
    return bottom;
}

int64_t PositionScaleMax(int64_t pmax, int64_t posMin) {
    const int64_t whole = (pmax / kPositionStep) * kPositionStep;
    int64_t top = whole;
    if (posMin == 0 && whole < kPositionStep) {
        top = kPositionStep;
    }
    if (pmax % kPositionStep != 0) {
        top += kPositionStep;
    }
    return top > posMin ? top : posMin + kPositionStep;
}

ScaleLimits LimitsFor(const SeriesExtremes& extremes) {
    ScaleLimits limits;
    limits.VelMax = MagnitudeScaleMax(extremes.vmax);
    limits.AccMax = MagnitudeScaleMax(extremes.amax);
    limits.TVelMax = MagnitudeScaleMax(extremes.tmax);
    limits.PosMin = PositionScaleMin(extremes.pmin);
    limits.PosMax = PositionScaleMax(extremes.pmax, limits.PosMin);
    return limits;
}

bool LimitsMatch(const ScaleLimits& limits, const SeriesExtremes& extremes) {
    return extremes.vmax == limits.VelMax && extremes.amax == limits.AccMax &&
           extremes.pmax == limits.PosMax && extremes.pmin == limits.PosMin &&
           extremes.tmax == limits.TVelMax;
}

} // namespace vrx
