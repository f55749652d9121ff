#pragma once
// What a configuration holds: every field that sets the chip up, by section and by the name
// text interfaces use for it. Fields that move a motor or only report are left out; where such
// a field shares a register with configuration fields, the register is written with it as the
// chip must keep it.

#include "chip/register_map.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrx {

enum class ConfigSection : uint8_t { Motor1, Motor2, Motor3, Global };
constexpr int kConfigSections = 4;

// "motor1", "motor2", "motor3", "global".
std::string_view SectionName(ConfigSection section);
std::optional<ConfigSection> FindSection(std::string_view name); // any case

// A register that holds configuration fields, in one section.
struct ConfigRegister {
    ConfigSection section;
    const RegisterDef* reg;
    int motor; // 0..2, or 0 for the global unit
};

// One configuration field: write field `field` of its register.
struct ConfigEntry {
    int registerIndex; // into ConfigRegisters()
    size_t field;
    std::string key; // upper case, as text interfaces name it
    bool bitList;    // written as a bit string of the field's width
};

// Registers in the order they are written: global first, then motors 1 to 3.
const std::vector<ConfigRegister>& ConfigRegisters();
// Fields in the order a file lists them: motors 1 to 3, then global.
const std::vector<ConfigEntry>& ConfigEntries();
const ConfigRegister& RegisterOf(const ConfigEntry& entry);
const Field& FieldOf(const ConfigEntry& entry);

// The entry of `key` (any case) in `section`.
std::optional<size_t> FindEntry(ConfigSection section, std::string_view key);
// Why a known field is not part of a configuration ("moves the motor", ...); nothing for a
// name that is no field at all.
std::optional<std::string> WhyNotConfiguration(std::string_view key);

// The value a register write gives a field that is not part of the configuration: the one the
// chip holds (a ramp mode), or 0 for flags that a write of 1 would clear.
bool ZeroWhenWritten(const Field& field);

// A field's value as a file writes it: a bit list in binary of the field's width ("0b0101"),
// anything else in decimal.
std::string ValueText(const ConfigEntry& entry, int32_t value);

} // namespace vrx
