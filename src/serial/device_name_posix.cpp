#include "serial/device_name.h"

namespace vrx {

std::string ComPortDevice(int number) {
    return "/dev/ttyS" + std::to_string(number - 1);
}

} // namespace vrx
