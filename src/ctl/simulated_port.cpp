#include "ctl/simulated_port.h"

#include "ctl/ctl_errors.h"
#include "sim/pty_board.h"

namespace vrx::ctl {

struct SimulatedPort::Board {
    explicit Board(sim::BoardVariant variant) : pty(variant) {}
    sim::PtyBoard pty;
};

SimulatedPort::SimulatedPort(const std::string& variant) {
    const auto parsed = sim::ParseVariant(variant);
    if (!parsed) {
        throw UsageError("no simulated board \"" + variant +
                         "\" (plain, zepha, balsen, 516, 52x, 880)");
    }
    board_ = std::make_unique<Board>(*parsed);
    if (!board_->pty.Start()) {
        throw BoardError("the simulated board did not start: " + board_->pty.ErrorText());
    }
}

SimulatedPort::~SimulatedPort() = default;

const std::string& SimulatedPort::Device() const {
    return board_->pty.DevicePath();
}

} // namespace vrx::ctl
