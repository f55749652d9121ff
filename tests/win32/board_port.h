#pragma once
// The COM ports of the boards the Windows tests talk to, from the environment.

#include <cstdlib>
#include <string>

namespace vrx::test {

// VRX_TEST_PORT: a board that answers; empty when not set.
inline std::string BoardPort() {
    const char* port = std::getenv("VRX_TEST_PORT");
    return port ? port : "";
}

// VRX_TEST_HANGUP_PORT: a board that hangs up at the first telegram (one use per run).
inline std::string HangUpPort() {
    const char* port = std::getenv("VRX_TEST_HANGUP_PORT");
    return port ? port : "";
}

} // namespace vrx::test
