#pragma once
// A simulated board served on a line of its own thread: the thread advances the chip's motion on
// a steady clock, hands the board what the PC sent, and sends the replies when they are due. The
// front ends (a pseudo-terminal, an in-process loopback) supply only the line; the board, its
// lock, the traces, the clock and the serving loop are the same for all of them.
// Front ends call Stop() in their own destructors, while their line still exists.

#include "sim/simulated_board.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace vrx::sim {

class ServedBoard {
public:
    // Called on the board thread, outside the board's lock, with each batch of received bytes.
    using ReceiveObserver = std::function<void(std::span<const TraceEntry>)>;

    virtual ~ServedBoard() = default;
    ServedBoard(const ServedBoard&) = delete;
    ServedBoard& operator=(const ServedBoard&) = delete;

    // Opens the line and starts serving; false with ErrorText() on failure.
    bool Start();
    // Ends the thread and closes the line.
    void Stop();
    const std::string& ErrorText() const { return error_; }
    bool Running() const { return thread_.joinable() && !finished_; }
    // The hang-up fault has closed the line.
    bool HungUp() const { return hungUp_; }

    void SetOptions(const LineOptions& options);
    LineOptions Options() const;
    // Set before Start().
    void SetReceiveObserver(ReceiveObserver observer) { observer_ = std::move(observer); }

    std::vector<TraceEntry> Received() const { return board_.Trace().Entries(); }
    const ByteTrace& Trace() const { return board_.Trace(); }
    // Every byte the board has sent, with the time it went out.
    const ByteTrace& SentTrace() const { return sent_; }
    // How many bytes each trace keeps, the newest; 0 keeps none, for a board that no one asks
    // what it received.
    void SetTraceLimit(size_t bytes) {
        board_.Trace().SetLimit(bytes);
        sent_.SetLimit(bytes);
    }
    void ClearTrace() {
        board_.Trace().Clear();
        sent_.Clear();
    }

    // Runs f(SimulatedBoard&) under the board's lock, e.g. to read registers or move switches.
    template <class F> auto With(F&& f) {
        std::lock_guard lock(mutex_);
        return f(board_);
    }

    // Milliseconds on the board's clock since Start().
    double NowMs() const;

protected:
    ServedBoard(BoardVariant variant, const LineOptions& options);

    // The front end's line. OpenLine runs in Start, CloseLine in Stop once the thread has ended,
    // WakeLine in Stop while it may still run; the rest on the board thread.
    virtual bool OpenLine() = 0;
    virtual void CloseLine() = 0;
    virtual void WakeLine() = 0;
    // Waits up to `timeoutUs` for bytes from the PC, or for room on the line when `sending`,
    // and appends what came to `received`. False ends the serving: the line failed, or Stop.
    virtual bool WaitLine(int timeoutUs, bool sending, std::vector<uint8_t>& received) = 0;
    // Sends what the line takes of `bytes`: the count, 0 when it is full, -1 when it failed.
    virtual long SendLine(std::span<const uint8_t> bytes) = 0;
    // The hang-up fault struck: the line must go away as a pulled cable does.
    virtual void HangUpLine() = 0;
    // The line options changed (SetOptions), for a front end that times the line itself.
    virtual void OptionsChanged(const LineOptions& /*options*/) {}

    bool Stopping() const { return stopping_; }
    bool Refuse(std::string text) {
        error_ = std::move(text);
        return false;
    }

private:
    void Serve();
    bool ServeOnce(std::vector<uint8_t>& outbox);
    int PollTimeoutUs() const;

    mutable std::mutex mutex_;
    SimulatedBoard board_;
    ByteTrace sent_;
    ReceiveObserver observer_;
    std::string error_;
    std::chrono::steady_clock::time_point start_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> hungUp_{false};
};

} // namespace vrx::sim
