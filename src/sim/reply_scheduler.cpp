#include "sim/reply_scheduler.h"

#include <algorithm>

namespace vrx::sim {

double ReplyScheduler::RequestByteArrived(double nowMs) {
    if (!options_.wireTiming) {
        return nowMs;
    }
    inboundFreeMs_ = std::max(nowMs, inboundFreeMs_) + kByteTimeMs;
    return inboundFreeMs_;
}

void ReplyScheduler::Schedule(std::vector<uint8_t> reply, double readyMs, double extraDelayMs) {
    if (options_.extraByte) {
        reply.push_back(kExtraByte);
    }
    if (reply.empty()) {
        return;
    }
    const double start = std::max(readyMs + options_.delayMs + extraDelayMs, outboundFreeMs_);
    const bool split = options_.splitGapMs.has_value() && reply.size() > 2;
    const double gap = split ? *options_.splitGapMs : 0;
    if (options_.wireTiming) {
        // A byte is out once its last bit is; the gap opens after the second byte.
        for (size_t i = 0; i < reply.size(); ++i) {
            const double due = start + double(i + 1) * kByteTimeMs + (i >= 2 ? gap : 0);
            chunks_.push_back({due, {reply[i]}});
        }
    } else if (split) {
        chunks_.push_back({start, {reply.begin(), reply.begin() + 2}});
        chunks_.push_back({start + gap, {reply.begin() + 2, reply.end()}});
    } else {
        chunks_.push_back({start, std::move(reply)});
    }
    outboundFreeMs_ = chunks_.back().dueMs;
}

std::vector<uint8_t> ReplyScheduler::TakeDue(double nowMs) {
    std::vector<uint8_t> due;
    while (!chunks_.empty() && chunks_.front().dueMs <= nowMs) {
        const std::vector<uint8_t>& bytes = chunks_.front().bytes;
        due.insert(due.end(), bytes.begin(), bytes.end());
        chunks_.pop_front();
    }
    return due;
}

std::optional<double> ReplyScheduler::NextDueMs() const {
    if (chunks_.empty()) {
        return std::nullopt;
    }
    return chunks_.front().dueMs;
}

} // namespace vrx::sim
