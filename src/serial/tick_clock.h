#pragma once
// Milliseconds of a monotonic clock as unsigned 32 bit, compared by wrap-safe subtraction.

#include <cstdint>
#include <functional>

namespace vrx {

using TickClock = std::function<uint32_t()>;

uint32_t MonotonicTickCount();

// Milliseconds from `since` to `now`, correct across the 32-bit wrap.
constexpr uint32_t TicksSince(uint32_t now, uint32_t since) {
    return now - since;
}

} // namespace vrx
