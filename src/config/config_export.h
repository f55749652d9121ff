#pragma once
// A configuration as the words firmware sends to bring a chip from reset to it: every
// configuration register, whole, in the order a load writes them (global first, then motors 1
// to 3), then the RAM as its 64 words. Written as a C header that C99 and C++ compile alike, or
// as one word per line in hexadecimal for other languages. The text depends on nothing but the
// configuration, the source's name and digest, the version and the options: the same file
// gives the same bytes.

#include "chip/physical_units.h"
#include "config/chip_config.h"

#include <string>
#include <string_view>
#include <vector>

namespace vrx {

enum class ExportFormat { C, Hex };

struct ExportOptions {
    std::string name = "vrx630_config"; // the array; NAME_WORDS counts its words
    int clockMhz = kDefaultClockMhz;    // for the steps/s in the comments
    bool ram = true;
    ExportFormat format = ExportFormat::C;
};

// Where the configuration came from, as the header's opening comment names it.
struct ExportSource {
    std::string name;   // a file's name without its folder, or what the chip was read from
    std::string sha256; // of the file's bytes; empty for a chip as read
};

// The longest name: NAME_WORDS stays within the 63 characters every C compiler tells apart.
constexpr size_t kMaxExportNameLength = 57;

// Why `name` cannot name the array ("is not a C identifier ..."), or empty when it can.
std::string ExportNameProblem(std::string_view name);

// Why the options cannot be used ("the name ...", "the clock ..."), or empty when they can.
std::string ExportOptionsProblem(const ExportOptions& options);

// The telegrams from reset: one per configuration register, then, with `ram`, one per RAM
// word. Fields a file leaves out keep the chip's reset value.
std::vector<Telegram> ExportWords(const ChipConfig& config, bool ram);

// The export of `config`; std::invalid_argument for options ExportOptionsProblem refuses.
std::string ExportText(const ChipConfig& config, const ExportSource& source,
                       const ExportOptions& options);

// A file's name without its folder, as the opening comment names the source. The comment holds
// any name safely: what is not printable ASCII, or would end the comment, is replaced there.
std::string ExportSourceName(std::string_view path);

} // namespace vrx
