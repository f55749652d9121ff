#include "sim/board_firmware.h"

#include <string_view>

namespace vrx::sim {

namespace {

constexpr std::string_view kSetUpText = " 0132";

} // namespace

std::vector<BoardReply> BoardFirmware::Feed(std::span<const uint8_t> bytes) {
    std::vector<BoardReply> replies;
    for (uint8_t byte : bytes) {
        if (auto reply = Feed(byte)) {
            replies.push_back(std::move(*reply));
        }
    }
    return replies;
}

std::optional<BoardReply> BoardFirmware::Feed(uint8_t byte) {
    if (pending_.empty()) {
        return Start(byte);
    }
    pending_.push_back(byte);
    return Continue();
}

std::optional<BoardReply> BoardFirmware::Start(uint8_t byte) {
    switch (byte) {
    case kFrameStart:
    case kSlowFrameStart:
    case kStallCommand:
    case kCurrentCommand:
    case kSetUpStart:
    case kSetUpTail:
        pending_.push_back(byte);
        return std::nullopt;
    case kIdentify: {
        zephaSetUp_ = false;
        const std::string_view text = IdentificationText(variant_);
        return BoardReply{ReplyKind::Identification,
                          std::vector<uint8_t>(text.begin(), text.end())};
    }
    default:
        break;
    }
    if (IsQuery(byte)) {
        const auto answer = peripherals_.Answer(byte, model_);
        return BoardReply{ReplyKind::Query, std::vector<uint8_t>(answer.begin(), answer.end())};
    }
    return std::nullopt; // 0x00 of the detection burst, or line noise
}

size_t BoardFirmware::FrameLength() const {
    const bool zephaForm = variant_ == BoardVariant::Zepha && zephaSetUp_ && pending_.size() >= 2 &&
                           pending_[1] == kFrameByteCount;
    return zephaForm ? 6 : 5;
}

std::optional<BoardReply> BoardFirmware::Continue() {
    const uint8_t head = pending_.front();
    const size_t size = pending_.size();
    switch (head) {
    case kFrameStart:
        if (size == FrameLength()) {
            return Relay();
        }
        return std::nullopt;
    case kSlowFrameStart:
        if (size == 2 && pending_[1] != kFrameByteCount) {
            // Not a frame after all: the "!" was noise, the byte after it may start a command.
            const uint8_t byte = pending_[1];
            pending_.clear();
            return Start(byte);
        }
        if (size == 6) {
            return Relay();
        }
        return std::nullopt;
    case kSetUpStart:
        if (pending_.back() != static_cast<uint8_t>(kSetUpText[size - 1])) {
            // The bytes matched so far are not commands; only the mismatching one may be.
            const uint8_t byte = pending_.back();
            pending_.clear();
            return Start(byte);
        }
        if (size == kSetUpText.size()) {
            zephaSetUp_ = true;
            ++setUpCount_;
            pending_.clear();
        }
        return std::nullopt;
    case kSetUpTail:
        if (size == 3) {
            setUpTail_ = std::array<uint8_t, 2>{pending_[1], pending_[2]};
            pending_.clear();
        }
        return std::nullopt;
    case kStallCommand:
        if (size == 3) {
            if (pending_[1] < kDriverChipCount) {
                peripherals_.SetStallThreshold(pending_[1], pending_[2]);
            }
            pending_.clear();
        }
        return std::nullopt;
    case kCurrentCommand:
        if (size == 3) {
            if (pending_[1] < kMotorCount) {
                peripherals_.SetMaxCurrent(pending_[1], pending_[2]);
            }
            pending_.clear();
        }
        return std::nullopt;
    default:
        pending_.clear();
        return std::nullopt;
    }
}

std::optional<BoardReply> BoardFirmware::Relay() {
    const size_t n = pending_.size();
    const Telegram telegram{pending_[n - 4], pending_[n - 3], pending_[n - 2], pending_[n - 1]};
    pending_.clear();
    ++telegramCount_;
    const Answer answer = model_.Execute(telegram);
    return BoardReply{ReplyKind::Telegram, {answer.a0, answer.a1, answer.a2, answer.a3}};
}

} // namespace vrx::sim
