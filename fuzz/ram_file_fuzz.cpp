// Fuzz target of the .630 reader: any bytes load without a fault, every cell loaded is a
// hexadecimal number as the table shows it, and a table of bytes reads back as it was saved.

#include "chip/ram_file.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// Upper-case hexadecimal digits, at least two, no leading zero beyond those two.
bool ShownAsLoaded(const std::string& cell) {
    if (cell.size() < 2 || cell.size() > vrx::kMaxRamFileLine) {
        return false;
    }
    if (cell.size() > 2 && cell.front() == '0') {
        return false;
    }
    return cell.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

vrx::RamTable ZeroTable() {
    vrx::RamTable table;
    for (int n = 0; n < vrx::kRamBytes; ++n) {
        table.SetByte(n, 0);
    }
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vrx::RamTable loaded = ZeroTable();
    vrx::LoadRamFile(text, loaded);
    for (int n = 0; n < vrx::kRamBytes; ++n) {
        if (!ShownAsLoaded(loaded.Cell(n))) {
            std::abort();
        }
    }
    if (loaded.Complete()) {
        vrx::RamTable again = ZeroTable();
        vrx::LoadRamFile(vrx::RamFileText(loaded), again);
        for (int n = 0; n < vrx::kRamBytes; ++n) {
            if (again.Cell(n) != loaded.Cell(n)) {
                std::abort();
            }
        }
    }
    return 0;
}
