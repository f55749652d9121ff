// The synchronous line on a pseudo-terminal whose far end reads late: a write refused behind a
// pending one is not reported as sent, and Close lets queued bytes leave before it restores the
// device.
#include "serial/serial_line.h"

#include "support/pty_pair.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace vrx::test {
namespace {

class SerialLinePtyTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(pty.SlavePath().empty());
        // Held open so the far end keeps what was sent after the line is closed.
        keepOpen_ = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(keepOpen_, 0);
        LineSettings settings;
        settings.baudRate = cbr19200;
        int error = 0;
        ASSERT_TRUE(line.Open(pty.SlavePath(), settings, error)) << error;
    }
    void TearDown() override { ::close(keepOpen_); }

    // More than the pseudo-terminal buffers, so the write stays queued while nobody reads.
    static std::vector<uint8_t> Flood() {
        std::vector<uint8_t> bytes(size_t{1} << 18);
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = uint8_t(i % 251);
        }
        return bytes;
    }
    // The far end starts reading a moment later, as a slow line would drain.
    std::future<std::vector<uint8_t>> ReadLater(size_t count) {
        return std::async(std::launch::async, [this, count] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return pty.Receive(count, 2000);
        });
    }

    PtyPair pty;
    SerialLine line;

private:
    int keepOpen_ = -1;
};

TEST_F(SerialLinePtyTest, AWriteBehindOneThatTimedOutIsSentOrReportedAsFailed) {
    const std::vector<uint8_t> flood = Flood();
    EXPECT_FALSE(line.Write(flood.data(), int(flood.size()), 20));
    auto far = ReadLater(flood.size() + 5);
    const uint8_t marker[5] = {0x23, 0xDE, 0xAD, 0xBE, 0xEF};
    ASSERT_TRUE(line.Write(marker, 5, 3000));
    const std::vector<uint8_t> got = far.get();
    ASSERT_EQ(got.size(), flood.size() + 5);
    EXPECT_TRUE(std::equal(marker, marker + 5, got.end() - 5)) << "the second write never left";
}

// Bytes purged between the reader's poll and its read leave nothing to read: that is no hang-up.
// A command purges the input before each telegram, another thread's command too.
TEST_F(SerialLinePtyTest, InputPurgedUnderTheReaderIsNoLostLine) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    for (int round = 0; std::chrono::steady_clock::now() < until; ++round) {
        pty.Send({uint8_t(round), 0x15, 0, 0});
        line.PurgeIn();
        ASSERT_FALSE(line.Lost()) << "round " << round;
    }
    pty.Send({0x15, 1, 2, 3});
    EXPECT_EQ(line.WaitForInput(4, 2000), 4) << "the line still takes what comes";
    EXPECT_FALSE(line.Lost());
}

TEST_F(SerialLinePtyTest, CloseLetsQueuedBytesLeaveFirst) {
    const std::vector<uint8_t> flood = Flood();
    EXPECT_FALSE(line.Write(flood.data(), int(flood.size()), 20));
    auto far = ReadLater(flood.size());
    line.Close();
    EXPECT_EQ(far.get(), flood);
}

} // namespace
} // namespace vrx::test
