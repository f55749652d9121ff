#pragma once
// The values vrx630ctl takes and shows: whole numbers as decimal, 0x hexadecimal or 0b binary;
// register fields the way `set` takes them and `get` shows them; names as identifiers.

#include "chip/register_map.h"
#include "ctl/ctl_output.h"

#include <optional>
#include <string>
#include <string_view>

namespace vrx::ctl {

// Why `text` is no whole number within [min, max]; empty when it is one, stored in `value`.
std::string NumberProblem(const std::string& text, long long min, long long max, int64_t& value);
// A number within -1..1 as typed (the wave shape's sigma); nothing for anything else.
std::optional<double> ParseUnitFraction(const std::string& text);
// A byte as two hexadecimal digits (one will do); nothing for anything else.
std::optional<uint8_t> ParseHexByte(const std::string& text);

// A field shown as a list of bits (REF_CONF, INTERRUPT_MASK, INTERRUPT_FLAGS): taken and shown
// as a bit string with 0b in front.
bool IsBitList(const Field& field);
// The value of FIELD=VALUE, checked against the field's range; a usage error otherwise.
int32_t ParseFieldValue(const RegisterDef& reg, const Field& field, const std::string& text);
// The field's value under its identifier, as `set` would take it back.
Item FieldItem(const RegisterDef& reg, const Field& field, int32_t value);

// A register's name as get and set show it: its identifier, or for a register of several
// fields their identifiers joined by " / " ("PULSDIV / RAMPDIV / USTEP_RES").
std::string RegisterTitle(const RegisterDef& reg);

// A name as an identifier: upper case, blanks as underscores, "=" as EQ ("X_ACTUAL1 =
// X_TARGET1" is X_ACTUAL1_EQ_X_TARGET1).
std::string Identifier(std::string_view name);

} // namespace vrx::ctl
