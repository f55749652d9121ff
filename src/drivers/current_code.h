#pragma once
// The maximum-current code of the VRX516 driver command: the current in mA scaled so that 255
// stands for 1500 mA.

#include <cstdint>

namespace vrx {

constexpr int kMaxCurrentMilliamps = 1500;

// Rounds to the nearest code, an exact half to the even one. A value outside 0..1500 (a field
// that still holds a typed number when the button is pressed) is clamped first, so the code
// always fits its byte.
uint8_t CurrentCode(int milliamps);

} // namespace vrx
