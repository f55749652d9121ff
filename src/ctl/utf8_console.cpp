#include "ctl/utf8_console.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vrx::ctl {

#ifdef _WIN32
Utf8Console::Utf8Console() {
    const UINT previous = GetConsoleOutputCP(); // 0 without a console
    if (previous != 0 && previous != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        previous_ = previous;
    }
}

Utf8Console::~Utf8Console() {
    if (previous_ != 0) {
        SetConsoleOutputCP(previous_);
    }
}
#else
Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;
#endif

} // namespace vrx::ctl
