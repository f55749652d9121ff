// Fuzz target of ByIdDescription, the reader of the link names in /dev/serial/by-id: any name
// gives a description without control characters, empty only for an empty name, at most the
// name plus the parentheses around the serial number; a name not of the USB form comes back as
// it is. Any exception or fault is a finding.

#include "serial/port_discovery.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    const std::string description = vrx::ByIdDescription(name);
    for (const char c : description) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            std::abort();
        }
    }
    if (description.empty() != name.empty() || description.size() > name.size() + 3) {
        std::abort();
    }
    if (!name.starts_with("usb-") && description.size() != name.size()) {
        std::abort();
    }
    return 0;
}
