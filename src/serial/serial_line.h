#pragma once
// SerialLine: a serial port for programs without an event loop. A reader thread lets the
// backend drain the device into its receive queue; the caller writes, then waits with a
// deadline until the bytes it expects are there.

#include "serial/serial_backend.h"
#include "serial/serial_types.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace vrx {

class SerialLine {
public:
    explicit SerialLine(std::unique_ptr<SerialBackend> backend = nullptr);
    ~SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    // Opens the device exclusively with the settings; on failure an errno value in `error`.
    bool Open(const std::string& device, const LineSettings& settings, int& error);
    void Close();
    bool IsOpen() const { return backend_->IsOpen(); }
    // Why the last Open failed, in the user's words, from the error it gave.
    std::string FailureText(int error) const;
    // The device went away (a pulled adapter, a closed pseudo-terminal).
    bool Lost() const;

    // Waits for the bytes of an earlier write to leave, writes, and waits until these have
    // left too; false on failure or when `timeoutMs` passes first.
    bool Write(const uint8_t* data, int count, uint32_t timeoutMs);
    // Waits until at least `count` bytes wait, the device is lost, or `timeoutMs` pass;
    // returns the number of bytes waiting.
    int WaitForInput(int count, uint32_t timeoutMs);
    int Read(uint8_t* data, int count) { return backend_->Read(data, count); }
    int InQueueCount() { return backend_->InQueueCount(); }
    void PurgeIn() { backend_->PurgeIn(); }
    void PurgeOut() { backend_->PurgeOut(); }

private:
    void ReaderLoop();
    bool OutQueueEmptyBy(std::chrono::steady_clock::time_point deadline);

    std::unique_ptr<SerialBackend> backend_;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    bool lost_ = false;
};

} // namespace vrx
