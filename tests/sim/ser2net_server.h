#pragma once
// A real ser2net, started by a test on 127.0.0.1 with a configuration it writes, serving the
// devices it is given (simulated boards' pseudo-terminals) by RFC 2217 or as raw TCP, one
// client per port. Stopped, and started again on the same ports, as a rack's server restarts.

#include "child_process.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vrx::test {

class Ser2netServer {
public:
    struct Port {
        std::string device;
        bool rfc2217 = true;
    };

    Ser2netServer() = default;
    ~Ser2netServer();
    Ser2netServer(const Ser2netServer&) = delete;
    Ser2netServer& operator=(const Ser2netServer&) = delete;

    // Starts serving `ports` on free TCP ports of 127.0.0.1; false with Error() when ser2net is
    // missing or does not listen within 5 s.
    bool Start(const std::vector<Port>& ports);
    // Starts with a configuration as it stands, which serves the TCP ports `listens`.
    bool StartWith(const std::string& yaml, const std::vector<uint16_t>& listens);
    void Stop();
    // Starts again on the same TCP ports.
    bool Restart();

    uint16_t TcpPort(size_t index) const { return tcpPorts_.at(index); }
    // The port's name as the programs take it: rfc2217://127.0.0.1:N or socket://127.0.0.1:N.
    std::string Name(size_t index) const;
    const std::string& Error() const { return error_; }

private:
    bool Launch();

    std::vector<Port> ports_;
    std::vector<uint16_t> tcpPorts_;
    std::string folder_;
    std::unique_ptr<ChildProcess> process_;
    std::string error_;
};

// A TCP port of 127.0.0.1 that nothing listens on now.
uint16_t FreeLoopbackPort();

// Whether something listens on the TCP port of 127.0.0.1 (from the kernel's table: a test
// connection would be a client of its own).
bool ListensOnLoopback(uint16_t port);

} // namespace vrx::test
