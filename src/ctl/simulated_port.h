#pragma once
// The simulated board of --simulated, served in-process: on a pseudo-terminal where the system
// has them, so the tool goes the real serial path; on Windows over the board's loopback line.

#include "serial/serial_backend.h"

#include <memory>
#include <string>

namespace vrx::ctl {

class SimulatedPort {
public:
    // Starts a board of the named variant (plain, zepha, balsen, 516, 52x, 880); throws a
    // UsageError for an unknown one and a BoardError when its line cannot open.
    explicit SimulatedPort(const std::string& variant);
    ~SimulatedPort();
    // The device to open, and the backend to open it with (nullptr: the system's own).
    const std::string& Device() const;
    std::unique_ptr<SerialBackend> Backend();

private:
    struct Board;
    std::unique_ptr<Board> board_;
};

} // namespace vrx::ctl
