// Applying a configuration to a chip: only what differs is written, in its order, fields that
// are no settings as the chip must keep them, and a board that stops answering ends it there.
#include "config/config_file.h"
#include "config/config_transfer.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

namespace vrx {
namespace {

// Registers and RAM words as a chip keeps them: a write stores its data, a read answers it.
struct FakeChip {
    std::map<uint8_t, uint32_t> data;
    std::vector<Telegram> writes;
    int answersLeft = INT_MAX;

    TransferFunction Transfer() {
        return [this](const Telegram& t) -> std::optional<Answer> {
            if (answersLeft-- <= 0) {
                return std::nullopt;
            }
            const uint8_t address = uint8_t(t.b0 & ~1);
            if (!t.IsRead()) {
                data[address] = t.Data();
                writes.push_back(t);
            }
            return Answer::Make(0, data[address]);
        };
    }
};

ChipConfig FileOf(const std::string& text) {
    const bool whole = text.find("[file]") != std::string::npos; // a saved file, or a part
    const ParsedConfig parsed = ParseConfig(whole ? text : "[file]\nformat = 1\n" + text);
    EXPECT_FALSE(parsed.error) << parsed.error->message;
    return parsed.config;
}

TEST(ConfigApply, WritesOnlyWhatDiffersKeepingTheRampModeAndClearingNoFlag) {
    FakeChip chip;
    chip.data[0x14] = 0x000B02;          // motor 1: REF_CONF 1011, RAMP_MODE VELOCITY
    chip.data[0x36] = 0x00A503;          // motor 2: INTERRUPT_MASK A5, two flags raised
    chip.data[0x2C] = 50;                // motor 2: A_MAX
    chip.data[0x80 + 2 * 0x25] = 0x1100; // RAM bytes 0x4A, 0x4B
    const ChipConfig file = FileOf("[motor1]\nREF_CONF = 0b0001\n"
                                   "[motor2]\nA_MAX = 1000\nINTERRUPT_MASK = 0b10100101\n"
                                   "[global]\nLSMD = 2\n"
                                   "[ram]\nrows = [\"00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                                   "00\", \"00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\", "
                                   "\"00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\", "
                                   "\"00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\", "
                                   "\"00 00 00 00 00 00 00 00 00 00 1F 11 00 00 00 00\", "
                                   "\"00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\", "
                                   "\"00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\", "
                                   "\"00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\"]\n");
    const ApplyOutcome outcome = ApplyConfig(chip.Transfer(), file, false);
    EXPECT_EQ(outcome.stoppedAt, ApplyOutcome::Stop::None);
    EXPECT_TRUE(outcome.remaining.empty());
    ASSERT_TRUE(outcome.verified); // the chip as read back
    EXPECT_EQ(outcome.verified->ram[0x4A], 0x1F);
    const std::vector<Telegram> expected = {
        {0x7E, 0x00, 0x00, 0x02}, // global parameters first
        {0x14, 0x00, 0x01, 0x02}, // REF_CONF with the ramp mode as read
        {0x2C, 0x00, 0x03, 0xE8}, // A_MAX of motor 2; its interrupt mask already matches
        {0xCA, 0x00, 0x11, 0x1F}, // RAM word 0x25: bytes 0x4A and 0x4B
    };
    EXPECT_EQ(chip.writes, expected);
    // Listed as they are written; each side as a file writes it.
    ASSERT_EQ(outcome.changes.size(), 4u);
    EXPECT_EQ(outcome.changes[0].field, "LSMD");
    EXPECT_EQ(outcome.changes[1].section, "motor1");
    EXPECT_EQ(ValueText(outcome.changes[1], outcome.changes[1].chip), "0b1011");
    EXPECT_EQ(outcome.changes[2].field, "A_MAX");
    EXPECT_EQ(ValueText(outcome.changes[2], outcome.changes[2].chip), "50");
    EXPECT_EQ(outcome.changes[2].file, 1000);
    EXPECT_EQ(outcome.changes[3].section, "ram");
    EXPECT_EQ(outcome.changes[3].field, "0x4A");
    EXPECT_EQ(ValueText(outcome.changes[3], outcome.changes[3].file), "0x1F");
}

TEST(ConfigApply, ADryRunWritesNothingAndASavedChipMatchesItself) {
    FakeChip chip;
    chip.data[0x0C] = 700;
    const auto read = ReadChipConfig(chip.Transfer());
    ASSERT_TRUE(read);
    const ChipConfig file = FileOf(ConfigText(*read, {}));
    EXPECT_TRUE(ApplyConfig(chip.Transfer(), file, false).changes.empty());
    const ApplyOutcome dry = ApplyConfig(chip.Transfer(), FileOf("[motor1]\nA_MAX = 1\n"), true);
    ASSERT_EQ(dry.changes.size(), 1u);
    EXPECT_EQ(dry.changes[0].chip, 700);
    EXPECT_TRUE(chip.writes.empty());
}

TEST(ConfigApply, ABoardThatStopsAnsweringEndsTheApplyThere) {
    const int reads = int(ConfigRegisters().size()) + kRamWords;
    const struct {
        int answers;
        ApplyOutcome::Stop stop;
        int written;
        const char* says;
    } cases[] = {
        {5, ApplyOutcome::Stop::Reading, 0, "could not be read"},
        {reads + 1, ApplyOutcome::Stop::Writing, 1, "1 of 2 telegrams"},
        {reads + 2 + 3, ApplyOutcome::Stop::Verifying, 2, "could not be read back"},
    };
    for (const auto& c : cases) {
        FakeChip chip;
        chip.answersLeft = c.answers;
        const ApplyOutcome outcome = ApplyConfig(
            chip.Transfer(), FileOf("[motor1]\nA_MAX = 9\n[motor3]\nV_MAX = 9\n"), false);
        EXPECT_EQ(outcome.stoppedAt, c.stop) << c.says;
        EXPECT_FALSE(outcome.interrupted) << c.says;
        EXPECT_EQ(outcome.written, c.written) << c.says;
        EXPECT_EQ(int(chip.writes.size()), c.written) << c.says;
        EXPECT_NE(ApplyStopText(outcome).find(c.says), std::string::npos) << ApplyStopText(outcome);
    }
}

TEST(ConfigApply, EachWriteIsToldOnceAnsweredAndAStopRequestIsToldFromASilentBoard) {
    FakeChip chip;
    bool stop = false;
    // A transfer that can be stopped answers nothing once a stop is requested.
    const TransferFunction transfer = [&stop, inner = chip.Transfer()](const Telegram& t) {
        return stop ? std::nullopt : inner(t);
    };
    std::vector<std::string> told;
    ApplyHooks hooks;
    hooks.written = [&](const std::vector<ConfigDifference>& changes) {
        for (const ConfigDifference& d : changes) {
            told.push_back(d.section + "." + d.field);
        }
        stop = true;
    };
    hooks.stopRequested = [&stop] { return stop; };
    const ApplyOutcome outcome =
        ApplyConfig(transfer, FileOf("[motor1]\nA_MAX = 9\n[motor3]\nV_MAX = 9\n"), false, hooks);
    EXPECT_EQ(outcome.stoppedAt, ApplyOutcome::Stop::Writing);
    EXPECT_TRUE(outcome.interrupted);
    EXPECT_EQ(outcome.written, 1);
    EXPECT_EQ(told, std::vector<std::string>{"motor1.A_MAX"});
    EXPECT_FALSE(outcome.verified);
    EXPECT_TRUE(ApplyStopText(outcome).starts_with("Stopped on request. "))
        << ApplyStopText(outcome);
}

} // namespace
} // namespace vrx
