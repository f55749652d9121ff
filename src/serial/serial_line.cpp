#include "serial/serial_line.h"

#include "serial/device_name.h"

#include <chrono>

namespace vrx {

SerialLine::SerialLine(std::unique_ptr<SerialBackend> backend)
    : backend_(backend ? std::move(backend) : MakeSerialBackend()) {}

SerialLine::~SerialLine() {
    Close();
}

bool SerialLine::Open(const std::string& device, const LineSettings& settings, int& error) {
    Close();
    if (!backend_->Open(device, error)) {
        return false;
    }
    backend_->Apply(settings);
    lost_ = false;
    reader_ = std::thread([this] { ReaderLoop(); });
    return true;
}

void SerialLine::Close() {
    if (reader_.joinable()) {
        backend_->InterruptWait();
        reader_.join();
    }
    if (backend_->IsOpen()) {
        backend_->Close();
    }
}

std::string SerialLine::FailureText(int error) const {
    const std::string text = backend_->FailureText();
    return text.empty() ? OpenFailureReason(error) : text;
}

bool SerialLine::Lost() const {
    std::lock_guard lock(mutex_);
    return lost_;
}

void SerialLine::ReaderLoop() {
    for (;;) {
        const TSerialEvents events = backend_->WaitEvent(evRxChar | evError);
        if (events == 0) {
            return; // told to stop, or the device is gone and has been reported
        }
        {
            std::lock_guard lock(mutex_);
            if ((events & evError) && (backend_->TakeErrors() & ceDeviceLost)) {
                lost_ = true;
            }
        }
        arrived_.notify_all();
    }
}

bool SerialLine::Write(const uint8_t* data, int count, uint32_t timeoutMs) {
    if (!IsOpen()) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    // A write still pending from before makes the backend take nothing and answer 0, which
    // reads like bytes going on in the background: so the queue must be empty first.
    return OutQueueEmptyBy(deadline) && backend_->Write(data, count) >= 0 &&
           OutQueueEmptyBy(deadline);
}

bool SerialLine::OutQueueEmptyBy(std::chrono::steady_clock::time_point deadline) {
    while (backend_->OutQueueCount() > 0) {
        if (Lost() || std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

int SerialLine::WaitForInput(int count, uint32_t timeoutMs) {
    backend_->SetRxTrigger(count);
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [&] { return lost_ || backend_->InQueueCount() >= count; });
    return backend_->InQueueCount();
}

} // namespace vrx
