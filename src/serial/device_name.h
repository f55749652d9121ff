#pragma once
// Port names as the user gives them: "COM1".."COM256" name the system's serial ports; any other
// name is a device path as it stands.

#include <string>

namespace vrx {

// The device to open for a port name: on POSIX systems COMn is /dev/ttyS(n-1).
std::string ResolveDeviceName(const std::string& name);

} // namespace vrx
