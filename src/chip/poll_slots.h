#pragma once
// Static content of the 56 poll slots through which the polling cycle reads registers one at a
// time: slot 15*(motor-1) + index for the motor registers, 45..50 the global registers, and
// 51..55 the one-byte board queries that carry no telegram.

#include <array>
#include <cstdint>

namespace vrx {

constexpr int kPollSlotCount = 56;
constexpr int kFirstQuerySlot = 51;
constexpr int kLastPollSlot = 55;

// PageIndex values: -1 always polled, 0..3 a register-window page, 255 never.
constexpr int32_t kPageAlways = -1;
constexpr int32_t kPageNever = 255;
constexpr int32_t kPageGlobal = 3;

struct PollSlotInfo {
    uint32_t ReadByte; // first byte of the read telegram; b1..b3 are 0
    int32_t SignBit;
    int32_t PageIndex; // initial value; the driver-chip windows switch 51..55 on and off
};

extern const std::array<PollSlotInfo, kPollSlotCount> kPollSlots;

constexpr bool IsQuerySlot(int slot) {
    return slot >= kFirstQuerySlot && slot <= kLastPollSlot;
}

// The one-byte board query of slots 51..55: 'f', 's', 'm', 'v', 'p'.
uint8_t QueryByteOfSlot(int slot);

struct RegisterDef;
// The slot that reads a register (motor 0..2 for motor registers), or -1 if none does.
int PollSlotOf(const RegisterDef& reg, int motor = 0);

// Slots of a motor's always-polled registers (motor 0..2).
constexpr int XActualSlot(int motor) {
    return 15 * motor + 1;
}
constexpr int VTargetSlot(int motor) {
    return 15 * motor + 4;
}
constexpr int VActualSlot(int motor) {
    return 15 * motor + 5;
}
constexpr int AActualSlot(int motor) {
    return 15 * motor + 7;
}

} // namespace vrx
