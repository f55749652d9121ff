#include "chip/wave_shape.h"

#include <algorithm>
#include <cmath>

namespace vrx {

namespace {

// The table depends on these literals to the last digit: the right angle and the triangle
// slope lie slightly above pi/2 and 2/pi, which keeps entry 32 of the triangle at 0x20.
constexpr double kRightAngle = 1.570796326795;
constexpr double kTrapezoidCorner = 0.7853981633974;
constexpr double kTrapezoidSlope = 0.9003163161571;
constexpr double kTriangleSlope = 0.6366197723676;
constexpr int kFullScale = 63;

} // namespace

double ShapeSine(double x) {
    return std::sin(x);
}

double ShapeTrapezoid(double x) {
    return x >= kTrapezoidCorner ? 1.0 / std::sqrt(2.0) : kTrapezoidSlope * x;
}

double ShapeTriangle(double x) {
    return kTriangleSlope * x;
}

double ShapeValue(double x, double sigma) {
    const double s = std::clamp(sigma, -1.0, 1.0);
    const double sine = ShapeSine(x);
    if (sigma > 0) {
        return sine + (ShapeTrapezoid(x) - sine) * s;
    }
    return sine + (sine - ShapeTriangle(x)) * s;
}

std::array<uint8_t, kShapeEntries> CalcShapeTable(double sigma) {
    if (std::isnan(sigma)) {
        sigma = -1.0; // not a number: the minimum, as for any text that is not one
    }
    std::array<uint8_t, kShapeEntries> table{};
    for (int i = 0; i < kShapeEntries; ++i) {
        const double x = i * kRightAngle / kShapeEntries;
        const double r = std::trunc(kFullScale * ShapeValue(x, sigma) + 0.5);
        table[static_cast<size_t>(i)] =
            static_cast<uint8_t>(std::clamp(r, 0.0, double(kFullScale)));
    }
    return table;
}

} // namespace vrx
