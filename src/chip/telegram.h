#pragma once
// The 32-bit SPI telegram of the VRX630 and its answer, always handled as four bytes sent most
// significant first. The first byte selects RAM or register, unit, register and read flag.

#include <cstdint>

namespace vrx {

enum Unit : uint8_t { Motor1 = 0, Motor2 = 1, Motor3 = 2, GlobalUnit = 3 };

constexpr int kMotorCount = 3;
constexpr int kRamWords = 64;
constexpr int kRamBytes = 128;
constexpr uint32_t kDataMask = 0xFFFFFF;

// First telegram byte of a register access: UnitSelect*0x20 + RegisterIndex*2 + ReadFlag.
constexpr uint8_t RegisterByte(unsigned unit, unsigned index, bool read) {
    return static_cast<uint8_t>((unit & 3) * 0x20 + (index & 15) * 2 + (read ? 1 : 0));
}

// First telegram byte of a RAM access: 0x80 + word*2 + ReadFlag.
constexpr uint8_t RamByte(unsigned word, bool read) {
    return static_cast<uint8_t>(0x80 + (word & 63) * 2 + (read ? 1 : 0));
}

// Offset of a motor's registers in the first telegram byte (motor 0..2).
constexpr uint8_t MotorOffset(int motor) {
    return static_cast<uint8_t>(motor * 0x20);
}

struct Telegram {
    uint8_t b0 = 0, b1 = 0, b2 = 0, b3 = 0;

    static constexpr Telegram Make(uint8_t first, uint32_t data) {
        return {first, static_cast<uint8_t>(data >> 16), static_cast<uint8_t>(data >> 8),
                static_cast<uint8_t>(data)};
    }
    constexpr uint32_t Data() const { return (uint32_t(b1) << 16) | (uint32_t(b2) << 8) | b3; }
    constexpr bool IsRam() const { return (b0 & 0x80) != 0; }
    constexpr bool IsRead() const { return (b0 & 0x01) != 0; }
    constexpr unsigned UnitSelect() const { return (b0 >> 5) & 3; }
    constexpr unsigned RegisterIndex() const { return (b0 >> 1) & 15; }
    constexpr unsigned RamWord() const { return (b0 >> 1) & 63; }
    friend constexpr bool operator==(const Telegram&, const Telegram&) = default;
};

// The four answer bytes: the status byte, then data bits 23..0.
struct Answer {
    uint8_t a0 = 0, a1 = 0, a2 = 0, a3 = 0;

    static constexpr Answer Make(uint8_t status, uint32_t value) {
        return {status, static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                static_cast<uint8_t>(value)};
    }
    constexpr uint8_t Status() const { return a0; }
    constexpr uint32_t Value() const { return (uint32_t(a1) << 16) | (uint32_t(a2) << 8) | a3; }
    friend constexpr bool operator==(const Answer&, const Answer&) = default;
};

// A RAM word carries RAM byte 2k in bits 7..0 and byte 2k+1 in bits 15..8.
constexpr uint32_t RamWordData(uint8_t low, uint8_t high) {
    return (uint32_t(high) << 8) | low;
}
constexpr uint8_t RamLowByte(uint32_t data) {
    return static_cast<uint8_t>(data);
}
constexpr uint8_t RamHighByte(uint32_t data) {
    return static_cast<uint8_t>(data >> 8);
}

} // namespace vrx
