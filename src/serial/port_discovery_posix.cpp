#include "serial/port_discovery.h"

#include "serial/port_names.h"

#include <algorithm>
#include <filesystem>

namespace vrx {

namespace fs = std::filesystem;

namespace {

// How a label names a device: below the device folder by its name there (ttyUSB0), elsewhere
// by its whole path.
std::string DeviceInLabel(const fs::path& device, const fs::path& devDir) {
    const fs::path relative = device.lexically_relative(devDir);
    if (relative.empty() || *relative.begin() == "..") {
        return device.string();
    }
    return relative.string();
}

} // namespace

std::vector<SerialPortInfo> ListSerialPortsIn(const std::string& devDir) {
    fs::path dev = fs::path(devDir).lexically_normal();
    if (dev.has_relative_path() && !dev.has_filename()) {
        dev = dev.parent_path(); // "/tmp/dev/" as "/tmp/dev", so devices compare as paths
    }
    const fs::path byId = dev / "serial" / "by-id";
    std::vector<std::string> links;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(byId, error)) {
        if (entry.is_symlink(error)) {
            links.push_back(entry.path().filename().string());
        }
    }
    SortPortNames(links);

    std::vector<SerialPortInfo> ports;
    for (const std::string& name : links) {
        const fs::path link = byId / name;
        const fs::path target = fs::read_symlink(link, error);
        if (error || !fs::exists(link, error)) {
            continue; // unreadable, or dangling: the adapter is gone
        }
        const fs::path device = (byId / target).lexically_normal(); // an absolute target stays
        std::string description = ByIdDescription(name);
        std::string label = description + " on " + DeviceInLabel(device, dev);
        ports.push_back({link.string(), device.string(), std::move(description), std::move(label)});
    }
    for (const std::string& device : UsbSerialDevices(dev.string())) {
        const bool linked = std::any_of(ports.begin(), ports.end(), [&](const SerialPortInfo& p) {
            return p.device == device;
        });
        if (!linked) {
            ports.push_back({device, device, std::string(), device});
        }
    }
    return ports;
}

std::vector<SerialPortInfo> ListSerialPorts() {
    return ListSerialPortsIn("/dev");
}

} // namespace vrx
