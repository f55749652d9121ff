#include "sim/byte_trace.h"

#include <gtest/gtest.h>

#include <thread>

namespace vrx::sim {
namespace {

using namespace std::chrono_literals;

TEST(ByteTrace, WaitsForBytesRecordedByAnotherThread) {
    ByteTrace trace;
    std::thread writer([&] {
        const uint8_t bytes[] = {0x23, 0x01, 0x00, 0x00, 0x00};
        for (uint8_t byte : bytes) {
            trace.Record({&byte, 1}, 1.0);
        }
    });
    EXPECT_TRUE(trace.WaitForCount(5, 5s));
    EXPECT_TRUE(trace.WaitUntil(
        [](const std::vector<TraceEntry>& e) { return !e.empty() && e.back().byte == 0x00; }, 5s));
    writer.join();
    EXPECT_EQ(trace.Size(), 5u);
}

TEST(ByteTrace, WaitGivesUpAfterItsTimeoutAndClearEmpties) {
    ByteTrace trace;
    const uint8_t byte = 0x66;
    trace.Record({&byte, 1}, 3.0);
    EXPECT_FALSE(trace.WaitForCount(2, 20ms));
    trace.Clear();
    EXPECT_EQ(trace.Size(), 0u);
    EXPECT_TRUE(trace.Entries().empty());
    EXPECT_FALSE(trace.WaitForCount(1, 1ms));
}

TEST(ByteTrace, KeepsTheNewestBytesUpToItsLimitAndNoneAtZero) {
    for (const size_t limit : {size_t(0), size_t(1), size_t(8)}) {
        ByteTrace trace;
        trace.SetLimit(limit);
        for (int i = 0; i < 1000; ++i) {
            const uint8_t bytes[] = {uint8_t(i), uint8_t(i + 1), uint8_t(i + 2)};
            trace.Record(bytes, double(i));
        }
        const std::vector<uint8_t> kept = trace.Bytes();
        ASSERT_LE(kept.size(), limit);
        if (limit > 0) {
            EXPECT_EQ(kept.back(), uint8_t(999 + 2)) << limit;
            EXPECT_GT(kept.size(), limit / 2) << limit;
        }
    }
}

} // namespace
} // namespace vrx::sim
