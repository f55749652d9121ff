#include "link/serial_port.h"

#include "serial/device_name.h"

#include <QMetaObject>

namespace vrx {

TSerialPort::TSerialPort(std::unique_ptr<SerialBackend> backend, QObject* parent)
    : QObject(parent), backend_(backend ? std::move(backend) : MakeSerialBackend()) {}

TSerialPort::~TSerialPort() {
    Close();
}

bool TSerialPort::IsOpen() const {
    return backend_->IsOpen();
}

void TSerialPort::Open() {
    Close();
    lastError_ = 0;
    const std::string device = ResolveDeviceName(deviceName_.toStdString());
    if (!device.empty() && backend_->Open(device, lastError_)) {
        backend_->SetQueueSizes(readBufferSize_, writeBufferSize_);
        backend_->Apply(line_);
        if (!simple_) {
            std::lock_guard lock(handoffMutex_);
            stopReader_ = false;
            handled_ = true;
            const int generation = generation_.load();
            reader_ = std::thread([this, generation] { ReaderLoop(generation); });
        }
    } else if (device.empty()) {
        lastError_ = ENOENT;
    }
    if (OnOpen) {
        OnOpen(*this, 0, lastError_);
    }
}

std::string TSerialPort::LastErrorText() const {
    if (lastError_ == 0) {
        return {};
    }
    const std::string text = backend_->FailureText();
    return text.empty() ? OpenFailureReason(lastError_) : text;
}

void TSerialPort::SetBackend(std::unique_ptr<SerialBackend> backend) {
    Close();
    backend_ = backend ? std::move(backend) : MakeSerialBackend();
}

void TSerialPort::Close() {
    ++generation_; // hand-offs still queued for the user-interface thread are dropped
    if (reader_.joinable()) {
        {
            std::lock_guard lock(handoffMutex_);
            stopReader_ = true;
        }
        handoffDone_.notify_all();
        backend_->InterruptWait();
        reader_.join();
    }
    if (backend_->IsOpen()) {
        backend_->Close();
    }
}

void TSerialPort::ReaderLoop(int generation) {
    for (;;) {
        const TSerialEvents events = backend_->WaitEvent(monitorEvents_);
        if (events == 0) {
            return; // told to stop, or the device is gone and has been reported
        }
        std::unique_lock lock(handoffMutex_);
        if (stopReader_) {
            return;
        }
        handled_ = false;
        QMetaObject::invokeMethod(
            this,
            [this, events, generation] {
                Dispatch(events, generation);
                {
                    // A hand-off of an earlier session releases nobody: the reader now
                    // waiting belongs to a later one and waits for its own hand-off.
                    std::lock_guard done(handoffMutex_);
                    if (generation != generation_.load()) {
                        return;
                    }
                    handled_ = true;
                }
                handoffDone_.notify_one();
            },
            Qt::QueuedConnection);
        // Synchronous hand-off: the next wait starts only after the event has been handled,
        // so bytes arriving meanwhile are counted in the next event. Close ends this wait.
        handoffDone_.wait(lock, [this] { return handled_ || stopReader_; });
        if (stopReader_) {
            return;
        }
    }
}

void TSerialPort::Dispatch(TSerialEvents events, int generation) {
    if (generation != generation_.load()) {
        return; // of a port closed since, perhaps on another backend
    }
    const uint32_t errors = backend_->TakeErrors();
    const int count = backend_->InQueueCount();
    const auto current = [&] { return generation == generation_.load(); };
    const auto fire = [&](TSerialEvents bit, const std::function<void(TSerialPort&)>& handler) {
        if ((events & bit) && handler && current()) {
            handler(*this);
        }
    };
    fire(evBreak, OnBreak);
    fire(evCTS, OnCTS);
    fire(evDSR, OnDSR);
    if ((events & evError) && OnError && current()) {
        OnError(*this, errors);
    }
    fire(evRing, OnRing);
    fire(evRlsd, OnRLSD);
    if ((events & evRxChar) && OnRxChar && current()) {
        OnRxChar(*this, count);
    }
    fire(evRxFlag, OnRxFlag);
    fire(evTxEmpty, OnTxEmpty);
}

int TSerialPort::Write(const uint8_t* data, int count) {
    return IsOpen() ? backend_->Write(data, count) : -1;
}

int TSerialPort::Read(uint8_t* data, int count) {
    return IsOpen() ? backend_->Read(data, count) : -1;
}

bool TSerialPort::DeviceLost() {
    return IsOpen() && backend_->DeviceLost();
}

int TSerialPort::OutQueueCount() {
    return IsOpen() ? backend_->OutQueueCount() : 0;
}

void TSerialPort::PurgeIn() {
    if (IsOpen()) {
        backend_->PurgeIn();
    }
}

void TSerialPort::SetRxTrigger(int bytes) {
    backend_->SetRxTrigger(bytes);
}

void TSerialPort::PurgeOut() {
    if (IsOpen()) {
        backend_->PurgeOut();
    }
}

void TSerialPort::ApplyLine() {
    if (IsOpen()) {
        backend_->Apply(line_);
    }
}

} // namespace vrx
