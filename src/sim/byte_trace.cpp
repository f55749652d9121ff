#include "sim/byte_trace.h"

#include <algorithm>

namespace vrx::sim {

void ByteTrace::SetLimit(size_t bytes) {
    std::lock_guard lock(mutex_);
    limit_ = bytes;
    if (entries_.size() > limit_) {
        entries_.erase(entries_.begin(), entries_.end() - long(limit_));
    }
    entries_.shrink_to_fit();
}

size_t ByteTrace::Limit() const {
    std::lock_guard lock(mutex_);
    return limit_;
}

void ByteTrace::Record(std::span<const uint8_t> bytes, double timeMs) {
    if (bytes.empty()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (limit_ == 0) {
            return;
        }
        // Dropping a quarter of the limit at a time keeps recording O(1) on average.
        if (entries_.size() + bytes.size() > limit_) {
            const size_t drop =
                std::min(entries_.size(), entries_.size() + bytes.size() - limit_ + limit_ / 4);
            entries_.erase(entries_.begin(), entries_.begin() + long(drop));
        }
        const size_t skipped = bytes.size() > limit_ ? bytes.size() - limit_ : 0;
        for (uint8_t byte : bytes.subspan(skipped)) {
            entries_.push_back({byte, timeMs});
        }
    }
    changed_.notify_all();
}

std::vector<TraceEntry> ByteTrace::Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

std::vector<uint8_t> ByteTrace::Bytes() const {
    std::lock_guard lock(mutex_);
    std::vector<uint8_t> bytes;
    bytes.reserve(entries_.size());
    for (const TraceEntry& entry : entries_) {
        bytes.push_back(entry.byte);
    }
    return bytes;
}

size_t ByteTrace::Size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

void ByteTrace::Clear() {
    {
        std::lock_guard lock(mutex_);
        entries_.clear();
    }
    changed_.notify_all();
}

bool ByteTrace::WaitForCount(size_t count, std::chrono::milliseconds timeout) const {
    return WaitUntil([count](const std::vector<TraceEntry>& e) { return e.size() >= count; },
                     timeout);
}

bool ByteTrace::WaitUntil(const Predicate& done, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return done(entries_); });
}

} // namespace vrx::sim
