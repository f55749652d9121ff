#pragma once
// A plain termios client of a serial device, opened the way the program opens its port
// (non-blocking, raw, 19200 8N1), for talking to the board over its pseudo-terminal in tests.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace vrx::sim {

class SerialClient {
public:
    SerialClient() = default;
    ~SerialClient() { Close(); }
    SerialClient(const SerialClient&) = delete;
    SerialClient& operator=(const SerialClient&) = delete;

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    bool Write(const std::vector<uint8_t>& bytes);
    // Reads until `count` bytes have come or the timeout has passed; returns what came.
    std::vector<uint8_t> Read(size_t count, std::chrono::milliseconds timeout);
    // Writes the request and reads the reply of `count` bytes.
    std::vector<uint8_t> Transfer(const std::vector<uint8_t>& request, size_t count,
                                  std::chrono::milliseconds timeout);
    // True once poll() reports a hang-up of the line, within the timeout.
    bool WaitForHangUp(std::chrono::milliseconds timeout);

private:
    int fd_ = -1;
};

} // namespace vrx::sim
