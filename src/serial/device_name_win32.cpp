#include "serial/device_name.h"

namespace vrx {

std::string ComPortDevice(int number) {
    return "\\\\.\\COM" + std::to_string(number);
}

} // namespace vrx
