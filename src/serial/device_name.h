#pragma once
// Port names as the user gives them: "COM1".."COM256" name the system's serial ports; any other
// name is a device path as it stands. And the reasons an open fails, in the user's words.

#include <string>

namespace vrx {

// The device to open for a port name: on POSIX systems COMn is /dev/ttyS(n-1).
std::string ResolveDeviceName(const std::string& name);

// Why a port could not be opened, from the error the open gave; empty for 0.
std::string OpenFailureReason(int error);

} // namespace vrx
