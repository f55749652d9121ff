#include "chip/register_map.h"
#include "sim/board_firmware.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vrx::sim {
namespace {

using Bytes = std::vector<uint8_t>;

// Every reply the firmware gives to `input`, concatenated.
Bytes RepliesTo(BoardFirmware& firmware, const Bytes& input) {
    Bytes out;
    for (const BoardReply& reply : firmware.Feed(input)) {
        out.insert(out.end(), reply.bytes.begin(), reply.bytes.end());
    }
    return out;
}

Bytes Frame(const Telegram& t) {
    return {kFrameStart, t.b0, t.b1, t.b2, t.b3};
}
Bytes ZephaFrame(uint8_t start, const Telegram& t) {
    return {start, kFrameByteCount, t.b0, t.b1, t.b2, t.b3};
}

const Telegram kWriteXTarget = Telegram::Make(RegisterByte(Motor1, 0, false), 0x001234);
const Telegram kReadXTarget = Telegram::Make(RegisterByte(Motor1, 0, true), 0);
// 0x04 is the V_MIN write of motor 1: the byte that makes "#" 0x04 ambiguous.
const Telegram kWriteVMin = Telegram::Make(RegisterByte(Motor1, 2, false), 0x000321);

TEST(BoardFirmware, RelaysAFiveByteFrameAndAnswersStatusAndData) {
    BoardFirmware firmware;
    EXPECT_EQ(RepliesTo(firmware, Frame(kWriteXTarget)).size(), 4u);
    const Bytes answer = RepliesTo(firmware, Frame(kReadXTarget));
    ASSERT_EQ(answer.size(), 4u);
    EXPECT_EQ(answer[0], firmware.Model().StatusByte());
    EXPECT_EQ(Bytes(answer.begin() + 1, answer.end()), (Bytes{0x00, 0x12, 0x34}));
    EXPECT_EQ(firmware.TelegramCount(), 2);
}

TEST(BoardFirmware, AcceptsTheSixByteFormWithExclamationMarkOnEveryVariant) {
    for (BoardVariant variant : kAllVariants) {
        BoardFirmware firmware(variant);
        RepliesTo(firmware, ZephaFrame(kSlowFrameStart, kWriteXTarget));
        const Bytes answer = RepliesTo(firmware, ZephaFrame(kSlowFrameStart, kReadXTarget));
        EXPECT_EQ(Bytes(answer.begin() + 1, answer.end()), (Bytes{0x00, 0x12, 0x34}))
            << VariantName(variant);
    }
}

TEST(BoardFirmware, HashWithByteCountIsTheSixByteFormOnlyOnAZephaBoardAfterItsSetUp) {
    struct Case {
        const char* what;
        BoardVariant variant;
        bool setUp;
        bool sixByteForm;
    };
    const Case cases[] = {
        {"plain board", BoardVariant::Plain, false, false},
        {"plain board after set-up bytes", BoardVariant::Plain, true, false},
        {"52x kit", BoardVariant::Vrx52xKit, true, false},
        {"ZEPHA before set-up", BoardVariant::Zepha, false, false},
        {"ZEPHA after set-up", BoardVariant::Zepha, true, true},
    };
    for (const Case& c : cases) {
        BoardFirmware firmware(c.variant);
        if (c.setUp) {
            RepliesTo(firmware, {' ', '0', '1', '3', '2', 0x22, 0x00, 0x00});
        }
        // The same six bytes: a ZEPHA frame writing X_TARGET, or a V_MIN write plus one byte.
        const Bytes answer = RepliesTo(firmware, ZephaFrame(kFrameStart, kWriteXTarget));
        EXPECT_EQ(answer.size(), 4u) << c.what;
        const uint32_t target = firmware.Model().ReadRegister(Motor1, 0);
        const uint32_t vMin = firmware.Model().ReadRegister(Motor1, 2);
        if (c.sixByteForm) {
            EXPECT_EQ(target, 0x001234u) << c.what;
            EXPECT_EQ(vMin, 0u) << c.what;
        } else {
            // "#" 0x04 0x00 0x00 0x12 wrote V_MIN; the sixth byte 0x34 is no command.
            EXPECT_EQ(target, 0u) << c.what;
            EXPECT_EQ(vMin, 0x12u) << c.what;
        }
        EXPECT_TRUE(firmware.Pending().empty()) << c.what;
    }
}

TEST(BoardFirmware, ZephaBoardStillTakesFiveByteFramesNotStartingWithTheByteCount) {
    BoardFirmware firmware(BoardVariant::Zepha);
    RepliesTo(firmware, {' ', '0', '1', '3', '2'});
    ASSERT_TRUE(firmware.ZephaSetUp());
    RepliesTo(firmware, Frame(kWriteXTarget));
    EXPECT_EQ(firmware.Model().ReadRegister(Motor1, 0), 0x001234u);
}

TEST(BoardFirmware, IdentificationRequestStartsTheZephaBoardOverWithoutSetUp) {
    BoardFirmware firmware(BoardVariant::Zepha);
    RepliesTo(firmware, {' ', '0', '1', '3', '2', 0x22, 0x01, 0x02});
    EXPECT_TRUE(firmware.ZephaSetUp());
    EXPECT_EQ(firmware.SetUpCount(), 1);
    EXPECT_EQ(firmware.SetUpTail(), (std::array<uint8_t, 2>{0x01, 0x02}));
    RepliesTo(firmware, {kIdentify});
    EXPECT_FALSE(firmware.ZephaSetUp());
    RepliesTo(firmware, Frame(kWriteVMin)); // five-byte form again
    EXPECT_EQ(firmware.Model().ReadRegister(Motor1, 2), 0x321u);
}

TEST(BoardFirmware, AnswersTheIdentificationOfItsVariantAndIgnoresTheZeroBurst) {
    for (BoardVariant variant : kAllVariants) {
        BoardFirmware firmware(variant);
        Bytes burst(128, 0x00);
        burst.push_back(kIdentify);
        const std::vector<BoardReply> replies = firmware.Feed(burst);
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(replies[0].kind, ReplyKind::Identification);
        const std::string_view id = IdentificationText(variant);
        EXPECT_EQ(replies[0].bytes, Bytes(id.begin(), id.end()));
    }
}

TEST(BoardFirmware, QueriesAnswerFourBytesFromThePeripherals) {
    BoardFirmware firmware(BoardVariant::Vrx52xKit);
    BoardPeripherals& p = firmware.Peripherals();
    p.SetErrorFlags(Vrx529, 0xA5);
    p.SetErrorFlags(Vrx526, 0x11);
    p.PinLoadValue(Vrx529, 3);
    p.PinLoadValue(Vrx526, 7);
    p.SetModeByte(0x0F);
    p.PinVoltage(1023);
    p.PinPotentiometer(0x1234);
    struct Case {
        uint8_t query;
        Bytes answer;
    };
    const Case cases[] = {
        {0x66, {0, 0xA5, 0x11, 0}}, {0x73, {0, 3, 7, 0}},       {0x6D, {0, 0, 0, 0x0F}},
        {0x76, {0, 0, 0xFF, 0x03}}, {0x70, {0, 0, 0x34, 0x12}},
    };
    for (const Case& c : cases) {
        const std::vector<BoardReply> replies = firmware.Feed(Bytes{c.query});
        ASSERT_EQ(replies.size(), 1u) << int(c.query);
        EXPECT_EQ(replies[0].kind, ReplyKind::Query);
        EXPECT_EQ(replies[0].bytes, c.answer) << int(c.query);
    }
}

TEST(BoardFirmware, DriverCommandsAreTakenWithoutReplyAndRecorded) {
    BoardFirmware firmware(BoardVariant::Vrx516Kit);
    const Bytes commands = {0x53, 0x00, 0x05, 0x53, 0x01, 0x08, 0x50, 0x02,
                            0xC8, 0x50, 0x00, 0x40, 0x53, 0x00, 0xFF};
    EXPECT_TRUE(RepliesTo(firmware, commands).empty());
    const BoardPeripherals& p = firmware.Peripherals();
    EXPECT_EQ(p.StallThreshold(Vrx529), 0xFF); // the last value per chip counts
    EXPECT_EQ(p.StallThreshold(Vrx526), 0x08);
    EXPECT_EQ(p.MaxCurrent(0), 0x40);
    EXPECT_FALSE(p.MaxCurrent(1).has_value());
    EXPECT_EQ(p.MaxCurrent(2), 0xC8);
    EXPECT_TRUE(firmware.Pending().empty());
}

TEST(BoardFirmware, GarbageOutsideFramesIsIgnoredButDataInsideFramesIsNot) {
    BoardFirmware firmware;
    // Garbage, then a frame whose data bytes look like commands (0xFF, 0x66, 0x00).
    const Bytes input = {0x01, 'x', 0x99, 0x00, kFrameStart, 0x00, 0xFF, 0x66, 0x00};
    const std::vector<BoardReply> replies = firmware.Feed(input);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].kind, ReplyKind::Telegram);
    EXPECT_EQ(firmware.Model().ReadRegister(Motor1, 0), 0xFF6600u);
    // A "!" not followed by the byte count is noise, and the byte after it still counts.
    const std::vector<BoardReply> after = firmware.Feed(Bytes{kSlowFrameStart, 0x66});
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].kind, ReplyKind::Query);
    // So is a broken set-up text.
    const std::vector<BoardReply> broken = firmware.Feed(Bytes{' ', '0', 0xFF});
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_EQ(broken[0].kind, ReplyKind::Identification);
    EXPECT_EQ(firmware.SetUpCount(), 0);
}

TEST(BoardFirmware, PartialFramesWaitForTheirRemainingBytesAcrossFeeds) {
    const Bytes frame = Frame(Telegram::Make(RegisterByte(Motor3, 0, false), 0xABCDEF));
    const Bytes zepha = ZephaFrame(kSlowFrameStart, kReadXTarget);
    for (size_t cut = 1; cut < frame.size(); ++cut) {
        BoardFirmware firmware;
        EXPECT_TRUE(firmware.Feed(Bytes(frame.begin(), frame.begin() + long(cut))).empty());
        EXPECT_EQ(firmware.Pending().size(), cut);
        EXPECT_EQ(firmware.Feed(Bytes(frame.begin() + long(cut), frame.end())).size(), 1u);
        EXPECT_EQ(firmware.Model().ReadRegister(Motor3, 0), 0xABCDEFu) << cut;
    }
    for (size_t cut = 1; cut < zepha.size(); ++cut) {
        BoardFirmware firmware;
        EXPECT_TRUE(firmware.Feed(Bytes(zepha.begin(), zepha.begin() + long(cut))).empty());
        EXPECT_EQ(firmware.Feed(Bytes(zepha.begin() + long(cut), zepha.end())).size(), 1u) << cut;
    }
}

} // namespace
} // namespace vrx::sim
