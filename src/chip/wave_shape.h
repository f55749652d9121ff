#pragma once
// The microstep wave table of the VRX630: 64 entries of 0..63 that describe one quarter period
// of the coil current, computed from one shape parameter sigma in -1..+1: 0 a sine, -1 a
// straight ramp (triangle), +1 a trapezoid flat from 45 degrees on; values between blend them.

#include <array>
#include <cstdint>

namespace vrx {

constexpr int kShapeEntries = 64;
constexpr int kShapeFirstByte = 0x40; // entry i is RAM byte 0x40 + i

double ShapeSine(double x);
double ShapeTrapezoid(double x);
double ShapeTriangle(double x);
double ShapeValue(double x, double sigma);
std::array<uint8_t, kShapeEntries> CalcShapeTable(double sigma);

} // namespace vrx
