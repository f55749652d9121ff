#pragma once
// The bytes the board has received, with the time each came (milliseconds of the board's steady
// clock since it started), so tests can assert what went on the wire. It keeps the newest
// Limit() bytes, older ones dropped, and none at a limit of 0, as a board that runs for hours
// without anyone asking must. Thread-safe: the board records while tests copy, clear and wait.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

namespace vrx::sim {

struct TraceEntry {
    uint8_t byte;
    double timeMs;
    friend bool operator==(const TraceEntry&, const TraceEntry&) = default;
};

class ByteTrace {
public:
    using Predicate = std::function<bool(const std::vector<TraceEntry>&)>;
    // Enough for any test's session; 16 MB at most.
    static constexpr size_t kDefaultLimit = size_t(1) << 20;

    void SetLimit(size_t bytes);
    size_t Limit() const;

    void Record(std::span<const uint8_t> bytes, double timeMs);

    std::vector<TraceEntry> Entries() const;
    std::vector<uint8_t> Bytes() const;
    size_t Size() const;
    void Clear();

    // Wait until at least `count` bytes are recorded, or until `done` holds for the recorded
    // entries; false when the timeout passes first.
    bool WaitForCount(size_t count, std::chrono::milliseconds timeout) const;
    bool WaitUntil(const Predicate& done, std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<TraceEntry> entries_;
    size_t limit_ = kDefaultLimit;
};

} // namespace vrx::sim
