#pragma once
// BoardSession: the board protocol for programs without an event loop. It detects and
// identifies the board, and sends one command at a time on a SerialLine, waiting for each
// reply until the reply timeout. Bytes that come while no command is in flight are discarded
// before the next command goes out.

#include "chip/telegram.h"
#include "protocol/board_frames.h"
#include "protocol/board_identification.h"
#include "serial/serial_line.h"

#include <chrono>
#include <functional>
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

    // Asked before each command goes out and at least every kCancelCheckMs while a reply is
    // awaited: true sends nothing more and ends the wait as if the board had not answered, so
    // a program stops at once, between telegrams to a board that answers at once as well as
    // however long the timeout.
    static constexpr uint32_t kCancelCheckMs = 10;
    void SetCancel(std::function<bool()> cancelled) { cancelled_ = std::move(cancelled); }
    // Whether the program asks to stop now: a command that went unanswered was cancelled.
    bool Cancelled() const { return cancelled_ && cancelled_(); }
    // Waits until `until`, asking as often as a reply wait does; false when cancelled first.
    bool Pause(std::chrono::steady_clock::time_point until) const;

private:
    std::optional<std::vector<uint8_t>> Command(const std::vector<uint8_t>& bytes, int replyBytes,
                                                bool detecting);

    SerialLine& line_;
    uint32_t replyTimeoutMs_;
    BoardKind kind_ = BoardKind::Plain;
    std::function<bool()> cancelled_;
};

} // namespace vrx
