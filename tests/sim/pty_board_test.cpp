#include "chip/register_map.h"
#include "serial_client.h"
#include "sim/pty_board.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace vrx::sim {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr auto kReplyTimeout = 2000ms;
const Bytes kReadXActual = {kFrameStart, 0x03, 0x00, 0x00, 0x00};

// Polls `condition` under the board's lock until it holds or the deadline passes.
template <class Condition> bool Eventually(PtyBoard& board, Condition condition) {
    const Clock::time_point deadline = Clock::now() + 5s;
    while (Clock::now() < deadline) {
        if (board.With(condition)) {
            return true;
        }
        std::this_thread::sleep_for(2ms);
    }
    return false;
}

TEST(PtyBoard, AnswersATelegramFrameAndTheIdentificationOverThePty) {
    PtyBoard board(BoardVariant::Vrx52xKit);
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    EXPECT_TRUE(board.Running());
    SerialClient client;
    ASSERT_TRUE(client.Open(board.DevicePath()));

    const Bytes reply = client.Transfer(kReadXActual, 4, kReplyTimeout);
    EXPECT_EQ(reply, (Bytes{0x15, 0x00, 0x00, 0x00}));
    EXPECT_EQ(client.Transfer({0x00, 0x00, kIdentify}, 10, kReplyTimeout),
              (Bytes{'E', 'V', '6', '3', '0', ' ', 'V', '3', '.', '1'}));
    EXPECT_TRUE(board.Trace().WaitForCount(8, kReplyTimeout));
    EXPECT_EQ(board.Trace().Bytes(),
              (Bytes{kFrameStart, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, kIdentify}));
    // The device is raw: the board does not hear its own replies echoed back.
    EXPECT_EQ(board.Received().size(), 8u);
}

TEST(PtyBoard, ServesAClientThatClosesAndReopensTheDevice) {
    PtyBoard board;
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    for (int round = 0; round < 3; ++round) {
        SerialClient client;
        ASSERT_TRUE(client.Open(board.DevicePath())) << round;
        EXPECT_EQ(client.Transfer({kQueryModeByte}, 4, kReplyTimeout), (Bytes{0, 0, 0, 0x04}))
            << round;
    }
    EXPECT_TRUE(board.Running());
    EXPECT_EQ(board.Received().size(), 3u);
}

TEST(PtyBoard, HangUpIsSeenByTheClientAsPollHup) {
    LineOptions options;
    options.hangUpAfter = 1;
    PtyBoard board(BoardVariant::Plain, options);
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    SerialClient client;
    ASSERT_TRUE(client.Open(board.DevicePath()));
    EXPECT_EQ(client.Transfer(kReadXActual, 4, kReplyTimeout).size(), 4u);
    ASSERT_TRUE(client.Write(kReadXActual));
    EXPECT_TRUE(client.WaitForHangUp(kReplyTimeout));
    EXPECT_TRUE(board.HungUp());
    board.Stop();
    EXPECT_FALSE(board.Running());
}

TEST(PtyBoard, StopClosesTheLine) {
    PtyBoard board;
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    SerialClient client;
    ASSERT_TRUE(client.Open(board.DevicePath()));
    board.Stop();
    EXPECT_FALSE(board.Running());
    EXPECT_TRUE(client.WaitForHangUp(kReplyTimeout));
    board.Stop(); // harmless twice
}

TEST(PtyBoard, StartsOnlyOnce) {
    PtyBoard board;
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    EXPECT_FALSE(board.Start());
    EXPECT_FALSE(board.ErrorText().empty());
}

TEST(PtyBoard, FaultsCanBeChangedWhileItRuns) {
    PtyBoard board;
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    SerialClient client;
    ASSERT_TRUE(client.Open(board.DevicePath()));
    LineOptions options;
    options.silent = true;
    board.SetOptions(options);
    EXPECT_EQ(board.Options(), options);
    ASSERT_TRUE(client.Write({kQueryModeByte}));
    ASSERT_TRUE(board.Trace().WaitForCount(1, kReplyTimeout));
    EXPECT_TRUE(Eventually(board, [](SimulatedBoard& b) { return b.RepliesLost() == 1; }));
    options.silent = false;
    options.extraByte = true;
    board.SetOptions(options);
    EXPECT_EQ(client.Transfer({kQueryModeByte}, 5, kReplyTimeout),
              (Bytes{0, 0, 0, 0x04, kExtraByte}));
}

TEST(PtyBoard, MovesTheMotorsInRealTime) {
    PtyBoard board;
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    SerialClient client;
    ASSERT_TRUE(client.Open(board.DevicePath()));
    // HOLD at V 1000 with PULSDIV 7: 1907 steps per second, so the low 16 bits read back will
    // not have wrapped.
    const uint8_t dividers = RegisterByte(Motor3, 12, false);
    const uint8_t hold = RegisterByte(Motor3, 10, false);
    const uint8_t vActual = RegisterByte(Motor3, 5, false);
    ASSERT_EQ(client.Transfer({kFrameStart, dividers, 0x00, 0x70, 0x00}, 4, kReplyTimeout).size(),
              4u);
    ASSERT_EQ(client.Transfer({kFrameStart, hold, 0x00, 0x00, 0x03}, 4, kReplyTimeout).size(), 4u);
    ASSERT_EQ(client.Transfer({kFrameStart, vActual, 0x00, 0x03, 0xE8}, 4, kReplyTimeout).size(),
              4u);
    EXPECT_TRUE(
        Eventually(board, [](SimulatedBoard& b) { return b.Model().Motor(2).XActual() > 100; }));
    const Bytes reply =
        client.Transfer({kFrameStart, RegisterByte(Motor3, 1, true), 0, 0, 0}, 4, kReplyTimeout);
    ASSERT_EQ(reply.size(), 4u);
    EXPECT_GT(reply[2] * 256 + reply[3], 100);
}

TEST(PtyBoard, WireTimingHoldsARoundTripToNineByteTimes) {
    LineOptions options;
    options.wireTiming = true;
    PtyBoard board(BoardVariant::Plain, options);
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    SerialClient client;
    ASSERT_TRUE(client.Open(board.DevicePath()));
    const Clock::time_point sent = Clock::now();
    EXPECT_EQ(client.Transfer(kReadXActual, 4, kReplyTimeout).size(), 4u);
    const double elapsedMs = std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
    EXPECT_GE(elapsedMs, 9 * kByteTimeMs - 0.1); // five bytes in, four out
}

TEST(PtyBoard, ReportsReceivedBytesToItsObserver) {
    PtyBoard board;
    std::mutex mutex;
    std::vector<TraceEntry> seen;
    board.SetReceiveObserver([&](std::span<const TraceEntry> entries) {
        std::lock_guard lock(mutex);
        seen.insert(seen.end(), entries.begin(), entries.end());
    });
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    SerialClient client;
    ASSERT_TRUE(client.Open(board.DevicePath()));
    EXPECT_EQ(client.Transfer(kReadXActual, 4, kReplyTimeout).size(), 4u);
    board.Stop(); // the observer has run for every batch once the thread is gone
    std::lock_guard lock(mutex);
    EXPECT_EQ(seen, board.Received());
}

} // namespace
} // namespace vrx::sim
