#include "serial/port_backend.h"

#include "serial/network_port_name.h"
#include "serial/network_serial_backend.h"

namespace vrx {

PortBackend::PortBackend() : current_(MakeDeviceBackend()) {}

bool PortBackend::Open(const std::string& device, int& error) {
    const bool network = IsNetworkPortName(device);
    if (network != network_) {
        current_->Close();
        current_ = network ? std::unique_ptr<SerialBackend>(new NetworkSerialBackend)
                           : MakeDeviceBackend();
        network_ = network;
    }
    return current_->Open(device, error);
}

std::unique_ptr<SerialBackend> MakeSerialBackend() {
    return std::make_unique<PortBackend>();
}

} // namespace vrx
