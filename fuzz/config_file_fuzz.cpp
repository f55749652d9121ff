// Fuzz target of the configuration reader: any bytes are read or refused without a fault; what
// is accepted holds only values within their fields' ranges, writes back to a file that reads
// the same, and exports as words that write every register with the file's values.

#include "chip/register_names.h"
#include "config/config_export.h"
#include "config/config_file.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vrx::ParsedConfig parsed = vrx::ParseConfig(text);
    if (parsed.error) {
        return 0;
    }
    const auto& entries = vrx::ConfigEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto range = vrx::HeldRange(vrx::FieldOf(entries[i]));
        const auto& value = parsed.config.values[i];
        if (value && (*value < range.min || *value > range.max)) {
            std::abort();
        }
    }
    const vrx::ParsedConfig again =
        vrx::ParseConfig(vrx::ConfigText(parsed.config, {"fuzz", "any \"board\""}));
    if (again.error || again.config.values != parsed.config.values) {
        std::abort();
    }
    for (size_t n = 0; n < parsed.config.ram.size(); ++n) {
        if (parsed.config.ram[n] && again.config.ram[n] != parsed.config.ram[n]) {
            std::abort();
        }
    }
    const auto words = vrx::ExportWords(parsed.config, true);
    if (words.size() != vrx::ConfigRegisters().size() + vrx::kRamWords) {
        std::abort();
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto& value = parsed.config.values[i];
        const auto& reg = *vrx::RegisterOf(entries[i]).reg;
        const uint32_t data = words[size_t(entries[i].registerIndex)].Data();
        if (value && vrx::WriteFieldAsRead(reg, entries[i].field, data) != *value) {
            std::abort();
        }
    }
    (void)vrx::ExportText(parsed.config, {"fuzz", ""}, {});
    return 0;
}
