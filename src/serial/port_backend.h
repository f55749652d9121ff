#pragma once
// PortBackend: the backend behind a port name, chosen when the port opens: a network port for
// rfc2217:// and socket:// names (and for any other name with a scheme, which it refuses), the
// system's serial device for every other name. The rest is passed to the chosen one.

#include "serial/serial_backend.h"

#include <memory>

namespace vrx {

class PortBackend final : public SerialBackend {
public:
    PortBackend();

    bool Open(const std::string& device, int& error) override;
    void Close() override { current_->Close(); }
    bool IsOpen() const override { return current_->IsOpen(); }
    void SetQueueSizes(int readSize, int writeSize) override {
        current_->SetQueueSizes(readSize, writeSize);
    }
    bool Apply(const LineSettings& settings) override { return current_->Apply(settings); }
    int Write(const uint8_t* data, int count) override { return current_->Write(data, count); }
    int Read(uint8_t* data, int count) override { return current_->Read(data, count); }
    int InQueueCount() override { return current_->InQueueCount(); }
    int OutQueueCount() override { return current_->OutQueueCount(); }
    void PurgeIn() override { current_->PurgeIn(); }
    void PurgeOut() override { current_->PurgeOut(); }
    uint32_t TakeErrors() override { return current_->TakeErrors(); }
    bool DeviceLost() override { return current_->DeviceLost(); }
    TSerialEvents WaitEvent(TSerialEvents monitored) override {
        return current_->WaitEvent(monitored);
    }
    void InterruptWait() override { current_->InterruptWait(); }
    void SetRxTrigger(int bytes) override { current_->SetRxTrigger(bytes); }
    std::string FailureText() const override { return current_->FailureText(); }

private:
    // Replaced only in Open, which its callers make while no reader thread waits on it.
    std::unique_ptr<SerialBackend> current_;
    bool network_ = false;
};

} // namespace vrx
