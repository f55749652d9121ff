#pragma once
// Ctrl+C and close() for commands that wait on the line without the GIL. The board session asks
// it as its stop request (every 10 ms of a wait and before each telegram). On Python's main
// thread it takes the GIL at most every kCheckInterval to let Python run its signal handlers,
// and only while the thread holds no board's line, so a handler may use the board itself. A
// handler that raises (KeyboardInterrupt) cancels the command of the main thread, and its
// exception is kept to be raised once the command has ended, the port as it should be. Other
// threads run no handlers; close() cancels the commands of every thread.

#include <pybind11/pybind11.h>

#include <atomic>
#include <chrono>
#include <optional>

namespace vrx::python {

class InterruptCheck {
public:
    static constexpr auto kCheckInterval = std::chrono::milliseconds(50);

    // The session's stop request: true once a signal handler has raised during the main
    // thread's command, or the board closes.
    bool operator()();
    // A new command begins on this thread: nothing raised yet.
    void Begin();
    // What a signal handler raised during the main thread's command, if anything.
    std::optional<pybind11::error_already_set> TakeRaised();
    // Every command from now on is cancelled at once, a running one within 10 ms: the board
    // closes. Any thread.
    void Close() { closing_ = true; }
    bool Closing() const { return closing_; }

    // Signals are handled on this thread only (Python's main thread); set at import.
    static void SetMainThread(unsigned long ident) { mainThread_ = ident; }

private:
    static bool OnMainThread();

    std::atomic<bool> closing_{false};
    // The main thread's alone: only there do handlers run.
    std::optional<pybind11::error_already_set> raised_;
    std::chrono::steady_clock::time_point lastCheck_{};
    static inline unsigned long mainThread_ = 0;
};

} // namespace vrx::python
