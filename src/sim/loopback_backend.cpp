#include "sim/loopback_backend.h"

#include "sim/line_options.h"
#include "sim/loopback_wire.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

namespace vrx::sim {

LoopbackBackend::LoopbackBackend(std::shared_ptr<LoopbackWire> wire) : wire_(std::move(wire)) {}

LoopbackBackend::~LoopbackBackend() {
    Close();
}

bool LoopbackBackend::Open(const std::string& /*device*/, int& error) {
    Close();
    error = 0;
    if (!wire_->Claim(session_, error)) {
        return false;
    }
    std::lock_guard lock(mutex_);
    stop_ = false;
    lost_ = lostReported_ = false;
    errors_ = 0;
    rx_.Clear();
    txDone_ = {};
    open_ = true;
    return true;
}

void LoopbackBackend::Close() {
    if (!open_) {
        return;
    }
    open_ = false;
    wire_->Release(session_);
    std::lock_guard lock(mutex_);
    rx_.Clear();
}

void LoopbackBackend::SetQueueSizes(int readSize, int /*writeSize*/) {
    std::lock_guard lock(mutex_);
    rx_.SetLimit(readSize);
}

bool LoopbackBackend::Apply(const LineSettings& settings) {
    if (!open_) {
        return false;
    }
    std::lock_guard lock(mutex_);
    settings_ = settings;
    return true;
}

int LoopbackBackend::Write(const uint8_t* data, int count) {
    if (!open_ || count < 0) {
        return -1;
    }
    std::lock_guard lock(mutex_);
    if (count > 0 && !wire_->SendToBoard(session_, std::span(data, size_t(count)))) {
        lost_ = true; // the reader hears it from the line, which is gone
        return -1;
    }
    if (wire_->WireTiming()) {
        // The line carries one byte after the other: a write queues behind the one before.
        const auto onWire = std::chrono::duration<double, std::milli>(kByteTimeMs * count);
        txDone_ =
            std::max(txDone_, Clock::now()) + std::chrono::duration_cast<Clock::duration>(onWire);
    }
    return count;
}

int LoopbackBackend::Read(uint8_t* data, int count) {
    if (!open_ || count < 0) {
        return -1;
    }
    std::lock_guard lock(mutex_);
    return rx_.Take(data, count);
}

int LoopbackBackend::InQueueCount() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(rx_.Size());
}

int LoopbackBackend::OutQueueCount() {
    if (!open_) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    const double leftMs = std::chrono::duration<double, std::milli>(txDone_ - Clock::now()).count();
    return leftMs > 0 ? static_cast<int>(std::ceil(leftMs / kByteTimeMs)) : 0;
}

void LoopbackBackend::PurgeIn() {
    std::lock_guard lock(mutex_);
    if (open_) {
        wire_->TakeFromBoard(session_);
    }
    rx_.Clear();
}

void LoopbackBackend::PurgeOut() {
    // What was written has reached the board already; only its time on the wire is cut short.
    std::lock_guard lock(mutex_);
    txDone_ = {};
}

uint32_t LoopbackBackend::TakeErrors() {
    std::lock_guard lock(mutex_);
    return std::exchange(errors_, 0);
}

bool LoopbackBackend::DeviceLost() {
    if (!open_) {
        return false;
    }
    std::lock_guard lock(mutex_);
    return lost_ || !wire_->Up(session_);
}

void LoopbackBackend::InterruptWait() {
    stop_ = true;
    wire_->WakePc();
}

TSerialEvents LoopbackBackend::DrainLocked() {
    const std::vector<uint8_t> bytes = wire_->TakeFromBoard(session_);
    if (!wire_->Up(session_)) {
        lost_ = true;
    }
    return rx_.Append(bytes.data(), bytes.size(), settings_, errors_);
}

void LoopbackBackend::SettleInput() {
    // As the termios backend does: a burst is reported once the line pauses for four, later two,
    // character times, or at once when the receive queue holds the trigger count.
    int baud = 0;
    {
        std::lock_guard lock(mutex_);
        baud = BaudRateValue(settings_.baudRate);
    }
    const auto charTime = std::chrono::microseconds(10'000'000 / (baud > 0 ? baud : 19200));
    auto settle = 4 * charTime;
    for (int burst = 0; burst < 64; ++burst) {
        {
            std::lock_guard lock(mutex_);
            const int trigger = rxTrigger_;
            if (trigger > 0 && rx_.Size() >= size_t(trigger)) {
                return;
            }
        }
        if (!wire_->AwaitBoard(session_, stop_, Clock::now() + settle) || stop_) {
            return; // the line is quiet, or told to wake: report what has come
        }
        std::lock_guard lock(mutex_);
        DrainLocked();
        if (lost_) {
            return;
        }
        settle = 2 * charTime;
    }
}

TSerialEvents LoopbackBackend::WaitEvent(TSerialEvents monitored) {
    for (;;) {
        if (stop_ || !open_ || lostReported_) {
            return 0;
        }
        wire_->AwaitBoard(session_, stop_, std::nullopt);
        if (stop_) {
            return 0;
        }
        TSerialEvents events = 0;
        bool lost = false;
        {
            std::lock_guard lock(mutex_);
            events |= DrainLocked();
            lost = lost_;
        }
        if ((events & evRxChar) && !lost) {
            SettleInput();
        }
        {
            std::lock_guard lock(mutex_);
            if (lost_) {
                errors_ |= ceDeviceLost;
                lostReported_ = true;
                events |= evError;
            }
        }
        events &= monitored;
        if (events != 0 || lostReported_) {
            return events;
        }
    }
}

} // namespace vrx::sim
