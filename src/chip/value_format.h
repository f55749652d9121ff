#pragma once
// Interpretation and text form of register values: sign extension by a slot's sign bit, the
// display text of a polled value, and the bit strings of the check lists.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vrx {

// Sign bits of the poll table: 23 or 11 = two's complement with the sign at that bit,
// 0 = unsigned, -6 = shown as six hexadecimal digits.
constexpr int kSignBitHex6 = -6;

// Two's complement with the sign at signBit; bits above the field are deliberately not masked,
// so 0x001800 with sign bit 11 stays 2048.
int32_t SignExtend(uint32_t value, int signBit);

// Upper-case hex with at least -signBit digits when signBit < 0, else decimal.
std::string FormatSlotValue(int32_t value, int signBit);

// A whole number as typed on a command line: decimal, 0x hexadecimal or 0b binary, with an
// optional minus sign. Nothing for anything else: blanks, a bare prefix, other digits, a
// magnitude beyond 2^62.
std::optional<int64_t> ParseWholeNumber(std::string_view text);

// Exactly `digits` characters of "0"/"1", most significant bit first.
std::string BitString(uint32_t value, int digits);

class BitStringError : public std::runtime_error {
public:
    BitStringError() : std::runtime_error("Ung\xC3\xBCltige Bin\xC3\xA4rzahl") {}
};

// Trimmed, read from the last character backwards, stopping at the first blank; throws
// BitStringError on any character other than 0 and 1.
uint32_t ParseBitString(std::string_view text);

} // namespace vrx
