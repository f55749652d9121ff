#pragma once
// A serial backend without a device: records every write, lets the test deliver received
// bytes, set the transmit-queue count and write results, and make the device go away.

#include "serial/serial_backend.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace vrx::test {

struct FakeSerialState {
    std::mutex mutex;
    std::condition_variable wake;
    bool open = false;
    bool interrupted = false;
    bool lost = false;
    bool lostReported = false;
    TSerialEvents pending = 0;
    std::deque<uint8_t> rx;
    std::vector<std::vector<uint8_t>> writes; // one entry per accepted Write call
    int outQueue = 0;
    int forcedWriteResult = 0; // 0: accept the write; otherwise returned instead
    int purgeIn = 0, purgeOut = 0;
    int waits = 0; // how often the reader returned from WaitEvent with events
    // Called on the user-interface thread after each accepted write, outside the lock.
    std::function<void(const std::vector<uint8_t>&)> onWrite;

    void Receive(const std::vector<uint8_t>& bytes) {
        {
            std::lock_guard lock(mutex);
            rx.insert(rx.end(), bytes.begin(), bytes.end());
            pending |= evRxChar;
        }
        wake.notify_all();
    }
    void Lose() {
        {
            std::lock_guard lock(mutex);
            lost = true;
        }
        wake.notify_all();
    }
    std::vector<uint8_t> Wire() {
        std::lock_guard lock(mutex);
        std::vector<uint8_t> all;
        for (const auto& w : writes) {
            all.insert(all.end(), w.begin(), w.end());
        }
        return all;
    }
    size_t WriteCount() {
        std::lock_guard lock(mutex);
        return writes.size();
    }
    size_t RxCount() {
        std::lock_guard lock(mutex);
        return rx.size();
    }
};

class FakeSerialBackend final : public SerialBackend {
public:
    explicit FakeSerialBackend(std::shared_ptr<FakeSerialState> state) : s_(std::move(state)) {}

    bool Open(const std::string& device, int& error) override {
        std::lock_guard lock(s_->mutex);
        if (device == "missing") {
            error = 2;
            return false;
        }
        s_->open = true;
        s_->interrupted = false;
        s_->lost = s_->lostReported = false;
        return true;
    }
    void Close() override {
        std::lock_guard lock(s_->mutex);
        s_->open = false;
    }
    bool IsOpen() const override {
        std::lock_guard lock(s_->mutex);
        return s_->open;
    }
    void SetQueueSizes(int, int) override {}
    bool Apply(const LineSettings&) override { return true; }
    int Write(const uint8_t* data, int count) override {
        std::vector<uint8_t> bytes(data, data + count);
        {
            std::lock_guard lock(s_->mutex);
            if (s_->forcedWriteResult != 0) {
                return s_->forcedWriteResult;
            }
            s_->writes.push_back(bytes);
        }
        if (s_->onWrite) {
            s_->onWrite(bytes);
        }
        return count;
    }
    int Read(uint8_t* data, int count) override {
        std::lock_guard lock(s_->mutex);
        int n = 0;
        for (; n < count && !s_->rx.empty(); ++n) {
            data[n] = s_->rx.front();
            s_->rx.pop_front();
        }
        return n;
    }
    int InQueueCount() override {
        std::lock_guard lock(s_->mutex);
        return static_cast<int>(s_->rx.size());
    }
    int OutQueueCount() override {
        std::lock_guard lock(s_->mutex);
        return s_->outQueue;
    }
    void PurgeIn() override {
        std::lock_guard lock(s_->mutex);
        s_->rx.clear();
        ++s_->purgeIn;
    }
    void PurgeOut() override {
        std::lock_guard lock(s_->mutex);
        ++s_->purgeOut;
    }
    bool DeviceLost() override {
        std::lock_guard lock(s_->mutex);
        return s_->lost;
    }
    uint32_t TakeErrors() override {
        std::lock_guard lock(s_->mutex);
        return s_->lostReported ? uint32_t{ceDeviceLost} : 0u;
    }
    TSerialEvents WaitEvent(TSerialEvents monitored) override {
        std::unique_lock lock(s_->mutex);
        if (s_->lostReported) {
            return 0;
        }
        s_->wake.wait(lock, [&] { return s_->interrupted || s_->pending != 0 || s_->lost; });
        if (s_->interrupted) {
            return 0;
        }
        TSerialEvents events = std::exchange(s_->pending, 0);
        if (s_->lost) {
            s_->lostReported = true;
            events |= evError;
        }
        ++s_->waits;
        return events & monitored;
    }
    void InterruptWait() override {
        {
            std::lock_guard lock(s_->mutex);
            s_->interrupted = true;
        }
        s_->wake.notify_all();
    }

private:
    std::shared_ptr<FakeSerialState> s_;
};

} // namespace vrx::test
