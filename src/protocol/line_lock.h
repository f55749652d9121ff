#pragma once
// LineLock: who may use a board's line. One thread at a time holds it, for one telegram and its
// answer or for a sequence that must not be split (a Go, a Stop, a register's read and rewrite);
// never for a wait between telegrams. Threads are served in the order they asked, so a thread
// that sends back to back cannot starve another, and the holder may take it again. A thread
// waiting for it asks its stop request every few milliseconds, outside the queue, so a stop
// request may itself use the line.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace vrx {

class LineLock {
public:
    // Waits for the line, asking `cancelled` (if any) at least every `checkMs`; false when it
    // asked to stop first.
    bool Acquire(const std::function<bool()>& cancelled, uint32_t checkMs);
    void Release();
    // Whether this thread holds any board's line now: a stop request that would use a line must
    // not run then.
    static bool HeldByThisThread();

private:
    std::mutex mutex_;
    std::condition_variable freed_;
    std::deque<uint64_t> queue_; // tickets of the threads waiting, oldest first
    uint64_t nextTicket_ = 0;
    std::thread::id owner_;
    int depth_ = 0;
};

// Holds a LineLock for its life when it acquired it.
class LineHold {
public:
    LineHold() = default;
    explicit LineHold(LineLock& lock, const std::function<bool()>& cancelled, uint32_t checkMs)
        : lock_(lock.Acquire(cancelled, checkMs) ? &lock : nullptr) {}
    ~LineHold() { Release(); }
    // Ends the hold before the end of its life.
    void Release() {
        if (lock_ != nullptr) {
            std::exchange(lock_, nullptr)->Release();
        }
    }
    LineHold(LineHold&& other) noexcept : lock_(std::exchange(other.lock_, nullptr)) {}
    LineHold& operator=(LineHold&&) = delete;
    LineHold(const LineHold&) = delete;
    LineHold& operator=(const LineHold&) = delete;
    explicit operator bool() const { return lock_ != nullptr; }

private:
    LineLock* lock_ = nullptr;
};

} // namespace vrx
