#pragma once
// Serial ports of Windows through the communications API, with overlapped I/O. The reader
// thread drains the device into the component's own receive queue, as the POSIX backend does,
// so a wait reports new arrivals only and never spins while earlier bytes stay unread.

#include "serial/receive_queue.h"
#include "serial/serial_backend.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

namespace vrx {

class Win32SerialBackend final : public SerialBackend {
public:
    Win32SerialBackend();
    ~Win32SerialBackend() override;
    Win32SerialBackend(const Win32SerialBackend&) = delete;
    Win32SerialBackend& operator=(const Win32SerialBackend&) = delete;

    bool Open(const std::string& device, int& error) override;
    void Close() override;
    bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
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

    // The driver refused RTS toggling, so the backend raises RTS around each write itself.
    bool TogglesRtsByHand();

private:
    bool WritePendingLocked();
    bool QueryStatusLocked(COMSTAT& status);
    TSerialEvents DrainInputLocked();
    DWORD AwaitCommEvent(bool& failed);
    void EndCommWait();
    void DropRtsWhenSent();

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    HANDLE portLock_ = nullptr; // held while open
    // Auto-reset: set by InterruptWait, and by a write whose RTS the reader is to drop.
    HANDLE wake_ = nullptr;
    std::atomic<bool> stop_{false};

    // The reader thread's port-event wait, kept across WaitEvent calls while pending.
    OVERLAPPED waitOverlap_{};
    DWORD waitMask_ = 0;
    bool waitPending_ = false;

    std::mutex mutex_;
    OVERLAPPED readOverlap_{};
    OVERLAPPED writeOverlap_{};
    std::vector<uint8_t> txBuffer_; // stays put while its write is pending
    bool writePending_ = false;
    unsigned writeCount_ = 0;
    ReceiveQueue rx_;
    size_t rxLimit_ = 4096;
    DWORD txSize_ = 2048;
    uint32_t errors_ = 0;
    bool lost_ = false;
    bool lostReported_ = false;
    LineSettings settings_;
    bool rtsToggleByHand_ = false;
    std::atomic<bool> rtsRaised_{false};
    // What the device was set to before Open; Close gives it back.
    std::optional<DCB> savedState_;
    std::optional<COMMTIMEOUTS> savedTimeouts_;
};

} // namespace vrx
