#include "ctl/ctl_errors.h"
#include "ctl/simulated_port.h"

namespace vrx::ctl {

// The simulated board serves a pseudo-terminal, which this system does not have.
struct SimulatedPort::Board {};

SimulatedPort::SimulatedPort(const std::string& /*variant*/) {
    throw UsageError("--simulated is not available on this system: the simulated board runs on "
                     "Linux (vrx630-sim there); give the board's port with --port COMn");
}

SimulatedPort::~SimulatedPort() = default;

const std::string& SimulatedPort::Device() const {
    static const std::string none;
    return none;
}

} // namespace vrx::ctl
