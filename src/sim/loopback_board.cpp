#include "sim/loopback_board.h"

#include "sim/loopback_backend.h"
#include "sim/loopback_wire.h"

namespace vrx::sim {

LoopbackBoard::LoopbackBoard(BoardVariant variant, const LineOptions& options)
    : ServedBoard(variant, options), wire_(std::make_shared<LoopbackWire>()) {
    wire_->SetWireTiming(options.wireTiming);
}

LoopbackBoard::~LoopbackBoard() {
    Stop();
}

std::unique_ptr<SerialBackend> LoopbackBoard::Connect() {
    return std::make_unique<LoopbackBackend>(wire_);
}

bool LoopbackBoard::OpenLine() {
    wire_->Attach();
    return true;
}

void LoopbackBoard::CloseLine() {
    wire_->Detach();
}

void LoopbackBoard::WakeLine() {
    wire_->WakeBoard();
}

bool LoopbackBoard::WaitLine(int timeoutUs, bool /*sending*/, std::vector<uint8_t>& received) {
    // The line always takes what the board sends, so there is never room to wait for.
    const std::vector<uint8_t> bytes = wire_->AwaitFromPc(std::chrono::microseconds(timeoutUs));
    received.insert(received.end(), bytes.begin(), bytes.end());
    return !Stopping();
}

long LoopbackBoard::SendLine(std::span<const uint8_t> bytes) {
    wire_->SendToPc(bytes);
    return static_cast<long>(bytes.size());
}

void LoopbackBoard::HangUpLine() {
    wire_->Detach();
}

void LoopbackBoard::OptionsChanged(const LineOptions& options) {
    wire_->SetWireTiming(options.wireTiming);
}

} // namespace vrx::sim
