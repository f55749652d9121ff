// Runs the vrx630ctl program itself: Ctrl+C, a hang-up or a closed stdout ends it, with the port
// as it found it.
#include "child_process.h"
#include "sim/pty_board.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace vrx::ctl {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool SameSettings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && cfgetispeed(&a) == cfgetispeed(&b) &&
           cfgetospeed(&a) == cfgetospeed(&b) && std::equal(a.c_cc, a.c_cc + NCCS, b.c_cc);
}

// A simulated board and its port, opened first, to see the port's settings before, while and
// after the tool holds it.
class CtlProgram : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(board.Start()) << board.ErrorText();
        port = ::open(board.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(port, 0);
        ASSERT_EQ(tcgetattr(port, &before), 0);
    }
    void TearDown() override { ::close(port); }

    bool PortAsBefore() {
        termios now{};
        return tcgetattr(port, &now) == 0 && SameSettings(before, now);
    }

    sim::PtyBoard board;
    int port = -1;
    termios before{};
};

TEST_F(CtlProgram, CtrlCEndsAWatchAtOnceAndGivesThePortItsSettingsBack) {
    test::ChildProcess ctl(VRX630CTL_PATH,
                           {"--port", board.DevicePath(), "watch", "--interval", "8000"});
    EXPECT_TRUE(ctl.Line(false, 10s).starts_with("time_ms,"));
    EXPECT_FALSE(ctl.Line(false, 10s).empty()); // the first line: the next is 8 s away
    EXPECT_FALSE(PortAsBefore());               // raw, 19200 baud

    ASSERT_TRUE(ctl.Signal(SIGINT));
    const auto sent = Clock::now();
    EXPECT_EQ(ctl.Wait(5s), 0);
    EXPECT_LT(Clock::now() - sent, 100ms);
    EXPECT_TRUE(PortAsBefore());
}

TEST_F(CtlProgram, AHangUpOrAClosedStdoutEndsAWatchAndGivesThePortItsSettingsBack) {
    for (const bool hangUp : {true, false}) {
        test::ChildProcess ctl(VRX630CTL_PATH,
                               {"--port", board.DevicePath(), "watch", "--interval", "50"});
        EXPECT_TRUE(ctl.Line(false, 10s).starts_with("time_ms,"));
        if (hangUp) {
            ASSERT_TRUE(ctl.Signal(SIGHUP));
        } else {
            ctl.CloseStdout(); // watch | head -1
        }
        EXPECT_EQ(ctl.Wait(10s), 0) << (hangUp ? "SIGHUP" : "closed stdout");
        EXPECT_TRUE(PortAsBefore()) << (hangUp ? "SIGHUP" : "closed stdout");
    }
}

} // namespace
} // namespace vrx::ctl
