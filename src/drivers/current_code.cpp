#include "drivers/current_code.h"

#include <algorithm>

namespace vrx {

uint8_t CurrentCode(int milliamps) {
    const int v = std::clamp(milliamps, 0, kMaxCurrentMilliamps);
    // v * 255 / 1500 is v * 17 / 100; whole numbers keep the halves exact.
    const int scaled = v * 17;
    int code = scaled / 100;
    const int rest = scaled % 100;
    if (rest > 50 || (rest == 50 && code % 2 == 1)) {
        ++code;
    }
    return static_cast<uint8_t>(code);
}

} // namespace vrx
