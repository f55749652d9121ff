#pragma once
// Ctrl+C, SIGTERM and SIGHUP for vrx630ctl: the signal handler only raises a flag, which the
// board session asks as its stop request, at least every BoardSession::kCancelCheckMs of a wait
// and before every telegram goes out, so the tool ends within a tenth of a second and closes
// its port the ordinary way, giving the port's settings back. SIGPIPE is ignored for the same
// reason.

#include <atomic>

namespace vrx::ctl {

// Raised by the signal handler (lock-free, so safe there); tests raise and lower it directly.
extern std::atomic<bool> g_stopRequested;

inline bool StopRequested() {
    return g_stopRequested.load();
}

// SIGINT, SIGTERM and SIGHUP raise the flag from now on, and SIGPIPE is ignored.
void InstallStopHandler();

} // namespace vrx::ctl
