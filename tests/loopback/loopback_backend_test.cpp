// The loopback line's backend behaves as a serial device does under the serial components: it
// opens exclusively while the board serves, reports a line that went away once, wakes from a
// wait when told, and with wire timing holds what was written for its time on the wire.
#include "sim/loopback_board.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <thread>

namespace vrx::sim {
namespace {

using namespace std::chrono_literals;

constexpr uint8_t kReadXActual[] = {kFrameStart, 0x03, 0, 0, 0};
constexpr TSerialEvents kMonitored = evRxChar | evError;

// An open backend on a started board.
std::unique_ptr<SerialBackend> Opened(LoopbackBoard& board) {
    EXPECT_TRUE(board.Start()) << board.ErrorText();
    std::unique_ptr<SerialBackend> backend = board.Connect();
    int error = 0;
    EXPECT_TRUE(backend->Open(LoopbackBoard::kDeviceName, error)) << error;
    return backend;
}

TEST(LoopbackBackend, OpensExclusivelyAndOnlyWhileTheBoardServes) {
    LoopbackBoard board;
    const auto first = board.Connect();
    const auto second = board.Connect();
    int error = 0;
    EXPECT_FALSE(first->Open(LoopbackBoard::kDeviceName, error));
    EXPECT_EQ(error, ENODEV);
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    ASSERT_TRUE(first->Open(LoopbackBoard::kDeviceName, error)) << error;
    EXPECT_FALSE(second->Open(LoopbackBoard::kDeviceName, error));
    EXPECT_EQ(error, EBUSY);
    first->Close();
    ASSERT_TRUE(second->Open(LoopbackBoard::kDeviceName, error)) << error;
    board.Stop();
    EXPECT_TRUE(second->DeviceLost());
    EXPECT_FALSE(first->Open(LoopbackBoard::kDeviceName, error));
    EXPECT_EQ(error, ENODEV);
}

TEST(LoopbackBackend, AHangUpIsReportedOnceAsALostDevice) {
    LineOptions options;
    options.hangUpAfter = 0;
    LoopbackBoard board(BoardVariant::Plain, options);
    const auto backend = Opened(board);
    ASSERT_EQ(backend->Write(kReadXActual, 5), 5);
    EXPECT_EQ(backend->WaitEvent(kMonitored), evError);
    EXPECT_EQ(backend->TakeErrors(), ceDeviceLost);
    EXPECT_EQ(backend->WaitEvent(kMonitored), 0u);
    EXPECT_TRUE(backend->DeviceLost());
    EXPECT_TRUE(board.HungUp());
    EXPECT_EQ(backend->Write(kReadXActual, 5), -1);
}

TEST(LoopbackBackend, InterruptWaitEndsAWaitWithNothing) {
    LoopbackBoard board;
    const auto backend = Opened(board);
    auto wait = std::async(std::launch::async, [&] { return backend->WaitEvent(kMonitored); });
    backend->InterruptWait();
    const bool woke = wait.wait_for(5s) == std::future_status::ready;
    board.Stop(); // ends a wait that did not wake, with the loss
    EXPECT_TRUE(woke);
    EXPECT_EQ(wait.get(), 0u);
}

TEST(LoopbackBackend, WithWireTimingAWriteStaysInTheOutQueueWhileItIsOnTheWire) {
    LineOptions options;
    options.wireTiming = true;
    LoopbackBoard board(BoardVariant::Plain, options);
    const auto backend = Opened(board);
    const std::vector<uint8_t> burst(1000, 0x00); // half a second at 19200 baud
    ASSERT_EQ(backend->Write(burst.data(), int(burst.size())), int(burst.size()));
    EXPECT_GT(backend->OutQueueCount(), 0);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (backend->OutQueueCount() > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(backend->OutQueueCount(), 0);
}

} // namespace
} // namespace vrx::sim
