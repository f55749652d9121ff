#include "serial/tick_clock.h"

#include <chrono>

namespace vrx {

uint32_t MonotonicTickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

static_assert(TicksSince(5, 0xFFFFFFF0u) == 21);

} // namespace vrx
