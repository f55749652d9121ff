#pragma once
// A simulated board served in-process for a program that opens it like a port: on a
// pseudo-terminal where the system has them, so the program goes the real serial path; on
// Windows over the board's loopback line.
//
//   SimulatedPort port("52x");
//   SerialLine line(port.Backend());
//   line.Open(port.Device(), settings, error) ...

#include "serial/serial_backend.h"
#include "sim/line_options.h"
#include "sim/served_board.h"

#include <memory>
#include <string>

namespace vrx::sim {

class SimulatedPort {
public:
    // Starts a board of the named variant (plain, zepha, balsen, 516, 52x, 880): an
    // std::invalid_argument for an unknown one, an std::runtime_error when its line cannot open.
    explicit SimulatedPort(const std::string& variant, const LineOptions& options = {});
    ~SimulatedPort();
    // The device to open, and the backend to open it with (nullptr: the system's own).
    const std::string& Device() const;
    std::unique_ptr<SerialBackend> Backend();
    // The board itself: its traces, options and chip model.
    ServedBoard& Board();

private:
    struct Served;
    std::unique_ptr<Served> served_;
};

} // namespace vrx::sim
