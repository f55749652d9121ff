// Fuzz target of the strict .630 reader of vrx630ctl: any bytes are read without a fault and
// either refused, with a line and field within the file's bounds and a one-line printable
// message, or taken as a complete table that the program's lenient reader loads the same way
// and that reads back as itself once saved.

#include "chip/ram_file.h"
#include "chip/strict_ram_file.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vrx::RamTable table;
    if (const auto error = vrx::ReadRamFileStrictly(text, table)) {
        Require(error->line >= 1 && error->line <= vrx::RamTable::kRows + 1);
        Require(error->field >= 0 && error->field <= vrx::RamTable::kColumns + 1);
        for (const char c : error->Text()) {
            Require(c >= 0x20 && c < 0x7F);
        }
        return 0;
    }
    Require(table.Complete());
    vrx::RamTable lenient;
    vrx::LoadRamFile(text, lenient);
    vrx::RamTable again;
    Require(!vrx::ReadRamFileStrictly(vrx::RamFileText(table), again));
    for (int n = 0; n < vrx::kRamBytes; ++n) {
        Require(lenient.Cell(n) == table.Cell(n) && again.Cell(n) == table.Cell(n));
    }
    return 0;
}
