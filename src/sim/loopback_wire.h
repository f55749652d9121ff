#pragma once
// The line between a LoopbackBoard's thread and the backend that has it open: the bytes of both
// directions, held as a terminal's buffers hold them between a board and a program, and whether
// the line is there at all. Each start of the board begins a new session: a backend opened in an
// earlier one finds its line gone for good, as a program does whose adapter was pulled, even when
// the board is started again. Thread-safe.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace vrx::sim {

class LoopbackWire {
public:
    using Clock = std::chrono::steady_clock;

    // The board's side. The line comes up when the board starts, and goes away when it hangs
    // up or stops.
    void Attach();
    void Detach();
    // Waits at most `timeout` until the PC has sent bytes or WakeBoard() is called; returns the
    // bytes.
    std::vector<uint8_t> AwaitFromPc(std::chrono::microseconds timeout);
    void WakeBoard();
    // Bytes for the PC; dropped while no backend has the line open, as the open flushes them.
    void SendToPc(std::span<const uint8_t> bytes);
    void SetWireTiming(bool on) { wireTiming_ = on; }
    bool WireTiming() const { return wireTiming_; }

    // The PC's side, for the session Claim handed out. Claim opens the line exclusively:
    // ENODEV in `error` while the board does not serve it, EBUSY while it is open.
    bool Claim(uint64_t& session, int& error);
    void Release(uint64_t session);
    bool Up(uint64_t session) const;
    // False when the line is gone.
    bool SendToBoard(uint64_t session, std::span<const uint8_t> bytes);
    // Waits until bytes for the PC wait, the line is gone, or `stop` is set (then WakePc()), at
    // most until `deadline`; false when the deadline came first.
    bool AwaitBoard(uint64_t session, const std::atomic<bool>& stop,
                    std::optional<Clock::time_point> deadline);
    std::vector<uint8_t> TakeFromBoard(uint64_t session);
    void WakePc();

private:
    bool UpLocked(uint64_t session) const { return up_ && session == session_; }

    mutable std::mutex mutex_;
    std::condition_variable boardSide_;
    std::condition_variable pcSide_;
    std::vector<uint8_t> toBoard_;
    std::vector<uint8_t> toPc_;
    uint64_t session_ = 0;
    bool up_ = false;
    bool claimed_ = false;
    bool boardWake_ = false;
    std::atomic<bool> wireTiming_{false};
};

} // namespace vrx::sim
