#pragma once
// BoardSession: the board protocol for programs without an event loop. It detects and
// identifies the board, and sends one command at a time on a SerialLine, waiting for each
// reply until the reply timeout. Bytes that come while no command is in flight are discarded
// before the next command goes out.

#include "chip/telegram.h"
#include "protocol/board_frames.h"
#include "protocol/board_identification.h"
#include "serial/serial_line.h"

#include <optional>
#include <vector>

namespace vrx {

class BoardSession {
public:
    explicit BoardSession(SerialLine& line, uint32_t replyTimeoutMs = kReplyTimeoutMs);

    // The detection burst and the identification; the ZEPHA board then gets its set-up and
    // takes its own frames. Nothing when the board does not answer.
    std::optional<Identification> Detect();
    BoardKind Kind() const { return kind_; }

    // One telegram and its answer; nothing when the board does not answer.
    std::optional<Answer> Transfer(const Telegram& t);

private:
    std::optional<std::vector<uint8_t>> Command(const std::vector<uint8_t>& bytes, int replyBytes,
                                                bool detecting);

    SerialLine& line_;
    uint32_t replyTimeoutMs_;
    BoardKind kind_ = BoardKind::Plain;
};

} // namespace vrx
