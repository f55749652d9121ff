#pragma once
// Port names as the user gives them: "COM1".."COM256" name the system's serial ports; any other
// name is a device path as it stands. And the reasons an open fails, in the user's words.

#include <string>

namespace vrx {

// The device to open for a port name: COMn is /dev/ttyS(n-1) on POSIX systems and \\.\COMn
// on Windows (the form every port number opens with, COM10 and above included).
std::string ResolveDeviceName(const std::string& name);

// The device of the system's serial port COMn, 1 <= n <= 256; one definition per system.
std::string ComPortDevice(int number);

// Why a port could not be opened, from the error the open gave; empty for 0.
std::string OpenFailureReason(int error);

// The error says the port is not there (a device absent, a server not listening or not
// reached): what a port that went away gives until it returns.
bool PortAbsent(int error);

} // namespace vrx
