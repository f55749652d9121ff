#include "serial/device_name.h"

#include <cctype>
#include <cerrno>
#include <cstring>

namespace vrx {

std::string ResolveDeviceName(const std::string& name) {
    if (name.size() < 4 || name.size() > 6) {
        return name;
    }
    for (size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) {
            return name;
        }
    }
    int number = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) {
            return name;
        }
        number = number * 10 + (name[i] - '0');
    }
    if (name[3] == '0' || number < 1 || number > 256) {
        return name;
    }
    return ComPortDevice(number);
}

bool PortAbsent(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ECONNREFUSED:
    case ECONNRESET:
    case ETIMEDOUT:
    case EHOSTUNREACH:
    case ENETUNREACH:
        return true;
    default:
        return false;
    }
}

std::string OpenFailureReason(int error) {
    switch (error) {
    case 0:
        return {};
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "The port does not exist.";
    case EACCES:
    case EPERM:
        return "No permission to use the port.";
    case EBUSY:
        return "The port is in use by another program.";
    case ENOTTY:
        return "This is not a serial port.";
    default:
        return std::strerror(error);
    }
}

} // namespace vrx
