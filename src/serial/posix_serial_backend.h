#pragma once
// Serial ports of Linux and other POSIX systems through termios. The reader thread drains the
// device into the component's own receive queue, so a wait reports new arrivals only and never
// spins while earlier bytes stay unread.

#include "serial/receive_queue.h"
#include "serial/serial_backend.h"

#include <linux/serial.h>
#include <termios.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

namespace vrx {

class PosixSerialBackend final : public SerialBackend {
public:
    PosixSerialBackend() = default;
    ~PosixSerialBackend() override;
    PosixSerialBackend(const PosixSerialBackend&) = delete;
    PosixSerialBackend& operator=(const PosixSerialBackend&) = delete;

    bool Open(const std::string& device, int& error) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    void SetQueueSizes(int readSize, int writeSize) override;
    bool Apply(const LineSettings& settings) override;
    int Write(const uint8_t* data, int count) override;
    int Read(uint8_t* data, int count) override;
    int InQueueCount() override;
    int OutQueueCount() override;
    void PurgeIn() override;
    void PurgeOut() override;
    uint32_t TakeErrors() override;
    bool DeviceLost() override;
    TSerialEvents WaitEvent(TSerialEvents monitored) override;
    void InterruptWait() override;
    void SetRxTrigger(int bytes) override { rxTrigger_ = bytes; }

private:
    void Kick();
    void FlushPendingLocked();
    TSerialEvents DrainInputLocked();
    // The device reports a hang-up now (under mutex_).
    bool HungUpNowLocked() const;
    void SettleInput();
    TSerialEvents CheckModemLines();
    void DropRtsWhenSent();
    void ApplyFlowLines(TFlowControl flow);

    int fd_ = -1;
    int wakeFd_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<int> rxTrigger_{0};
    std::mutex mutex_;
    ReceiveQueue rx_;
    std::vector<uint8_t> txPending_;
    uint32_t errors_ = 0;
    bool lost_ = false;
    bool lostReported_ = false;
    LineSettings settings_;
    bool rtsToggleByHand_ = false;
    std::atomic<bool> rtsRaised_{false};
    bool modemLinesWork_ = false;
    int lastModem_ = 0;
    // What the device was set to before Open; Close gives it back (a terminal stays usable).
    std::optional<termios> savedTermios_;
    std::optional<serial_rs485> savedRs485_;
};

// Sets a baud rate that has no termios constant; false where the driver refuses.
bool SetCustomBaudRate(int fd, int baud);

} // namespace vrx
