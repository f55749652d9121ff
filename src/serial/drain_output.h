#pragma once
// Closing a port lets what is still queued leave first: restoring the device's own settings at
// once would send the last bytes at the old line settings, or drop them.

#include "serial/serial_backend.h"

#include <cstdint>

namespace vrx {

// How long Close waits for the transmit queue: at 19200 baud a second is 1920 bytes, far more
// than any command leaves behind, and short enough for a stalled adapter.
constexpr uint32_t kCloseDrainMs = 1000;

// Waits until the backend's transmit queue is empty, at most `boundMs`, then purges what is
// left. True when everything left.
bool DrainOutput(SerialBackend& backend, uint32_t boundMs = kCloseDrainMs);

} // namespace vrx
