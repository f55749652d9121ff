// Fuzz target of the configuration reader: any bytes are read or refused without a fault; what
// is accepted holds only values within their fields' ranges, and writes back to a file that
// reads the same.

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
    return 0;
}
