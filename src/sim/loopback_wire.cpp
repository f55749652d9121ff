#include "sim/loopback_wire.h"

#include <cerrno>
#include <utility>

namespace vrx::sim {

void LoopbackWire::Attach() {
    {
        std::lock_guard lock(mutex_);
        ++session_;
        up_ = true;
        claimed_ = false;
        toBoard_.clear();
        toPc_.clear();
    }
    pcSide_.notify_all();
}

void LoopbackWire::Detach() {
    {
        std::lock_guard lock(mutex_);
        up_ = false;
        toBoard_.clear();
        toPc_.clear();
    }
    pcSide_.notify_all();
}

std::vector<uint8_t> LoopbackWire::AwaitFromPc(std::chrono::microseconds timeout) {
    std::unique_lock lock(mutex_);
    boardSide_.wait_for(lock, timeout, [this] { return boardWake_ || !toBoard_.empty(); });
    boardWake_ = false;
    return std::exchange(toBoard_, {});
}

void LoopbackWire::WakeBoard() {
    {
        std::lock_guard lock(mutex_);
        boardWake_ = true;
    }
    boardSide_.notify_all();
}

void LoopbackWire::SendToPc(std::span<const uint8_t> bytes) {
    {
        std::lock_guard lock(mutex_);
        if (!up_ || !claimed_) {
            return;
        }
        toPc_.insert(toPc_.end(), bytes.begin(), bytes.end());
    }
    pcSide_.notify_all();
}

bool LoopbackWire::Claim(uint64_t& session, int& error) {
    std::lock_guard lock(mutex_);
    if (!up_) {
        error = ENODEV;
        return false;
    }
    if (claimed_) {
        error = EBUSY;
        return false;
    }
    claimed_ = true;
    session = session_;
    toPc_.clear(); // what the board sent to nobody is not the next reply
    return true;
}

void LoopbackWire::Release(uint64_t session) {
    std::lock_guard lock(mutex_);
    if (session == session_) {
        claimed_ = false;
    }
}

bool LoopbackWire::Up(uint64_t session) const {
    std::lock_guard lock(mutex_);
    return UpLocked(session);
}

bool LoopbackWire::SendToBoard(uint64_t session, std::span<const uint8_t> bytes) {
    {
        std::lock_guard lock(mutex_);
        if (!UpLocked(session)) {
            return false;
        }
        toBoard_.insert(toBoard_.end(), bytes.begin(), bytes.end());
    }
    boardSide_.notify_all();
    return true;
}

bool LoopbackWire::AwaitBoard(uint64_t session, const std::atomic<bool>& stop,
                              std::optional<Clock::time_point> deadline) {
    std::unique_lock lock(mutex_);
    const auto ready = [&] { return stop || !UpLocked(session) || !toPc_.empty(); };
    if (!deadline) {
        pcSide_.wait(lock, ready);
        return true;
    }
    return pcSide_.wait_until(lock, *deadline, ready);
}

std::vector<uint8_t> LoopbackWire::TakeFromBoard(uint64_t session) {
    std::lock_guard lock(mutex_);
    return UpLocked(session) ? std::exchange(toPc_, {}) : std::vector<uint8_t>{};
}

void LoopbackWire::WakePc() {
    {
        std::lock_guard lock(mutex_); // so a waiter between its check and its sleep hears it
    }
    pcSide_.notify_all();
}

} // namespace vrx::sim
