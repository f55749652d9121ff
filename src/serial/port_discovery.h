#pragma once
// The serial ports present, as a port list shows them: on Linux the USB serial adapters by the
// stable names udev gives them in /dev/serial/by-id, with the maker's description and the
// device each is now, then the USB serial devices no such name points at; on Windows the ports
// of the system's serial device map with their friendly names.

#include <string>
#include <string_view>
#include <vector>

namespace vrx {

struct SerialPortInfo {
    std::string port;        // opens it and is what a setting keeps: a by-id path, a device, COMn
    std::string device;      // the device it is now (/dev/ttyUSB0); on Windows the port itself
    std::string description; // the adapter's own words; empty when there are none
    std::string label;       // the list's text: "<description> on ttyUSB0", a friendly name, or
                             // the port
};

// The system's ports: the by-id links (by name), then the unlinked ttyUSB*/ttyACM* devices; on
// Windows the COM ports in the order SortPortNames gives.
std::vector<SerialPortInfo> ListSerialPorts();

#ifndef _WIN32
// The same below another device folder than /dev (`devDir`/serial/by-id and `devDir`/tty*). A
// link whose device is gone is left out: its adapter has just been pulled.
std::vector<SerialPortInfo> ListSerialPortsIn(const std::string& devDir);
#endif

// The ports a user chooses from, the same in the program's list, `vrx630ctl ports` and Python's
// ports(): COM1 to COM9 first, always (COMn opens /dev/ttyS(n-1), or on Windows itself, named
// there as the system names it where present), then every other port ListSerialPorts finds.
// `devDir` is where the adapters are looked for (ignored on Windows).
std::vector<SerialPortInfo> ListPortChoices(const std::string& devDir = "/dev");
constexpr int kFixedComPorts = 9;

// The description in the name of a by-id link, "usb-<maker and model>_<serial>-if<NN>[-port<N>]":
// the bus prefix and the interface suffix go, underscores become spaces and the last word is
// the serial number in parentheses: "FTDI FT232R USB UART (A1B2C3)". A name of another form is
// kept as it is. Control characters become '?', so the text is safe to show.
std::string ByIdDescription(std::string_view linkName);

} // namespace vrx
