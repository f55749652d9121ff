// Triggers and captures: each condition fires on its edge and not on its level, the level in raw
// units or steps/s, the capture keeps the passes of its pre-trigger time and ends after its
// post-trigger time, and the conditions as typed are parsed or refused.
#include "protocol/pass_trigger.h"

#include "protocol/command_errors.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

PassRow Row(uint8_t status, int32_t velocity2) {
    PassRow row;
    row.status = status;
    row.values[5] = velocity2; // V_ACTUAL of motor 2
    return row;
}

TEST(PassTrigger, EachConditionFiresOnItsEdgeOnly) {
    MotionUnits slow; // motor 2 at PULSDIV 7: V 1000 is 1,907 steps/s
    slow.SetDividers(2, 0x7700);
    const struct {
        const char* typed;
        PassRow before, now;
        bool fires;
    } cases[] = {
        {"arrived:2", Row(0x00, 0), Row(0x04, 0), true},
        {"arrived:2", Row(0x04, 0), Row(0x04, 0), false}, // standing at its target: a level
        {"arrived:1", Row(0x00, 0), Row(0x04, 0), false}, // another motor's bit
        {"switch:2", Row(0x00, 0), Row(0x08, 0), true},
        {"switch:2", Row(0x08, 0), Row(0x00, 0), false}, // falling
        {"above:2:1000", Row(0, 1000), Row(0, 1001), true},
        {"above:2:1000", Row(0, 1001), Row(0, 1500), false},
        {"above:2:1000", Row(0, -900), Row(0, -1200), true}, // magnitudes
        {"below:2:10", Row(0, 12), Row(0, 9), true},
        {"below:2:10", Row(0, 9), Row(0, 0), false},
        {"above:2:1907steps", Row(0, 999), Row(0, 1000), true}, // 1,907.3 steps/s
        {"above:2:1908steps", Row(0, 999), Row(0, 1000), false},
    };
    for (const auto& c : cases) {
        const Trigger t = ParseTrigger(c.typed, "--trigger");
        EXPECT_EQ(TriggerFires(t, {c.before, slow}, {c.now, slow}), c.fires) << c.typed;
    }
    const Trigger go{TriggerKind::Go, 0};
    EXPECT_TRUE(TriggerFires(go, {Row(0, 0), slow}, {Row(0, 0), slow}, true));
    EXPECT_FALSE(TriggerFires(go, {Row(0, 0), slow}, {Row(0, 0x7F), slow}));
    EXPECT_EQ(TriggerText(ParseTrigger("arrived:1", "")), "X_ACTUAL1 = X_TARGET1");
    EXPECT_EQ(TriggerText(ParseTrigger("above:3:1907steps", "")),
              "|V_ACTUAL3| above 1,907 steps/s");
}

TEST(PassTrigger, TypedConditionsAreRefusedWithWhatTheyLack) {
    const std::pair<const char*, const char*> refused[] = {
        {"arrive:1", "is not a trigger"},
        {"arrived", "needs a motor"},
        {"arrived:4", "names no motor"},
        {"above:1", "needs a motor and a level"},
        {"above:1:-5", "no level of 0"},
        {"below:2:fast", "no level of 0"},
        {"above:1:12steps:3", "needs a motor and a level"},
    };
    for (const auto& [typed, why] : refused) {
        try {
            ParseTrigger(typed, "--trigger");
            ADD_FAILURE() << typed << " was taken";
        } catch (const UsageError& e) {
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("--trigger: ", 0), 0u) << e.what();
        }
    }
}

TEST(PassCapture, KeepsItsPreTriggerTimeAndEndsAfterItsPostTriggerTime) {
    const Trigger arrival = ParseTrigger("arrived:2", "");
    const struct {
        int preMs;
        int postMs;
        int firstMs; // of the capture, from the trigger
        int lastMs;
    } cases[] = {{0, 0, 0, 0}, {25, 30, -20, 30}, {1000, 10, -50, 10}};
    for (const auto& c : cases) {
        PassCapture capture(arrival, c.preMs, c.postMs);
        std::vector<CapturedPass> got;
        // Passes 10 ms apart; motor 2 arrives at 50 ms.
        for (int ms = 0; ms <= 200 && !capture.Done(); ms += 10) {
            for (const CapturedPass& p : capture.Take(ms, Row(ms >= 50 ? 0x04 : 0, 0), {})) {
                got.push_back(p);
            }
        }
        ASSERT_TRUE(capture.Done()) << c.preMs;
        ASSERT_FALSE(got.empty());
        EXPECT_EQ(got.front().timeMs, c.firstMs) << c.preMs;
        EXPECT_EQ(got.back().timeMs, c.lastMs) << c.preMs;
        EXPECT_EQ(got.size(), size_t((c.lastMs - c.firstMs) / 10 + 1)) << "no pass lost";
    }
}

} // namespace
} // namespace vrx
