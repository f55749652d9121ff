#pragma once
// The .630 file as the command-line tool takes it: exactly eight lines of sixteen
// comma-separated two-digit hexadecimal bytes. A trailing comma after a line's last byte, CR LF
// line ends and a newline after the last line are allowed; anything else is refused with the
// line and the field where it lies, so a damaged file never turns into bytes on the chip.

#include "chip/ram_table.h"

#include <optional>
#include <string>
#include <string_view>

namespace vrx {

// A proper file is 8 x 49 bytes; anything much longer is not one.
constexpr size_t kMaxStrictRamFileBytes = 4096;

struct RamFileError {
    int line = 0;  // 1..9
    int field = 0; // 1..17, where the line departs from the form; 0 for the file as a whole
    std::string what;

    std::string Text() const;
};

// Fills `table` and returns nothing when the text is a proper file.
std::optional<RamFileError> ReadRamFileStrictly(std::string_view text, RamTable& table);

} // namespace vrx
