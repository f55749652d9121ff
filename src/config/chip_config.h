#pragma once
// A chip's configuration: a value for each configuration field and each RAM byte. One read from
// the chip has every value; one loaded from a file has those the file names, and the chip keeps
// the others. Compared field by field, it says what a load would change.

#include "chip/telegram.h"
#include "config/config_entries.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vrx {

struct ChipConfig {
    ChipConfig();

    std::vector<std::optional<int32_t>> values;        // by ConfigEntries() index
    std::array<std::optional<uint8_t>, kRamBytes> ram; // by address
    std::vector<std::optional<uint32_t>> registerData; // as read, by ConfigRegisters() index
};

// One field or RAM byte whose value differs between the chip and a file.
struct ConfigDifference {
    std::string section; // "motor1".."global", or "ram"
    std::string field;   // a key, or a RAM address as "0x4A"
    int32_t chip;
    int32_t file;
};

// The fields and bytes the file names and the chip holds otherwise, in the order an apply
// writes them: global registers first, then motors 1 to 3, then the RAM.
std::vector<ConfigDifference> Differences(const ChipConfig& chip, const ChipConfig& file);

// The chip's or the file's side of a difference as a file writes it; a RAM byte as "0x4A".
std::string ValueText(const ConfigDifference& difference, int32_t value);

// One telegram of an apply and the differences it puts right.
struct ApplyStep {
    Telegram telegram;
    std::vector<ConfigDifference> changes;
};

// The telegrams that make the chip hold the file's values: one write per register with a
// differing field (global registers first, then motors 1 to 3), then one per RAM word with a
// differing byte. Fields the file leaves out keep the chip's values; a field that is no setting
// is written as the chip must keep it. With `everyWord`, every register and every RAM word is
// written, whether it differs or not.
std::vector<ApplyStep> ApplySteps(const ChipConfig& chip, const ChipConfig& file,
                                  bool everyWord = false);

} // namespace vrx
