#pragma once
// The motion registers in physical units for the text interfaces: each motor's dividers read
// from register 12 when a conversion needs them, the converted values as named results
// ("V_MAX_STEPS_S", "A_MAX_STEPS_S2"), and a physical value given for a register turned into
// the raw value nearest to it.

#include "chip/motion_units.h"
#include "chip/register_map.h"
#include "protocol/board_session.h"
#include "protocol/named_values.h"

#include <optional>
#include <string>

namespace vrx {

// The dividers of `motor` (0..2) as its register 12 holds them now: one telegram.
MotorDividers ReadDividers(BoardSession& board, int motor);
// The motor's units at `clockMhz`, by its dividers read now.
PhysicalUnits ReadUnits(BoardSession& board, int motor, int clockMhz);
// The three motors' dividers, read once, at `clockMhz`.
MotionUnits ReadMotionUnits(BoardSession& board, int clockMhz);

// The raw value of `reg` (a register of a motion unit) in it, under "<NAME>_STEPS_S" or
// "<NAME>_STEPS_S2": a number for scripts, FormatStepRate's text for people.
NamedValue PhysicalValue(const RegisterDef& reg, int32_t raw, const PhysicalUnits& units);

// The value of `reg`'s field nearest to `value` in the register's unit at the dividers and
// clock; a UsageError naming `option` and the range there when none comes near.
int32_t RawValueOf(const RegisterDef& reg, double value, int clockMhz, MotorDividers dividers,
                   const std::string& option);

} // namespace vrx
