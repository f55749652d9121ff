#pragma once
// A reader thread as the serial components run one: it waits on the backend for arrivals and
// errors and records what each wait returned, until a wait returns nothing.

#include "serial/serial_backend.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vrx::test {

class EventReader {
public:
    explicit EventReader(SerialBackend& backend) : backend_(backend), thread_([this] { Loop(); }) {}
    ~EventReader() { Stop(); }
    EventReader(const EventReader&) = delete;
    EventReader& operator=(const EventReader&) = delete;

    void Stop() {
        if (thread_.joinable()) {
            backend_.InterruptWait();
            thread_.join();
        }
    }
    // Waits up to `ms` until a wait has ended with `count` bytes in the receive queue.
    bool WaitForQueue(int count, int ms = 5000) {
        return WaitUntil([&] { return queued_ == count; }, ms);
    }
    // Waits up to `ms` until a wait has returned nothing: the reader has ended.
    bool WaitForEnd(int ms) {
        return WaitUntil([this] { return ended_; }, ms);
    }
    size_t Waits() {
        std::lock_guard lock(mutex_);
        return events_.size();
    }
    std::vector<uint32_t> Errors() {
        std::lock_guard lock(mutex_);
        return errors_;
    }
    bool Ended() {
        std::lock_guard lock(mutex_);
        return ended_;
    }

private:
    bool WaitUntil(const std::function<bool()>& done, int ms) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(ms), done);
    }
    void Loop() {
        for (;;) {
            const TSerialEvents events = backend_.WaitEvent(evRxChar | evError);
            std::lock_guard lock(mutex_);
            if (events == 0) {
                ended_ = true;
                changed_.notify_all();
                return;
            }
            events_.push_back(events);
            queued_ = backend_.InQueueCount();
            if (events & evError) {
                errors_.push_back(backend_.TakeErrors());
            }
            changed_.notify_all();
        }
    }

    SerialBackend& backend_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<TSerialEvents> events_;
    std::vector<uint32_t> errors_;
    int queued_ = 0; // the receive queue when the last wait ended
    bool ended_ = false;
    std::thread thread_;
};

} // namespace vrx::test
