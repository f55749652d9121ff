#include "protocol/board_frames.h"

namespace vrx {

std::vector<uint8_t> TelegramFrame(const Telegram& t, bool zepha, bool slowSpi) {
    std::vector<uint8_t> frame;
    if (zepha) {
        frame = {uint8_t(slowSpi ? 0x21 : 0x23), 0x04};
    } else {
        frame = {0x23};
    }
    frame.insert(frame.end(), {t.b0, t.b1, t.b2, t.b3});
    return frame;
}

Arrival ClassifyArrival(bool inFlight, bool detecting, int waiting) {
    if (!inFlight) {
        return Arrival::Discard;
    }
    return waiting == (detecting ? kIdentificationBytes : kReplyBytes) ? Arrival::Take
                                                                       : Arrival::Wait;
}

} // namespace vrx
