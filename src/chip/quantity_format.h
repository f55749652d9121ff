#pragma once
// Physical motion values as the displays show them: about four significant digits, never fewer
// than the whole number of steps, thousands separated by commas and trailing zeros dropped, so
// "1,907 steps/s", "244,141 steps/s", "29.1 steps/s²", "0.0298 steps/s".

#include "chip/physical_units.h"

#include <string>

namespace vrx {

// The number alone, e.g. "1,907", "-29.1", "0.0298"; a finite value.
std::string FormatQuantity(double value);
// With a prefix from a thousand on, `significant` digits: "1.91k", "244k", "976.1M", "29.1".
std::string FormatQuantityPrefixed(double value, int significant);
// The number as scripts read it: six significant digits (never fewer than the whole number),
// no thousands separators, no exponent, trailing zeros dropped: "1907.35", "-29.1038",
// "3906250000", "0.00000173472". Six digits tell every raw value apart.
std::string PlainQuantity(double value);

// "1,907 steps/s" or "29.1 steps/s²"; `compact` gives a prefix from a million on, for a
// display of fixed width: "976.1M steps/s²".
std::string FormatInUnit(UnitKind kind, double value, bool compact = false);
std::string FormatStepRate(StepRate rate);
std::string FormatStepAcceleration(StepAcceleration accel);

} // namespace vrx
