// Runs the vrx630ctl program itself: Ctrl+C ends it at once, with the port as it found it.
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

TEST(CtlProgram, CtrlCEndsAWatchAtOnceAndGivesThePortItsSettingsBack) {
    sim::PtyBoard board;
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    // Opened first, to see the port's settings before, while and after the tool holds it.
    const int port = ::open(board.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(port, 0);
    termios before{};
    ASSERT_EQ(tcgetattr(port, &before), 0);

    test::ChildProcess ctl(VRX630CTL_PATH,
                           {"--port", board.DevicePath(), "watch", "--interval", "8000"});
    EXPECT_TRUE(ctl.Line(false, 10s).starts_with("time_ms,"));
    EXPECT_FALSE(ctl.Line(false, 10s).empty()); // the first line: the next is 8 s away
    termios during{};
    ASSERT_EQ(tcgetattr(port, &during), 0);
    EXPECT_FALSE(SameSettings(before, during)); // raw, 19200 baud

    ASSERT_TRUE(ctl.Signal(SIGINT));
    const auto sent = Clock::now();
    EXPECT_EQ(ctl.Wait(5s), 0);
    EXPECT_LT(Clock::now() - sent, 100ms);
    termios after{};
    ASSERT_EQ(tcgetattr(port, &after), 0);
    EXPECT_TRUE(SameSettings(before, after));
    ::close(port);
}

} // namespace
} // namespace vrx::ctl
