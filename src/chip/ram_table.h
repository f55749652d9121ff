#pragma once
// The 128-byte RAM of the VRX630 as an editor holds it: one text per byte, as typed, read or
// loaded, so a table may hold cells that are not (yet) bytes. The RAM travels as 64 words;
// word k carries byte 2k in bits 7..0 and byte 2k+1 in bits 15..8.

#include "chip/telegram.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vrx {

class RamTable {
public:
    static constexpr int kRows = 8;
    static constexpr int kColumns = 16;

    const std::string& Cell(int byte) const { return cells_[static_cast<size_t>(byte)]; }
    void SetCell(int byte, std::string text) {
        cells_[static_cast<size_t>(byte)] = std::move(text);
    }
    // Two upper-case hexadecimal digits.
    void SetByte(int byte, uint8_t value);
    // The value of a valid cell.
    uint8_t Byte(int byte) const;

    // Exactly two hexadecimal digits, either case.
    static bool ValidCell(std::string_view text);
    // Every cell valid; every cell is examined.
    bool Complete() const;

    // Bytes 2k and 2k+1 from the answer to word k's read telegram.
    void SetWord(int word, const Answer& answer);
    void ClearFrom(int byte);

private:
    std::array<std::string, kRamBytes> cells_;
};

inline bool RamTableComplete(const RamTable& table) {
    return table.Complete();
}

// The telegrams of word k: the read, and the write of the table's bytes 2k and 2k+1.
Telegram RamReadTelegram(int word);
Telegram RamWriteTelegram(int word, uint8_t low, uint8_t high);

} // namespace vrx
