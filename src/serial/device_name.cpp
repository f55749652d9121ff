#include "serial/device_name.h"

#include <cctype>

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
    return "/dev/ttyS" + std::to_string(number - 1);
}

} // namespace vrx
