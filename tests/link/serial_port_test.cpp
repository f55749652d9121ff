#include "link/serial_port.h"
#include "serial/device_name.h"

#include "fake_serial_backend.h"
#include "support/pty_pair.h"
#include "support/wait_for.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace vrx {
namespace {

using test::PtyPair;
using test::WaitFor;

class SerialPortPtyTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(pty.SlavePath().empty());
        port.SetDeviceName(QString::fromStdString(pty.SlavePath()));
        port.SetBaudRate(cbr19200);
        port.SetFlowControl(fcRTSToggle);
        port.OnRxChar = [this](TSerialPort&, int count) { counts.push_back(count); };
        port.OnError = [this](TSerialPort&, uint32_t errors) { errorFlags.push_back(errors); };
        port.Open();
        ASSERT_TRUE(port.IsOpen()) << "errno " << port.LastError();
    }

    PtyPair pty;
    TSerialPort port;
    std::vector<int> counts;
    std::vector<uint32_t> errorFlags;
};

TEST(SerialPort, NamesThatCannotBeOpenedLeaveThePortClosed) {
    for (const char* name : {"/dev/vrx630-no-such-port", "", "/etc/hostname"}) {
        TSerialPort port;
        int opened = 0;
        port.OnOpen = [&](TSerialPort&, int, int error) {
            ++opened;
            EXPECT_NE(error, 0);
        };
        port.SetDeviceName(name);
        port.Open();
        EXPECT_FALSE(port.IsOpen()) << name;
        EXPECT_NE(port.LastError(), 0) << name;
        EXPECT_EQ(opened, 1);
        port.Close(); // closing a closed port does nothing
        EXPECT_FALSE(port.IsOpen());
    }
}

TEST(SerialPort, ComNamesAddressTheSerialDevices) {
    EXPECT_EQ(ResolveDeviceName("COM1"), "/dev/ttyS0");
    EXPECT_EQ(ResolveDeviceName("COM9"), "/dev/ttyS8");
    EXPECT_EQ(ResolveDeviceName("COM12"), "/dev/ttyS11");
    EXPECT_EQ(ResolveDeviceName("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(ResolveDeviceName("COM0"), "COM0");
    EXPECT_EQ(ResolveDeviceName("COMX"), "COMX");
}

TEST(SerialPort, DefaultsOfTheComponent) {
    TSerialPort port;
    EXPECT_EQ(port.DeviceName(), "COM2");
    EXPECT_EQ(port.BaudRate(), cbr9600);
    EXPECT_EQ(port.Parity(), paNone);
    EXPECT_EQ(port.Stopbits(), sb10);
    EXPECT_EQ(port.Databits(), da8);
    EXPECT_EQ(port.FlowControl(), fcDefault);
    EXPECT_EQ(port.MonitorEvents(), kAllSerialEvents);
    EXPECT_EQ(port.ReadBufferSize(), 4096);
    EXPECT_EQ(port.WriteBufferSize(), 2048);
    EXPECT_EQ(port.XonChar(), 17);
    EXPECT_EQ(port.XoffChar(), 19);
    EXPECT_FALSE(port.Simple());
}

TEST_F(SerialPortPtyTest, ASecondOpenOfTheSameDeviceFails) {
    TSerialPort second;
    second.SetDeviceName(QString::fromStdString(pty.SlavePath()));
    second.Open();
    EXPECT_FALSE(second.IsOpen());
    EXPECT_TRUE(port.IsOpen());
}

TEST_F(SerialPortPtyTest, UnreadBytesAreCountedAgainAtTheNextArrivalWithoutSpinning) {
    pty.Send({1, 2, 3});
    ASSERT_TRUE(WaitFor([&] { return !counts.empty(); }));
    EXPECT_EQ(counts.back(), 3);
    test::Pump(100); // bytes left waiting must not raise further events
    EXPECT_EQ(counts.size(), 1u);
    pty.Send({4, 5});
    ASSERT_TRUE(WaitFor([&] { return counts.back() == 5; }))
        << counts.size() << " last " << counts.back();
    uint8_t buf[8] = {};
    EXPECT_EQ(port.Read(buf, 5), 5);
    EXPECT_EQ(std::vector<uint8_t>(buf, buf + 5), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
}

TEST_F(SerialPortPtyTest, WriteReturnsTheCountAndTheBytesArrive) {
    const uint8_t frame[] = {0x23, 0x19, 0x00, 0x00, 0x00};
    EXPECT_EQ(port.Write(frame, 5), 5);
    EXPECT_EQ(pty.Receive(5), std::vector<uint8_t>(frame, frame + 5));
    EXPECT_TRUE(WaitFor([&] { return port.OutQueueCount() == 0; }));
}

TEST_F(SerialPortPtyTest, AWriteWhileThePreviousIsPendingWritesNothing) {
    std::vector<uint8_t> block(256 * 1024, 0x55);
    const int first = port.Write(block.data(), int(block.size()));
    ASSERT_EQ(first, 0) << "a block this large cannot leave at once";
    EXPECT_GT(port.OutQueueCount(), 0);
    const uint8_t marker = 0xAA;
    EXPECT_EQ(port.Write(&marker, 1), 0);
    const std::vector<uint8_t> got = pty.Receive(block.size());
    EXPECT_EQ(got.size(), block.size());
    EXPECT_EQ(std::count(got.begin(), got.end(), 0xAA), 0);
}

TEST_F(SerialPortPtyTest, PurgeInDiscardsWaitingBytes) {
    pty.Send({1, 2, 3, 4, 5});
    ASSERT_TRUE(WaitFor([&] { return !counts.empty() && counts.back() == 5; }));
    port.PurgeIn();
    uint8_t buf[8];
    EXPECT_EQ(port.Read(buf, 8), 0);
}

TEST_F(SerialPortPtyTest, AHangUpIsReportedOnceAndTheReaderStops) {
    pty.CloseMaster();
    ASSERT_TRUE(WaitFor([&] { return !errorFlags.empty(); }));
    test::Pump(100);
    ASSERT_EQ(errorFlags.size(), 1u);
    EXPECT_TRUE(errorFlags[0] & ceDeviceLost);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialPortPtyTest, CloseDoesNotDeadlockAgainstAPendingHandOff) {
    pty.Send({1, 2, 3, 4});
    // Give the reader time to post the event; the user-interface thread does not take it.
    usleep(50 * 1000);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    test::Pump(20); // the stale hand-off must not reach the handler
    EXPECT_TRUE(counts.empty());
}

TEST_F(SerialPortPtyTest, ReopenAfterCloseWorks) {
    port.Close();
    port.Open();
    ASSERT_TRUE(port.IsOpen());
    pty.Send({9, 9, 9, 9});
    EXPECT_TRUE(WaitFor([&] { return !counts.empty() && counts.back() == 4; }));
}

TEST(SerialPort, CloseGivesTheDeviceBackItsLineSettings) {
    PtyPair pty;
    const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios before{};
    ASSERT_EQ(tcgetattr(fd, &before), 0);
    ASSERT_TRUE(before.c_lflag & ICANON) << "a terminal starts line by line";
    TSerialPort port;
    port.SetDeviceName(QString::fromStdString(pty.SlavePath()));
    port.Open();
    ASSERT_TRUE(port.IsOpen());
    termios raw{};
    ASSERT_EQ(tcgetattr(fd, &raw), 0);
    EXPECT_FALSE(raw.c_lflag & ICANON);
    port.Close();
    termios after{};
    ASSERT_EQ(tcgetattr(fd, &after), 0);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&before));
    ::close(fd);
}

TEST(SerialPort, AHandOffOfAClosedSessionDoesNotReleaseTheNextSessionsReader) {
    auto fake = std::make_shared<test::FakeSerialState>();
    TSerialPort port{std::make_unique<test::FakeSerialBackend>(fake)};
    port.SetDeviceName("fake");
    const auto waits = [&] {
        std::lock_guard lock(fake->mutex);
        return fake->waits;
    };
    const auto waitForReader = [&](int count) {
        for (int i = 0; i < 5000 && waits() < count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    port.Open();
    fake->Receive({1}); // its hand-off stays queued: no events are processed yet
    waitForReader(1);
    port.Close();
    port.Open();
    int waitsDuringHandler = -1;
    port.OnRxChar = [&](TSerialPort&, int) {
        if (waitsDuringHandler < 0) {
            // While this hand-off is handled its reader must wait: a byte now is seen later.
            fake->Receive({3});
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            waitsDuringHandler = waits();
        }
    };
    fake->Receive({2});
    waitForReader(2);
    ASSERT_EQ(waits(), 2);
    QCoreApplication::processEvents(); // the stale hand-off first, then the current one
    EXPECT_EQ(waitsDuringHandler, 2);
    port.Close();
}

} // namespace
} // namespace vrx
