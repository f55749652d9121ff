#pragma once
// The default system beep of refused input. A replaceable function, so tests count beeps
// instead of sounding them.

#include <functional>

namespace vrx {

extern std::function<void()> SystemBeep;

} // namespace vrx
