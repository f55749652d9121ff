#include "sim/simulated_board.h"

#include <cmath>

namespace vrx::sim {

SimulatedBoard::SimulatedBoard(BoardVariant variant, const LineOptions& options)
    : firmware_(variant) {
    SetOptions(options);
}

void SimulatedBoard::SetOptions(const LineOptions& options) {
    options_ = options;
    scheduler_.SetOptions(options);
}

void SimulatedBoard::AdvanceTo(double nowMs) {
    const auto now = static_cast<int64_t>(std::floor(nowMs));
    const int64_t elapsed = firmware_.Model().ElapsedMs();
    if (now > elapsed) {
        firmware_.Model().Advance(static_cast<int>(now - elapsed));
    }
}

void SimulatedBoard::Receive(std::span<const uint8_t> bytes, double nowMs) {
    if (hangUpDue_) {
        return;
    }
    trace_.Record(bytes, nowMs);
    AdvanceTo(nowMs);
    for (uint8_t byte : bytes) {
        const double arrived = scheduler_.RequestByteArrived(nowMs);
        if (auto reply = firmware_.Feed(byte)) {
            Dispatch(std::move(*reply), arrived);
            if (hangUpDue_) {
                return;
            }
        }
    }
}

void SimulatedBoard::Dispatch(BoardReply reply, double readyMs) {
    const bool identification = reply.kind == ReplyKind::Identification;
    if (!identification) {
        if (options_.hangUpAfter && commandsAnswered_ >= *options_.hangUpAfter) {
            hangUpDue_ = true;
            return;
        }
        ++commandsAnswered_;
    }
    ++repliesProduced_;
    if (options_.silent || (options_.dropEvery > 0 && repliesProduced_ % options_.dropEvery == 0)) {
        ++repliesLost_;
        return;
    }
    double extraDelay = 0;
    if (identification) {
        if (options_.wrongIdent) {
            reply.bytes.assign(options_.wrongIdent->begin(), options_.wrongIdent->end());
        }
        extraDelay = options_.identDelayMs;
    }
    scheduler_.Schedule(std::move(reply.bytes), readyMs, extraDelay);
}

} // namespace vrx::sim
