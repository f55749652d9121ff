#include "serial/port_names.h"

#include <filesystem>

namespace vrx {

std::vector<std::string> UsbSerialDevices(const std::string& devDir) {
    // The built-in ports (/dev/ttyS*) exist whether or not a UART is behind them, so only
    // the adapters that come and go are listed.
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(devDir, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("ttyUSB") || name.starts_with("ttyACM")) {
            names.push_back(entry.path().string());
        }
    }
    SortPortNames(names);
    return names;
}

std::vector<std::string> SystemPortNames() {
    return UsbSerialDevices("/dev");
}

} // namespace vrx
