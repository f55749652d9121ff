#include "sim/simulated_port.h"

#include <stdexcept>

#ifdef _WIN32
#include "sim/loopback_board.h"
#else
#include "sim/pty_board.h"
#endif

namespace vrx::sim {

namespace {

#ifdef _WIN32
using FrontEnd = LoopbackBoard;
const std::string& DeviceOf(const FrontEnd&) {
    static const std::string name = FrontEnd::kDeviceName;
    return name;
}
std::unique_ptr<SerialBackend> BackendOf(FrontEnd& board) {
    return board.Connect();
}
#else
// The system's own backend opens the pseudo-terminal: the serial path of a real board.
using FrontEnd = PtyBoard;
const std::string& DeviceOf(const FrontEnd& board) {
    return board.DevicePath();
}
std::unique_ptr<SerialBackend> BackendOf(FrontEnd&) {
    return nullptr;
}
#endif

} // namespace

struct SimulatedPort::Served {
    Served(BoardVariant variant, const LineOptions& options) : board(variant, options) {}
    FrontEnd board;
};

SimulatedPort::SimulatedPort(const std::string& variant, const LineOptions& options) {
    const auto parsed = ParseVariant(variant);
    if (!parsed) {
        throw std::invalid_argument("no simulated board \"" + variant +
                                    "\" (plain, zepha, balsen, 516, 52x, 880)");
    }
    served_ = std::make_unique<Served>(*parsed, options);
    if (!served_->board.Start()) {
        throw std::runtime_error("the simulated board did not start: " +
                                 served_->board.ErrorText());
    }
}

SimulatedPort::~SimulatedPort() = default;

const std::string& SimulatedPort::Device() const {
    return DeviceOf(served_->board);
}

std::unique_ptr<SerialBackend> SimulatedPort::Backend() {
    return BackendOf(served_->board);
}

ServedBoard& SimulatedPort::Board() {
    return served_->board;
}

} // namespace vrx::sim
