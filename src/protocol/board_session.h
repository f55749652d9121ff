#pragma once
// BoardSession: the board protocol for programs without an event loop. It detects and
// identifies the board, and sends one command at a time on a SerialLine, waiting for each
// reply until the reply timeout. Bytes that come while no command is in flight are discarded
// before the next command goes out. Several threads may share a session: each telegram, and
// each sequence held with Hold(), has the line to itself, and no wait between telegrams keeps
// another thread off the line.

#include "chip/telegram.h"
#include "protocol/board_frames.h"
#include "protocol/board_identification.h"
#include "protocol/line_lock.h"
#include "serial/serial_line.h"

#include <array>
#include <atomic>
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
    // The line for this thread alone until the hold ends, for telegrams that belong together;
    // an empty hold when the stop request came first.
    LineHold Hold();
    // The same, waiting whatever the stop request says: for closing the line under it.
    LineHold HoldUncancelled();
    // Called with every telegram the board answered and its answer, on the thread that sent it,
    // while it holds the line: how a front end follows the dividers its own telegrams change.
    using Observer = std::function<void(const Telegram&, const Answer&)>;
    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    // Stops sent through this session, per motor 0..2: a wait for a motor to arrive that sees
    // the count change knows the motor was stopped on its way.
    void NoteStopped(int motor) { ++stops_[size_t(motor)]; }
    uint32_t Stops(int motor) const { return stops_[size_t(motor)]; }

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
    Observer observer_;
    LineLock lineLock_;
    std::array<std::atomic<uint32_t>, 3> stops_{};
};

} // namespace vrx
