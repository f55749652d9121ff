#include "ctl/stop_request.h"

#include <csignal>

namespace vrx::ctl {

std::atomic<bool> g_stopRequested{false};

static_assert(std::atomic<bool>::is_always_lock_free);

void InstallStopHandler() {
    const auto raise = [](int) { g_stopRequested = true; };
    std::signal(SIGINT, raise);
    std::signal(SIGTERM, raise);
#ifdef SIGHUP
    std::signal(SIGHUP, raise); // a closed terminal ends it as cleanly
#endif
#ifdef SIGPIPE
    // A reader that has gone (watch | head -1) fails the next write to stdout instead of
    // killing the tool before its port gets its settings back.
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

} // namespace vrx::ctl
