#pragma once
// The serial ports present, by the names the user gives them, for messages that help pick one.

#include <string>
#include <vector>

namespace vrx {

// On Windows the COM ports the system lists (its serial device map); on POSIX systems the USB
// serial adapters present (/dev/ttyUSB*, /dev/ttyACM*). In the order SortPortNames gives.
std::vector<std::string> SystemPortNames();

#ifndef _WIN32
// The USB serial devices (ttyUSB*, ttyACM*) in a device folder, as paths below it, sorted.
std::vector<std::string> UsbSerialDevices(const std::string& devDir);
#endif

// By the text before a trailing number, then by that number: COM2 before COM10.
void SortPortNames(std::vector<std::string>& names);

} // namespace vrx
