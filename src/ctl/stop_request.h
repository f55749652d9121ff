#pragma once
// Ctrl+C, SIGTERM and SIGHUP for vrx630ctl: the signal handler only raises a flag, which every
// wait of the tool looks at at least every kStopCheckMs and every telegram before it goes out,
// so the tool ends within a tenth of a second and closes its port the ordinary way, giving the
// port's settings back. SIGPIPE is ignored for the same reason.

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

// SIGINT, SIGTERM and SIGHUP raise the flag from now on, and SIGPIPE is ignored.
void InstallStopHandler();

} // namespace vrx::ctl
