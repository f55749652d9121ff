#include "ctl/simulated_port.h"

#include "ctl/ctl_errors.h"

#ifdef _WIN32
#include "sim/loopback_board.h"
#else
#include "sim/pty_board.h"
#endif

namespace vrx::ctl {

namespace {

#ifdef _WIN32
using FrontEnd = sim::LoopbackBoard;
const std::string& DeviceOf(const FrontEnd&) {
    static const std::string name = FrontEnd::kDeviceName;
    return name;
}
std::unique_ptr<SerialBackend> BackendOf(FrontEnd& board) {
    return board.Connect();
}
#else
// The system's own backend opens the pseudo-terminal: the serial path of a real board.
using FrontEnd = sim::PtyBoard;
const std::string& DeviceOf(const FrontEnd& board) {
    return board.DevicePath();
}
std::unique_ptr<SerialBackend> BackendOf(FrontEnd&) {
    return nullptr;
}
#endif

} // namespace

struct SimulatedPort::Board {
    explicit Board(sim::BoardVariant variant) : served(variant) {}
    FrontEnd served;
};

SimulatedPort::SimulatedPort(const std::string& variant) {
    const auto parsed = sim::ParseVariant(variant);
    if (!parsed) {
        throw UsageError("no simulated board \"" + variant +
                         "\" (plain, zepha, balsen, 516, 52x, 880)");
    }
    board_ = std::make_unique<Board>(*parsed);
    if (!board_->served.Start()) {
        throw BoardError("the simulated board did not start: " + board_->served.ErrorText());
    }
}

SimulatedPort::~SimulatedPort() = default;

const std::string& SimulatedPort::Device() const {
    return DeviceOf(board_->served);
}

std::unique_ptr<SerialBackend> SimulatedPort::Backend() {
    return BackendOf(board_->served);
}

} // namespace vrx::ctl
