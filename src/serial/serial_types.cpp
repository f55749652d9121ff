#include "serial/serial_types.h"

namespace vrx {

int BaudRateValue(TBaudRate rate) {
    static constexpr int kRates[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                     19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return kRates[rate];
}

} // namespace vrx
