#pragma once
// Ctrl+C and SIGTERM for vrx630ctl: the signal handler only raises a flag, and every wait of the
// tool looks at it at least every kStopCheckMs, so the tool ends within a tenth of a second and
// closes its port the ordinary way, giving the port's settings back.

#include <atomic>
#include <chrono>

namespace vrx::ctl {

constexpr int kStopCheckMs = 10;

// Raised by the signal handler (lock-free, so safe there); tests raise and lower it directly.
extern std::atomic<bool> g_stopRequested;

inline bool StopRequested() {
    return g_stopRequested.load();
}

// Waits until `until`; false when a stop was requested first.
bool WaitUnlessStopped(std::chrono::steady_clock::time_point until);

// SIGINT and SIGTERM raise the flag from now on.
void InstallStopHandler();

} // namespace vrx::ctl
