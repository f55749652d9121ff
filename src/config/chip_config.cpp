#include "config/chip_config.h"

#include "chip/ram_table.h"
#include "chip/register_names.h"

#include <cstdio>

namespace vrx {

namespace {

// "0x4A": a RAM address, or a byte.
std::string HexByte(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", unsigned(value));
    return text;
}

// Configuration entry `i` where the file names it and the chip holds another value.
std::optional<ConfigDifference> EntryDifference(const ChipConfig& chip, const ChipConfig& file,
                                                size_t i) {
    const auto& c = chip.values[i];
    const auto& f = file.values[i];
    if (!c || !f || *c == *f) {
        return std::nullopt;
    }
    const ConfigEntry& entry = ConfigEntries()[i];
    return ConfigDifference{std::string(SectionName(RegisterOf(entry).section)), entry.key, *c, *f};
}

std::optional<ConfigDifference> RamDifference(const ChipConfig& chip, const ChipConfig& file,
                                              int address) {
    const auto& c = chip.ram[size_t(address)];
    const auto& f = file.ram[size_t(address)];
    if (!c || !f || *c == *f) {
        return std::nullopt;
    }
    return ConfigDifference{"ram", HexByte(address), *c, *f};
}

// The file's value of a byte where it names one, else the chip's.
uint8_t RamByte(const ChipConfig& chip, const ChipConfig& file, int address) {
    return file.ram[size_t(address)].value_or(chip.ram[size_t(address)].value_or(0));
}

} // namespace

ChipConfig::ChipConfig() : values(ConfigEntries().size()), registerData(ConfigRegisters().size()) {}

std::vector<ConfigDifference> Differences(const ChipConfig& chip, const ChipConfig& file) {
    std::vector<ConfigDifference> differences;
    for (const ApplyStep& step : ApplySteps(chip, file)) {
        differences.insert(differences.end(), step.changes.begin(), step.changes.end());
    }
    return differences;
}

std::vector<ApplyStep> ApplySteps(const ChipConfig& chip, const ChipConfig& file, bool everyWord) {
    std::vector<ApplyStep> steps;
    const auto& registers = ConfigRegisters();
    const auto& entries = ConfigEntries();
    for (size_t r = 0; r < registers.size(); ++r) {
        const RegisterDef& reg = *registers[r].reg;
        const uint32_t data = chip.registerData[r].value_or(0);
        std::vector<int32_t> values(reg.writeFields.size());
        for (size_t f = 0; f < values.size(); ++f) {
            values[f] = ZeroWhenWritten(reg.writeFields[f]) ? 0 : WriteFieldAsRead(reg, f, data);
        }
        bool differs = false;
        ApplyStep step;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (size_t(entries[i].registerIndex) != r) {
                continue;
            }
            const std::optional<int32_t> value = file.values[i] ? file.values[i] : chip.values[i];
            if (value) {
                values[entries[i].field] = *value;
            }
            differs |= file.values[i] && file.values[i] != chip.values[i];
            if (const auto d = EntryDifference(chip, file, i)) {
                step.changes.push_back(*d);
            }
        }
        if (differs || everyWord) {
            step.telegram = WriteTelegram(reg, registers[r].motor, values);
            steps.push_back(std::move(step));
        }
    }
    for (int word = 0; word < kRamWords; ++word) {
        const uint8_t low = RamByte(chip, file, 2 * word);
        const uint8_t high = RamByte(chip, file, 2 * word + 1);
        if (everyWord || low != chip.ram[size_t(2 * word)] ||
            high != chip.ram[size_t(2 * word + 1)]) {
            ApplyStep step{RamWriteTelegram(word, low, high), {}};
            for (const int address : {2 * word, 2 * word + 1}) {
                if (const auto d = RamDifference(chip, file, address)) {
                    step.changes.push_back(*d);
                }
            }
            steps.push_back(std::move(step));
        }
    }
    return steps;
}

std::string ValueText(const ConfigDifference& difference, int32_t value) {
    if (difference.section == "ram") {
        return HexByte(value);
    }
    const auto section = FindSection(difference.section);
    const auto entry = section ? FindEntry(*section, difference.field) : std::nullopt;
    return entry ? ValueText(ConfigEntries()[*entry], value) : std::to_string(value);
}

} // namespace vrx
