// The plot's history: passes back with their time and units, the nearest pass in time, the
// bound that drops the oldest chunk whole, and range extremes that agree with a plain scan.
#include "plots/pass_history.h"

#include <gtest/gtest.h>

#include <vector>

namespace vrx {
namespace {

PassRow Row(int32_t x) {
    PassRow row;
    for (size_t v = 0; v < row.values.size(); ++v) {
        row.values[v] = x * int32_t(v + 1);
    }
    row.status = uint8_t(x);
    return row;
}

TEST(PassHistory, PassesComeBackWithTheirTimeAndTheUnitsOfTheirMoment) {
    PassHistory history;
    MotionUnits slow;
    slow.SetDividers(1, 0x7700);
    MotionUnits fast;
    // Ticks across the 32-bit wrap, and one that steps back (it counts as the one before).
    history.Append(0xFFFFFFF0u, Row(1), slow);
    history.Append(0x00000010u, Row(2), slow);
    history.Append(0x00000008u, Row(3), fast);
    history.Append(0x00000030u, Row(4), fast);
    ASSERT_EQ(history.Size(), 4u);
    EXPECT_EQ(history.TimeOf(0), 0u);
    EXPECT_EQ(history.TimeOf(1), 0x20u);
    EXPECT_EQ(history.TimeOf(2), 0x20u);
    EXPECT_EQ(history.TimeOf(3), 0x40u);
    const HistoryPass third = history.Pass(2);
    EXPECT_EQ(third.row.values, Row(3).values);
    EXPECT_EQ(third.row.status, 3);
    EXPECT_EQ(third.units, fast);
    EXPECT_EQ(history.Pass(1).units.Dividers(1).pulsDiv, 7);

    const struct {
        uint32_t timeMs;
        uint64_t lowerBound;
        uint64_t nearest;
    } cases[] = {{0, 0, 0},    {0x10, 1, 0}, {0x11, 1, 1},  {0x20, 1, 1},
                 {0x30, 3, 2}, {0x31, 3, 3}, {0x1000, 4, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(history.LowerBound(c.timeMs), c.lowerBound) << c.timeMs;
        EXPECT_EQ(history.Nearest(c.timeMs), c.nearest) << c.timeMs;
    }
    history.Clear();
    EXPECT_TRUE(history.Empty());
    EXPECT_EQ(history.Nearest(0), std::nullopt);
    history.Append(500, Row(9), fast);
    EXPECT_EQ(history.TimeOf(0), 0u) << "a cleared history starts its time again";
}

TEST(PassHistory, ABoundHistoryDropsItsOldestChunkAndKeepsTheSequenceNumbers) {
    constexpr size_t kChunk = PassHistory::kChunkPasses;
    PassHistory history(2 * kChunk);
    for (uint32_t i = 0; i < 2 * kChunk; ++i) {
        history.Append(i, Row(int32_t(i)), {});
    }
    EXPECT_FALSE(history.Dropped());
    const size_t full = history.HeldBytes();
    EXPECT_GT(full, 2 * kChunk * sizeof(int32_t) * PassHistory::kValues);
    history.Append(2 * kChunk, Row(7), {});
    EXPECT_LT(history.HeldBytes(), full) << "a dropped chunk gives its memory back";
    EXPECT_TRUE(history.Dropped());
    EXPECT_EQ(history.FirstSeq(), kChunk);
    EXPECT_EQ(history.EndSeq(), 2 * kChunk + 1);
    EXPECT_EQ(history.Size(), kChunk + 1);
    EXPECT_EQ(history.Value(kChunk, 0), int32_t(kChunk));
    EXPECT_EQ(history.TimeOf(kChunk), kChunk) << "times stay those of the first pass";
    EXPECT_EQ(history.LowerBound(0), kChunk);
}

TEST(PassHistory, ExtremesOfARangeAgreeWithAPlainScan) {
    PassHistory history(2 * PassHistory::kChunkPasses);
    // A plain congruential sequence: std::mt19937 here would bring its own copy of the engine
    // into a program whose static Qt has one, and the Windows linker may keep the wrong one.
    uint32_t seed = 7;
    std::vector<int32_t> plain;
    for (uint32_t i = 0; i < 3 * PassHistory::kChunkPasses; ++i) {
        seed = seed * 1664525u + 1013904223u;
        PassRow row;
        row.values[5] = int32_t(seed >> 8) % 200001 - 100000;
        history.Append(i, row, {});
        plain.push_back(row.values[5]);
    }
    const uint64_t first = history.FirstSeq();
    const uint64_t end = history.EndSeq();
    const std::pair<uint64_t, uint64_t> ranges[] = {{first, end},
                                                    {first, first + 1},
                                                    {first + 1, first + 64},
                                                    {first + 63, first + 129},
                                                    {first + 64, first + 128},
                                                    {end - 200, end},
                                                    {first + 4095, first + 4097}};
    for (const auto& [from, to] : ranges) {
        const auto [min, max] =
            std::minmax_element(plain.begin() + long(from), plain.begin() + long(to));
        const ValueExtremes e = history.Extremes(5, from, to);
        EXPECT_EQ(e.min, *min) << from << ".." << to;
        EXPECT_EQ(e.max, *max) << from << ".." << to;
    }
}

} // namespace
} // namespace vrx
