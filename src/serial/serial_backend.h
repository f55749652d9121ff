#pragma once
// The platform side of the serial port component: one implementation per operating system,
// and fakes in tests. Everything is called on the user-interface thread except WaitEvent and
// InterruptWait, which the reader thread uses; implementations lock what both threads touch.

#include "serial/serial_types.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vrx {

class SerialBackend {
public:
    virtual ~SerialBackend() = default;

    // Opens the device exclusively; on failure returns false and sets `error` (an errno value,
    // also on Windows, so the reasons read alike everywhere).
    virtual bool Open(const std::string& device, int& error) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual void SetQueueSizes(int readSize, int writeSize) = 0;
    virtual bool Apply(const LineSettings& settings) = 0;

    // Starts writing without blocking: the count written at once; 0 when the bytes go on in
    // the background, or when a previous write is still pending (then nothing is written);
    // -1 on failure.
    virtual int Write(const uint8_t* data, int count) = 0;
    // Takes up to `count` bytes from the receive queue; -1 on failure.
    virtual int Read(uint8_t* data, int count) = 0;
    virtual int InQueueCount() = 0;
    virtual int OutQueueCount() = 0;
    virtual void PurgeIn() = 0;
    virtual void PurgeOut() = 0;
    // Line error flags gathered since the last call.
    virtual uint32_t TakeErrors() = 0;
    // The device has gone away (a failed write may be the first sign of it; the reader reports
    // the loss as well).
    virtual bool DeviceLost() { return false; }

    // Reader thread: blocks until one of the `monitored` events happens and returns them,
    // or returns 0 when InterruptWait was called. A lost device is reported as evError with
    // ceDeviceLost among the errors, once.
    virtual TSerialEvents WaitEvent(TSerialEvents monitored) = 0;
    virtual void InterruptWait() = 0;
    // Arrivals are reported at once when the receive queue holds at least `bytes` (0: off),
    // instead of after the line pauses. Any thread.
    virtual void SetRxTrigger(int /*bytes*/) {}
    // Why the last Open failed where an errno value says too little (a server's refusal);
    // empty when the error alone tells it.
    virtual std::string FailureText() const { return {}; }
};

// The system's serial devices: termios on POSIX systems, the communications API on Windows.
std::unique_ptr<SerialBackend> MakeDeviceBackend();

// The backend of whatever port name is opened: a network port (rfc2217://, socket://) or a
// device of the system, chosen at each Open.
std::unique_ptr<SerialBackend> MakeSerialBackend();

} // namespace vrx
