#pragma once
// A TCP connection for a serial port on the network: connected within a bound, the name
// resolved within it too, written whole, read without blocking, and waited on by a reader
// thread that another thread can wake. One implementation per system.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vrx {

class TcpSocket {
public:
    TcpSocket();
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Resolves `host` and connects to it within `timeoutMs`. On failure an errno value in
    // `error` and the reason in the user's words in `reason`: "cannot resolve HOST",
    // "nothing listens at SERVER", "SERVER did not answer within N s".
    bool Connect(const std::string& host, uint16_t port, const std::string& server,
                 uint32_t timeoutMs, int& error, std::string& reason);
    void Close();
    bool IsOpen() const;

    // Hands all of `data` to the system within `timeoutMs`; false on failure or timeout.
    bool SendAll(const uint8_t* data, size_t count, uint32_t timeoutMs);

    static constexpr long kNothingYet = -2;
    // Up to `count` bytes that have come; kNothingYet when none wait, 0 when the server closed
    // the connection, -1 when it failed.
    long Receive(uint8_t* data, size_t count);

    enum class Ready { Readable, Woken, TimedOut, Failed };
    // Waits until bytes (or the server's close) can be read, Wake is called, or `timeoutMs`
    // pass (-1: no bound).
    Ready Wait(int timeoutMs);
    // Ends a Wait in another thread, or the next one.
    void Wake();

private:
    struct Impl;
    Impl* impl_;
};

} // namespace vrx
