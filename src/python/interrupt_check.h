#pragma once
// Ctrl+C for commands that wait on the line without the GIL. The board session asks it as its
// stop request (every 10 ms of a wait and before each telegram); on Python's main thread it
// takes the GIL at most every kCheckInterval to let Python run its signal handlers. A handler
// that raises (KeyboardInterrupt) cancels the command, and its exception is kept to be raised
// once the command has ended, the port as it should be.

#include <pybind11/pybind11.h>

#include <atomic>
#include <chrono>
#include <optional>

namespace vrx::python {

class InterruptCheck {
public:
    static constexpr auto kCheckInterval = std::chrono::milliseconds(50);

    // The session's stop request: true once a signal handler has raised, or the board closes.
    bool operator()();
    // A new command begins: nothing raised yet.
    void Begin();
    // What a signal handler raised during the command, if anything.
    std::optional<pybind11::error_already_set> TakeRaised();
    // Every command from now on is cancelled at once, a running one within 10 ms: the board
    // closes. Any thread.
    void Close() { closing_ = true; }
    bool Closing() const { return closing_; }

    // Signals are handled on this thread only (Python's main thread); set at import.
    static void SetMainThread(unsigned long ident) { mainThread_ = ident; }

private:
    std::atomic<bool> closing_{false};
    std::optional<pybind11::error_already_set> raised_;
    std::chrono::steady_clock::time_point lastCheck_{};
    static inline unsigned long mainThread_ = 0;
};

} // namespace vrx::python
