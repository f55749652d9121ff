#pragma once
// The RAM table file (*.630): eight lines of sixteen comma-separated hexadecimal bytes, CR LF
// after every line. The reader is lenient: lower case, one-digit fields and short lines load;
// a field that is not a hexadecimal number loads as 00; cells after a line's last field keep
// their content; only the first sixteen fields of the first eight lines count.

#include "chip/ram_table.h"

#include <functional>
#include <string>
#include <string_view>

namespace vrx {

// The text of a saved file: 8 x 49 = 392 bytes for a complete table.
std::string RamFileText(const RamTable& table);

// Reads from `nextChar` (a byte 0..255, or a negative value at the end) into `table`. Reads at
// most eight lines, keeps at most kMaxRamFileLine characters of a line and takes at most
// kMaxRamFileBytes of input, the rest counting as the end, so any input costs bounded time and
// memory (a proper file is 392 bytes).
constexpr size_t kMaxRamFileLine = 4096;
constexpr size_t kMaxRamFileBytes = size_t{1} << 20;
void LoadRamFile(const std::function<int()>& nextChar, RamTable& table);
void LoadRamFile(std::string_view text, RamTable& table);

} // namespace vrx
