#pragma once
// The component's own receive queue, which both backends drain the device into: bounded by
// the read buffer size, null bytes stripped when asked, the event character flagged. Not
// thread-safe: each backend guards it with its own lock.

#include "serial/serial_types.h"

#include <cstddef>
#include <cstdint>
#include <deque>

namespace vrx {

class ReceiveQueue {
public:
    void SetLimit(int readSize);
    // Appends arrived bytes; returns evRxChar / evRxFlag for what was queued, and sets
    // ceRxOver in `errors` for bytes that found the queue full.
    TSerialEvents Append(const uint8_t* bytes, size_t count, const LineSettings& settings,
                         uint32_t& errors);
    // Takes up to `count` bytes.
    int Take(uint8_t* data, int count);
    size_t Size() const { return bytes_.size(); }
    void Clear() { bytes_.clear(); }

private:
    std::deque<uint8_t> bytes_;
    size_t limit_ = 4096;
};

} // namespace vrx
