#include "chip/poll_slots.h"

#include "chip/register_map.h"

namespace vrx {

namespace {

std::array<PollSlotInfo, kPollSlotCount> BuildSlots() {
    std::array<PollSlotInfo, kPollSlotCount> slots{};
    for (int motor = 0; motor < kMotorCount; ++motor) {
        for (const RegisterDef& reg : MotorRegisters()) {
            const bool always =
                reg.index == 1 || reg.index == 4 || reg.index == 5 || reg.index == 7;
            slots[static_cast<size_t>(15 * motor + reg.index)] = {
                ReadByte(reg, motor), reg.displaySignBit, always ? kPageAlways : motor};
        }
    }
    int slot = 45;
    for (const RegisterDef& reg : GlobalRegisters()) {
        slots[static_cast<size_t>(slot++)] = {ReadByte(reg), reg.displaySignBit, kPageGlobal};
    }
    for (slot = kFirstQuerySlot; slot <= kLastPollSlot; ++slot) {
        slots[static_cast<size_t>(slot)] = {0xFF, 0, kPageNever};
    }
    return slots;
}

} // namespace

const std::array<PollSlotInfo, kPollSlotCount> kPollSlots = BuildSlots();

int PollSlotOf(const RegisterDef& reg, int motor) {
    const uint8_t read = ReadByte(reg, motor);
    for (int slot = 0; slot < kFirstQuerySlot; ++slot) {
        if (kPollSlots[static_cast<size_t>(slot)].ReadByte == read) {
            return slot;
        }
    }
    return -1;
}

uint8_t QueryByteOfSlot(int slot) {
    static constexpr uint8_t kQueries[] = {0x66, 0x73, 0x6D, 0x76, 0x70};
    return IsQuerySlot(slot) ? kQueries[slot - kFirstQuerySlot] : 0;
}

} // namespace vrx
