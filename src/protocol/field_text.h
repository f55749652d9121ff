#pragma once
// Values as text interfaces take and show them: whole numbers as decimal, 0x hexadecimal or 0b
// binary; register fields the way a write takes them and a read shows them; ramp modes by name;
// names as identifiers. Every refusal says why in words shared by vrx630ctl and the Python
// module.

#include "chip/register_map.h"
#include "protocol/named_values.h"
#include "protocol/option_style.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vrx {

// Why `text`, a number as given, lies outside [min, max]: "5000 is out of range 0..2047".
std::string RangeProblem(const std::string& text, long long min, long long max);
// Why `text` is no whole number within [min, max]; empty when it is one, stored in `value`.
std::string NumberProblem(const std::string& text, long long min, long long max, int64_t& value);
// A value given for `option`, checked against [min, max]; a UsageError otherwise.
void CheckOption(const OptionStyle& style, std::string_view option, long long value, long long min,
                 long long max);
// A number within -1..1 as typed (the wave shape's sigma); nothing for anything else.
std::optional<double> ParseUnitFraction(const std::string& text);
// A byte as two hexadecimal digits (one will do); nothing for anything else.
std::optional<uint8_t> ParseHexByte(const std::string& text);
// The ramp mode named (RAMP, SOFTMODE, VELOCITY, HOLD, in any case) stored in `mode`; else why
// not.
std::string RampModeProblem(const std::string& text, int& mode);

// A field shown as a list of bits (REF_CONF, INTERRUPT_MASK, INTERRUPT_FLAGS): taken and shown
// as a bit string with 0b in front.
bool IsBitList(const Field& field);
// The names of a bit list's bits, bit 0 first, as the register window's check list shows them
// (DISABLE_STOP_L, ...); none for any other field.
std::span<const std::string_view> BitNames(const Field& field);
// The value of FIELD=VALUE, checked against the range the program advises for the field, or
// with `force` against every value the chip holds; a UsageError otherwise, which names
// `forceFlag` where it would take the value.
int32_t ParseFieldValue(const RegisterDef& reg, const Field& field, const std::string& text,
                        bool force = false, const std::string& forceFlag = {});
// The field's value under its identifier, as a write would take it back.
NamedValue FieldValue(const RegisterDef& reg, const Field& field, int32_t value);

// A register's name as reads and writes show it: its identifier, or for a register of several
// fields their identifiers joined by " / " ("PULSDIV / RAMPDIV / USTEP_RES").
std::string RegisterTitle(const RegisterDef& reg);

// A name as an identifier: upper case, blanks as underscores, "=" as EQ ("X_ACTUAL1 =
// X_TARGET1" is X_ACTUAL1_EQ_X_TARGET1).
std::string Identifier(std::string_view name);

} // namespace vrx
