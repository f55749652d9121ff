#include "protocol/board_session.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace vrx {

BoardSession::BoardSession(SerialLine& line, uint32_t replyTimeoutMs)
    : line_(line), replyTimeoutMs_(replyTimeoutMs) {}

std::optional<std::vector<uint8_t>> BoardSession::Command(const std::vector<uint8_t>& bytes,
                                                          int replyBytes, bool detecting) {
    if (Cancelled()) {
        return std::nullopt;
    }
    line_.PurgeIn(); // whatever came meanwhile answers nothing
    if (!line_.Write(bytes.data(), int(bytes.size()), replyTimeoutMs_)) {
        return std::nullopt;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(replyTimeoutMs_);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int64_t slice =
            cancelled_ ? std::min<int64_t>(left.count(), kCancelCheckMs) : left.count();
        const int waiting = line_.WaitForInput(replyBytes, uint32_t(std::max<int64_t>(0, slice)));
        if (ClassifyArrival(true, detecting, waiting) == Arrival::Take) {
            std::vector<uint8_t> reply(size_t(replyBytes), 0);
            line_.Read(reply.data(), replyBytes);
            return reply;
        }
        if (line_.Lost() || left.count() <= 0 || Cancelled()) {
            line_.PurgeIn();
            return std::nullopt;
        }
        if (waiting > replyBytes) {
            // More than a reply: not one to take; wait out the timeout as the program does.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

bool BoardSession::Pause(std::chrono::steady_clock::time_point until) const {
    for (;;) {
        if (Cancelled()) {
            return false;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) {
            return true;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            until - now, std::chrono::milliseconds(kCancelCheckMs)));
    }
}

std::optional<Identification> BoardSession::Detect() {
    line_.PurgeOut();
    const uint8_t zero = 0x00;
    for (int i = 0; i < kDetectionZeros; ++i) {
        if (!line_.Write(&zero, 1, replyTimeoutMs_)) {
            return std::nullopt;
        }
    }
    const auto reply = Command({kDetectionEnd}, kIdentificationBytes, true);
    if (!reply) {
        return std::nullopt;
    }
    Identification id{};
    std::copy(reply->begin(), reply->end(), id.begin());
    kind_ = IdentifyBoard(id);
    if (kind_ == BoardKind::Zepha) {
        // A board that missed its set-up would take the six-byte frames for garbage.
        line_.PurgeOut();
        if (!line_.Write(kZephaSetup.data(), int(kZephaSetup.size()), replyTimeoutMs_)) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kZephaPauseMs));
        if (!line_.Write(kZephaMode.data(), int(kZephaMode.size()), replyTimeoutMs_)) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kZephaPauseMs));
    }
    return id;
}

LineHold BoardSession::Hold() {
    return LineHold(lineLock_, cancelled_, kCancelCheckMs);
}

LineHold BoardSession::HoldUncancelled() {
    return LineHold(lineLock_, nullptr, kCancelCheckMs);
}

std::optional<Answer> BoardSession::Transfer(const Telegram& t) {
    const LineHold hold = Hold();
    if (!hold) {
        return std::nullopt;
    }
    const auto reply = Command(TelegramFrame(t, kind_ == BoardKind::Zepha), kReplyBytes, false);
    if (!reply) {
        return std::nullopt;
    }
    const Answer answer{(*reply)[0], (*reply)[1], (*reply)[2], (*reply)[3]};
    if (observer_) {
        observer_(t, answer);
    }
    return answer;
}

} // namespace vrx
