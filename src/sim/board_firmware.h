#pragma once
// The board's microcontroller: parses the byte stream from the PC and produces the reply of each
// complete command. It relays telegram frames to the VRX630 model, answers the one-byte queries
// from the board peripherals, takes the driver commands and the ZEPHA set-up without reply, and
// answers the detection byte 0xFF with the identification of its variant. Not thread-safe.
//
// Commands, outside a frame:
//   "#" b0 b1 b2 b3          telegram frame, reply: status byte and 24 data bits
//   "!" 0x04 b0 b1 b2 b3     telegram frame of the ZEPHA form, accepted by every variant
//   0x66 0x73 0x6D 0x76 0x70 queries, reply: four bytes
//   "S" chip code, "P" motor value, " 0132", 0x22 x x      no reply
//   0xFF                     identification, reply: ten bytes
//   0x00 and any other byte  ignored
// "#" followed by 0x04 is ambiguous: 0x04 is also the first byte of a V_MIN write. A ZEPHA board
// reads it as the byte count of the six-byte form once it has received its " 0132" set-up;
// before that, and on every other variant, "#" is always the five-byte form. An identification
// request starts the ZEPHA board over without the set-up, since the program sends the set-up
// again after each detection.

#include "sim/board_peripherals.h"
#include "sim/board_variant.h"
#include "sim/vrx630_model.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vrx::sim {

enum class ReplyKind : uint8_t { Telegram, Query, Identification };

struct BoardReply {
    ReplyKind kind;
    std::vector<uint8_t> bytes;
};

constexpr uint8_t kFrameStart = 0x23;     // "#"
constexpr uint8_t kSlowFrameStart = 0x21; // "!"
constexpr uint8_t kFrameByteCount = 0x04;
constexpr uint8_t kIdentify = 0xFF;
constexpr uint8_t kStallCommand = 0x53;   // "S"
constexpr uint8_t kCurrentCommand = 0x50; // "P"
constexpr uint8_t kSetUpStart = 0x20;     // " 0132"
constexpr uint8_t kSetUpTail = 0x22;      // 0x22 x x

class BoardFirmware {
public:
    explicit BoardFirmware(BoardVariant variant = BoardVariant::Plain) : variant_(variant) {}

    // One byte from the PC; the reply of the command it completes, if that command has one.
    std::optional<BoardReply> Feed(uint8_t byte);
    std::vector<BoardReply> Feed(std::span<const uint8_t> bytes);

    BoardVariant Variant() const { return variant_; }
    // True once " 0132" came since the last identification request.
    bool ZephaSetUp() const { return zephaSetUp_; }
    int SetUpCount() const { return setUpCount_; }
    // The two bytes after the last 0x22; empty until one came.
    std::optional<std::array<uint8_t, 2>> SetUpTail() const { return setUpTail_; }
    int TelegramCount() const { return telegramCount_; }
    // Bytes of the command being received, or empty between commands.
    std::span<const uint8_t> Pending() const { return pending_; }

    Vrx630Model& Model() { return model_; }
    const Vrx630Model& Model() const { return model_; }
    BoardPeripherals& Peripherals() { return peripherals_; }
    const BoardPeripherals& Peripherals() const { return peripherals_; }

private:
    std::optional<BoardReply> Start(uint8_t byte);
    std::optional<BoardReply> Continue();
    std::optional<BoardReply> Relay();
    size_t FrameLength() const;

    BoardVariant variant_;
    Vrx630Model model_;
    BoardPeripherals peripherals_;
    std::vector<uint8_t> pending_;
    bool zephaSetUp_ = false;
    int setUpCount_ = 0;
    std::optional<std::array<uint8_t, 2>> setUpTail_;
    int telegramCount_ = 0;
};

} // namespace vrx::sim
