#include "chip/telegram.h"

namespace vrx {
static_assert(RegisterByte(Motor2, 5, false) == 0x2A);
static_assert(RegisterByte(Motor2, 5, true) == 0x2B);
static_assert(RamByte(63, true) == 0xFF);
static_assert(RamByte(0, false) == 0x80);
} // namespace vrx
