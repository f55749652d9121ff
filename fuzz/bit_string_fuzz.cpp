// Fuzz target of ParseBitString: any text either is refused with BitStringError or gives the
// value of its last word, which then consists of 0 and 1 only and does not depend on blanks
// around the text. Any other exception or fault is a finding.

#include "chip/value_format.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    uint32_t value = 0;
    try {
        value = vrx::ParseBitString(text);
    } catch (const vrx::BitStringError&) {
        return 0;
    }
    const size_t end = text.find_last_not_of(" \t\r\n");
    if (end != std::string::npos) {
        const size_t begin = text.find_last_of(" \t\r\n", end) + 1; // npos + 1 = 0
        if (text.substr(begin, end + 1 - begin).find_first_not_of("01") != std::string::npos) {
            std::abort();
        }
    } else if (value != 0) {
        std::abort();
    }
    if (vrx::ParseBitString(" \t" + text + "\r\n") != value) {
        std::abort();
    }
    // The value shown as 32 digits reads back as itself.
    if (vrx::ParseBitString(vrx::BitString(value, 32)) != value) {
        std::abort();
    }
    return 0;
}
