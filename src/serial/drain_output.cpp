#include "serial/drain_output.h"

#include <chrono>
#include <thread>

namespace vrx {

bool DrainOutput(SerialBackend& backend, uint32_t boundMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (backend.OutQueueCount() > 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            backend.PurgeOut();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace vrx
