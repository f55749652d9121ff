#pragma once
// What goes on the line to the board and how much comes back: the telegram frame, the
// one-byte queries, the detection burst and the ZEPHA set-up; a reply is taken only when
// exactly its length waits, and bytes that come while no command is in flight answer nothing.

#include "chip/telegram.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vrx {

constexpr int kReplyBytes = 4;           // a telegram's answer, a query's reply
constexpr int kIdentificationBytes = 10; // the answer to the detection burst
constexpr uint32_t kReplyTimeoutMs = 2000;

// "#" and the four bytes; the ZEPHA board takes "#" (or "!" for slow SPI), 0x04, four bytes.
std::vector<uint8_t> TelegramFrame(const Telegram& t, bool zepha = false, bool slowSpi = false);

// The detection burst: 128 zeros, each written on its own, then this byte, whose answer is the
// identification.
constexpr int kDetectionZeros = 128;
constexpr uint8_t kDetectionEnd = 0xFF;

// The ZEPHA board's set-up after its identification, with a pause after each part.
constexpr std::array<uint8_t, 5> kZephaSetup = {0x20, 0x30, 0x31, 0x33, 0x32};
constexpr std::array<uint8_t, 3> kZephaMode = {0x22, 0x00, 0x00};
constexpr int kZephaPauseMs = 15;

enum class Arrival {
    Discard, // nothing is in flight: a late reply or noise
    Wait,    // not the reply's length: the bytes stay queued and are counted again
    Take,    // exactly the reply
};
Arrival ClassifyArrival(bool inFlight, bool detecting, int waiting);

} // namespace vrx
