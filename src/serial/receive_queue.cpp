#include "serial/receive_queue.h"

#include <algorithm>

namespace vrx {

void ReceiveQueue::SetLimit(int readSize) {
    limit_ = static_cast<size_t>(std::max(readSize, 16));
}

TSerialEvents ReceiveQueue::Append(const uint8_t* bytes, size_t count, const LineSettings& settings,
                                   uint32_t& errors) {
    TSerialEvents events = 0;
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i] == 0 && (settings.options & osNullStrip)) {
            continue;
        }
        if (bytes_.size() >= limit_) {
            errors |= ceRxOver;
            continue;
        }
        bytes_.push_back(bytes[i]);
        events |= evRxChar;
        if (bytes[i] == settings.evtChar) {
            events |= evRxFlag;
        }
    }
    return events;
}

int ReceiveQueue::Take(uint8_t* data, int count) {
    const int n = std::min(count, static_cast<int>(bytes_.size()));
    std::copy_n(bytes_.begin(), n, data);
    bytes_.erase(bytes_.begin(), bytes_.begin() + n);
    return n;
}

} // namespace vrx
