#pragma once
// Registers and fields by the names the register window shows, for text interfaces: matched
// without regard to case, blanks as underscores, "µ" as "u", a trailing "." dropped. A register
// is found by its own name, by one of the names it joins with " / ", or by one of its fields.

#include "chip/register_map.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrx {

std::string NormalName(std::string_view name);

const RegisterDef* FindRegister(std::string_view name);
// The index of the field with that name, or of the only field when the name is the
// register's own; nothing when there is no such field.
std::optional<size_t> FindField(const RegisterDef& reg, std::span<const Field> fields,
                                std::string_view name);
// A field's name for text interfaces: its own, or the register's for a single-value register.
std::string FieldName(const RegisterDef& reg, const Field& field);
// The value of write field `writeField` as the chip holds it: decoded from the data of a read
// through the read field of the same name, or 0 where no read field has that name.
int32_t WriteFieldAsRead(const RegisterDef& reg, size_t writeField, uint32_t data);

// Every register's name for the help text, motor registers first.
std::vector<std::string> RegisterNames();

} // namespace vrx
