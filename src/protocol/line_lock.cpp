#include "protocol/line_lock.h"

#include <algorithm>
#include <chrono>

namespace vrx {

namespace {

thread_local int t_linesHeld = 0;

} // namespace

bool LineLock::Acquire(const std::function<bool()>& cancelled, uint32_t checkMs) {
    std::unique_lock lock(mutex_);
    const auto self = std::this_thread::get_id();
    if (depth_ > 0 && owner_ == self) {
        ++depth_;
        ++t_linesHeld;
        return true;
    }
    for (;;) {
        const uint64_t ticket = nextTicket_++;
        queue_.push_back(ticket);
        const bool turn = freed_.wait_for(lock, std::chrono::milliseconds(checkMs),
                                          [&] { return depth_ == 0 && queue_.front() == ticket; });
        if (turn) {
            queue_.pop_front();
            owner_ = self;
            depth_ = 1;
            ++t_linesHeld;
            return true;
        }
        // The stop request is asked outside the queue: it may run a handler that uses this
        // line, which must not wait behind this thread's own place.
        queue_.erase(std::find(queue_.begin(), queue_.end(), ticket));
        freed_.notify_all(); // the next in line may be first now
        if (cancelled) {
            lock.unlock();
            const bool stop = cancelled();
            lock.lock();
            if (stop) {
                return false;
            }
        }
    }
}

void LineLock::Release() {
    {
        std::lock_guard lock(mutex_);
        --t_linesHeld;
        if (--depth_ > 0) {
            return;
        }
        owner_ = {};
    }
    freed_.notify_all();
}

bool LineLock::HeldByThisThread() {
    return t_linesHeld > 0;
}

} // namespace vrx
