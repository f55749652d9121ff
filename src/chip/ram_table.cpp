#include "chip/ram_table.h"

#include <cstdio>

namespace vrx {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

void RamTable::SetByte(int byte, uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value);
    SetCell(byte, text);
}

uint8_t RamTable::Byte(int byte) const {
    const std::string& text = Cell(byte);
    return ValidCell(text) ? static_cast<uint8_t>(HexValue(text[0]) * 16 + HexValue(text[1])) : 0;
}

bool RamTable::ValidCell(std::string_view text) {
    return text.size() == 2 && HexValue(text[0]) >= 0 && HexValue(text[1]) >= 0;
}

bool RamTable::Complete() const {
    bool complete = true;
    for (const std::string& cell : cells_) {
        complete = ValidCell(cell) && complete;
    }
    return complete;
}

void RamTable::SetWord(int word, const Answer& answer) {
    SetByte(2 * word, answer.a3);
    SetByte(2 * word + 1, answer.a2);
}

void RamTable::ClearFrom(int byte) {
    for (int n = byte; n < kRamBytes; ++n) {
        cells_[static_cast<size_t>(n)].clear();
    }
}

Telegram RamReadTelegram(int word) {
    return Telegram::Make(RamByte(unsigned(word), true), 0);
}

Telegram RamWriteTelegram(int word, uint8_t low, uint8_t high) {
    return Telegram::Make(RamByte(unsigned(word), false), RamWordData(low, high));
}

} // namespace vrx
