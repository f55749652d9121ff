// The Windows backend against a board on a COM port: what the POSIX backend's tests pin on a
// pseudo-terminal, here through the communications API.
#include "serial/win32_serial_backend.h"

#include "board_port.h"
#include "chip/register_map.h"
#include "event_reader.h"
#include "protocol/board_frames.h"
#include "serial/device_name.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <future>
#include <thread>

namespace vrx {
namespace {

using test::EventReader;

// The board's line: 19200 baud, 8N1, RTS raised while sending.
LineSettings BoardLine() {
    LineSettings line;
    line.baudRate = cbr19200;
    line.flowControl = fcRTSToggle;
    return line;
}

// Writes all of `bytes` and waits until they have left.
void Send(SerialBackend& backend, const std::vector<uint8_t>& bytes) {
    ASSERT_GE(backend.Write(bytes.data(), int(bytes.size())), 0);
    for (int i = 0; i < 5000 && backend.OutQueueCount() > 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(backend.OutQueueCount(), 0);
}

std::vector<uint8_t> ReadXActual() {
    return TelegramFrame(ReadTelegram(Register(MotorReg::XActual)));
}

class Win32BackendTest : public testing::Test {
protected:
    void SetUp() override { OpenOn(test::BoardPort()); }
    void OpenOn(const std::string& port) {
        ASSERT_FALSE(port.empty()) << "name the board's COM port in VRX_TEST_PORT";
        device = ResolveDeviceName(port);
        int error = 0;
        ASSERT_TRUE(backend.Open(device, error)) << port << ": " << OpenFailureReason(error);
        ASSERT_TRUE(backend.Apply(BoardLine()));
    }

    std::string device;
    Win32SerialBackend backend;
};

TEST_F(Win32BackendTest, ASecondOpenOfTheSamePortIsRefusedUntilTheFirstCloses) {
    Win32SerialBackend second;
    int error = 0;
    EXPECT_FALSE(second.Open(device, error));
    EXPECT_EQ(error, EBUSY);
    EXPECT_FALSE(second.IsOpen());
    backend.Close();
    EXPECT_TRUE(second.Open(device, error)) << OpenFailureReason(error);
}

TEST(Win32Backend, NamesThatCannotBeOpenedLeaveThePortClosed) {
    const std::string file = testing::TempDir() + "vrx630-not-a-port.txt";
    std::fclose(std::fopen(file.c_str(), "w"));
    const struct {
        std::string name;
        int error;
    } cases[] = {{ComPortDevice(233), ENOENT}, {"\\\\.\\NoSuchPort", ENOENT}, {file, ENOTTY}};
    for (const auto& c : cases) {
        Win32SerialBackend backend;
        int error = 0;
        EXPECT_FALSE(backend.Open(c.name, error)) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        EXPECT_FALSE(backend.IsOpen());
        backend.Close(); // closing a closed port does nothing
    }
    std::remove(file.c_str());
}

TEST_F(Win32BackendTest, TheIdentificationIsCountedInTheReceiveQueueAndReadInOrder) {
    EventReader reader(backend);
    for (int i = 0; i < kDetectionZeros; ++i) {
        Send(backend, {0x00});
    }
    Send(backend, {kDetectionEnd});
    ASSERT_TRUE(reader.WaitForQueue(kIdentificationBytes)) << backend.InQueueCount();
    char id[16] = {};
    EXPECT_EQ(backend.Read(reinterpret_cast<uint8_t*>(id), 16), kIdentificationBytes);
    EXPECT_STREQ(id, "VRX630V1.0"); // the simulated plain board's
    EXPECT_EQ(backend.InQueueCount(), 0);
    EXPECT_EQ(backend.OutQueueCount(), 0);
    std::printf("RTS toggling on %s: %s\n", test::BoardPort().c_str(),
                backend.TogglesRtsByHand()
                    ? "raised by hand around each write (the driver has none)"
                    : "by the driver");
}

TEST_F(Win32BackendTest, UnreadBytesAreCountedAgainAtTheNextArrivalWithoutSpinning) {
    EventReader reader(backend);
    Send(backend, ReadXActual());
    ASSERT_TRUE(reader.WaitForQueue(kReplyBytes));
    const size_t waits = reader.Waits();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(reader.Waits(), waits) << "bytes left waiting must not end further waits";
    Send(backend, ReadXActual());
    ASSERT_TRUE(reader.WaitForQueue(2 * kReplyBytes));
    uint8_t replies[2 * kReplyBytes] = {};
    EXPECT_EQ(backend.Read(replies, sizeof replies), 2 * kReplyBytes);
    EXPECT_TRUE(std::equal(replies, replies + kReplyBytes, replies + kReplyBytes));
}

TEST_F(Win32BackendTest, PurgeInDiscardsWaitingBytes) {
    EventReader reader(backend);
    Send(backend, ReadXActual());
    ASSERT_TRUE(reader.WaitForQueue(kReplyBytes));
    backend.PurgeIn();
    uint8_t buf[8];
    EXPECT_EQ(backend.InQueueCount(), 0);
    EXPECT_EQ(backend.Read(buf, 8), 0);
}

TEST_F(Win32BackendTest, AWriteWhileThePreviousIsPendingWritesNothingAndPurgeOutEndsIt) {
    // Zeros are what the board takes without answering: the start of a detection burst.
    const std::vector<uint8_t> block(256 * 1024, 0x00);
    ASSERT_EQ(backend.Write(block.data(), int(block.size())), 0)
        << "a block this large cannot leave at once";
    EXPECT_GT(backend.OutQueueCount(), 0);
    const uint8_t more = 0x00;
    EXPECT_EQ(backend.Write(&more, 1), 0);
    backend.PurgeOut();
    EXPECT_EQ(backend.OutQueueCount(), 0);
    Send(backend, ReadXActual()); // the line still works
}

TEST_F(Win32BackendTest, InterruptWaitEndsTheReaderAndTheLineReopens) {
    auto reader = std::make_unique<EventReader>(backend);
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the reader waits by now
    auto stopped = std::async(std::launch::async, [&] { reader->Stop(); });
    ASSERT_EQ(stopped.wait_for(std::chrono::seconds(5)), std::future_status::ready)
        << "the reader still waits";
    EXPECT_TRUE(reader->Ended());
    backend.Close();
    EXPECT_FALSE(backend.IsOpen());

    OpenOn(test::BoardPort());
    reader = std::make_unique<EventReader>(backend);
    Send(backend, ReadXActual());
    EXPECT_TRUE(reader->WaitForQueue(kReplyBytes));
}

TEST_F(Win32BackendTest, CloseGivesThePortBackItsLineSettings) {
    backend.Close();
    const auto baudOf = [&] {
        HANDLE h = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        const bool ok = h != INVALID_HANDLE_VALUE && GetCommState(h, &dcb);
        CloseHandle(h);
        return ok ? dcb.BaudRate : 0;
    };
    const DWORD before = baudOf();
    ASSERT_NE(before, 0u);
    ASSERT_NE(before, 9600u);
    int error = 0;
    ASSERT_TRUE(backend.Open(device, error));
    LineSettings slow = BoardLine();
    slow.baudRate = cbr9600;
    ASSERT_TRUE(backend.Apply(slow));
    backend.Close();
    EXPECT_EQ(baudOf(), before);
}

TEST(Win32Backend, AHangUpIsReportedOnceAndTheReaderStops) {
    const std::string port = test::HangUpPort();
    ASSERT_FALSE(port.empty()) << "name a board that hangs up in VRX_TEST_HANGUP_PORT";
    Win32SerialBackend backend;
    int error = 0;
    ASSERT_TRUE(backend.Open(ResolveDeviceName(port), error)) << OpenFailureReason(error);
    ASSERT_TRUE(backend.Apply(BoardLine()));
    EventReader reader(backend);
    const std::vector<uint8_t> frame = ReadXActual();
    ASSERT_GE(backend.Write(frame.data(), int(frame.size())), 0);
    ASSERT_TRUE(reader.WaitForEnd(10000)) << "no hang-up seen";
    const std::vector<uint32_t> errors = reader.Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0] & ceDeviceLost);
    backend.Close();
    EXPECT_FALSE(backend.IsOpen());
}

} // namespace
} // namespace vrx
