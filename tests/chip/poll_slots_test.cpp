#include "chip/poll_slots.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

TEST(PollSlots, MotorSlotsFollowTheRegisterTable) {
    // read byte offset, sign bit and whether polled always, by register index 0..14
    const int signs[15] = {23, 23, 0, 0, 11, 11, 0, 11, 0, 0, 0, 0, 0, 0, 23};
    const bool always[15] = {false, true,  false, false, true,  true,  false, true,
                             false, false, false, false, false, false, false};
    for (int motor = 0; motor < 3; ++motor) {
        for (int index = 0; index < 15; ++index) {
            const PollSlotInfo& slot = kPollSlots[size_t(15 * motor + index)];
            EXPECT_EQ(slot.ReadByte, uint32_t(0x20 * motor + 2 * index + 1));
            EXPECT_EQ(slot.SignBit, signs[index]) << index;
            EXPECT_EQ(slot.PageIndex, always[index] ? -1 : motor) << index;
        }
    }
}

TEST(PollSlots, GlobalAndQuerySlots) {
    const uint32_t bytes[6] = {0x61, 0x63, 0x65, 0x67, 0x7D, 0x7F};
    const int signs[6] = {-6, -6, 0, -6, 0, 0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(kPollSlots[size_t(45 + i)].ReadByte, bytes[i]);
        EXPECT_EQ(kPollSlots[size_t(45 + i)].SignBit, signs[i]);
        EXPECT_EQ(kPollSlots[size_t(45 + i)].PageIndex, 3);
    }
    const uint8_t queries[5] = {0x66, 0x73, 0x6D, 0x76, 0x70};
    for (int slot = 51; slot <= 55; ++slot) {
        EXPECT_EQ(kPollSlots[size_t(slot)].PageIndex, 255);
        EXPECT_GE(kPollSlots[size_t(slot)].ReadByte, 0xFEu);
        EXPECT_TRUE(IsQuerySlot(slot));
        EXPECT_EQ(QueryByteOfSlot(slot), queries[slot - 51]);
    }
    EXPECT_FALSE(IsQuerySlot(50));
}

TEST(PollSlots, TwelveSlotsArePolledAlways) {
    std::vector<int> always;
    for (int slot = 0; slot < kPollSlotCount; ++slot) {
        if (kPollSlots[size_t(slot)].PageIndex == kPageAlways) {
            always.push_back(slot);
        }
    }
    EXPECT_EQ(always, (std::vector<int>{1, 4, 5, 7, 16, 19, 20, 22, 31, 34, 35, 37}));
    EXPECT_EQ(XActualSlot(1), 16);
    EXPECT_EQ(AActualSlot(2), 37);
}

} // namespace
} // namespace vrx
