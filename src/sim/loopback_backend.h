#pragma once
// A SerialBackend on a LoopbackBoard's line, for systems without pseudo-terminals: what the
// program writes reaches the board, and the board's replies fill the receive queue, as the
// termios backend behaves on a device. It opens exclusively while the board serves (the device
// name is not looked at: the backend reaches only its own board) and has no settings of a device
// to restore on Close. With wire timing the out-queue holds each write for its time on the wire;
// the bytes themselves reach the board at once, as on a pseudo-terminal, whose board times its
// replies from when they came.

#include "serial/receive_queue.h"
#include "serial/serial_backend.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

namespace vrx::sim {

class LoopbackWire;

class LoopbackBackend final : public SerialBackend {
public:
    explicit LoopbackBackend(std::shared_ptr<LoopbackWire> wire);
    ~LoopbackBackend() override;
    LoopbackBackend(const LoopbackBackend&) = delete;
    LoopbackBackend& operator=(const LoopbackBackend&) = delete;

    bool Open(const std::string& device, int& error) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
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
    using Clock = std::chrono::steady_clock;

    TSerialEvents DrainLocked();
    void SettleInput();

    std::shared_ptr<LoopbackWire> wire_;
    uint64_t session_ = 0;
    std::atomic<bool> open_{false};
    std::atomic<bool> stop_{false};
    std::atomic<int> rxTrigger_{0};
    std::mutex mutex_;
    ReceiveQueue rx_;
    uint32_t errors_ = 0;
    bool lost_ = false;
    bool lostReported_ = false;
    LineSettings settings_;
    // When the last byte written has left, with wire timing.
    Clock::time_point txDone_{};
};

} // namespace vrx::sim
