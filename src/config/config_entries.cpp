#include "config/config_entries.h"

#include "chip/register_names.h"
#include "chip/value_format.h"

#include <algorithm>
#include <array>

namespace vrx {

namespace {

constexpr std::array<std::string_view, kConfigSections> kSectionNames = {"motor1", "motor2",
                                                                         "motor3", "global"};

constexpr MotorReg kMotorConfigRegisters[] = {
    MotorReg::VMin,       MotorReg::VMax,     MotorReg::AMax,
    MotorReg::Currents,   MotorReg::PMulPDiv, MotorReg::RefConfRampMode,
    MotorReg::Interrupts, MotorReg::Dividers, MotorReg::DxRefTolerance,
};
constexpr GlobalReg kGlobalConfigRegisters[] = {GlobalReg::Cover, GlobalReg::GlobalParameters};

// Write fields of the configuration registers that are not settings.
bool Excluded(std::string_view normalName) {
    return normalName == "RAMP_MODE" || normalName == "INTERRUPT_FLAGS";
}

bool IsBitList(std::string_view normalName) {
    return normalName == "REF_CONF" || normalName == "INTERRUPT_MASK";
}

struct Tables {
    std::vector<ConfigRegister> registers;
    std::vector<ConfigEntry> entries;
};

const Tables& BuildTables() {
    static const Tables tables = [] {
        Tables t;
        for (const GlobalReg reg : kGlobalConfigRegisters) {
            t.registers.push_back({ConfigSection::Global, &Register(reg), 0});
        }
        for (int motor = 0; motor < kMotorCount; ++motor) {
            for (const MotorReg reg : kMotorConfigRegisters) {
                t.registers.push_back({ConfigSection(motor), &Register(reg), motor});
            }
        }
        // Files list the motors first: the section order of the file, register order within.
        for (int section = 0; section < kConfigSections; ++section) {
            for (size_t r = 0; r < t.registers.size(); ++r) {
                const ConfigRegister& cr = t.registers[r];
                if (int(cr.section) != section) {
                    continue;
                }
                for (size_t f = 0; f < cr.reg->writeFields.size(); ++f) {
                    const std::string key = NormalName(FieldName(*cr.reg, cr.reg->writeFields[f]));
                    if (!Excluded(key)) {
                        t.entries.push_back({int(r), f, key, IsBitList(key)});
                    }
                }
            }
        }
        return t;
    }();
    return tables;
}

} // namespace

std::string_view SectionName(ConfigSection section) {
    return kSectionNames[size_t(section)];
}

std::optional<ConfigSection> FindSection(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    for (size_t i = 0; i < kSectionNames.size(); ++i) {
        if (kSectionNames[i] == lower) {
            return ConfigSection(i);
        }
    }
    return std::nullopt;
}

const std::vector<ConfigRegister>& ConfigRegisters() {
    return BuildTables().registers;
}

const std::vector<ConfigEntry>& ConfigEntries() {
    return BuildTables().entries;
}

const ConfigRegister& RegisterOf(const ConfigEntry& entry) {
    return ConfigRegisters()[size_t(entry.registerIndex)];
}

const Field& FieldOf(const ConfigEntry& entry) {
    return RegisterOf(entry).reg->writeFields[entry.field];
}

std::optional<size_t> FindEntry(ConfigSection section, std::string_view key) {
    const std::string wanted = NormalName(key);
    const auto& entries = ConfigEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (RegisterOf(entries[i]).section == section && entries[i].key == wanted) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> WhyNotConfiguration(std::string_view key) {
    const std::string name = NormalName(key);
    const RegisterDef* reg = FindRegister(name);
    if (reg == nullptr) {
        return std::nullopt;
    }
    for (const MotorReg moving :
         {MotorReg::XTarget, MotorReg::XActual, MotorReg::VTarget, MotorReg::VActual}) {
        if (reg == &Register(moving)) {
            return name + " moves the motor";
        }
    }
    if (name == "RAMP_MODE") {
        return name + " moves the motor";
    }
    if (reg == &Register(GlobalReg::CoverTelegram)) {
        return name + " is a telegram the chip sends on, not a setting";
    }
    const bool configField =
        name != "INTERRUPT_FLAGS" && name != "LP" &&
        (FindEntry(ConfigSection::Motor1, name) || FindEntry(ConfigSection::Global, name));
    if (configField) {
        return std::nullopt;
    }
    return name + " only reports the chip's state";
}

bool ZeroWhenWritten(const Field& field) {
    return NormalName(field.name) == "INTERRUPT_FLAGS";
}

std::string ValueText(const ConfigEntry& entry, int32_t value) {
    return entry.bitList ? "0b" + BitString(uint32_t(value), FieldOf(entry).width)
                         : std::to_string(value);
}

} // namespace vrx
