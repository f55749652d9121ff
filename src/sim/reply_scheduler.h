#pragma once
// The board's transmit side of the serial line: turns replies into bytes due at given times,
// applying wire timing, the reply delay, split replies and the extra byte of the line options.
// Replies leave strictly in order, each starting no earlier than the previous one has ended.
// Times are milliseconds on the caller's clock. Not thread-safe.

#include "sim/line_options.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace vrx::sim {

class ReplyScheduler {
public:
    void SetOptions(const LineOptions& options) { options_ = options; }

    // A request byte handed over at nowMs; returns when it has fully arrived (later than nowMs
    // only with wire timing, when bytes queue up behind each other on the line).
    double RequestByteArrived(double nowMs);

    // Queues a reply whose request was complete at readyMs; extraDelayMs comes on top of the
    // line's reply delay.
    void Schedule(std::vector<uint8_t> reply, double readyMs, double extraDelayMs = 0);

    // Bytes whose time has come, in order.
    std::vector<uint8_t> TakeDue(double nowMs);
    std::optional<double> NextDueMs() const;
    bool Idle() const { return chunks_.empty(); }

private:
    struct Chunk {
        double dueMs;
        std::vector<uint8_t> bytes;
    };

    LineOptions options_;
    std::deque<Chunk> chunks_;
    double inboundFreeMs_ = 0;
    double outboundFreeMs_ = 0;
};

} // namespace vrx::sim
