#pragma once
// Serves a simulated board on a pseudo-terminal, on a thread of its own, so any program can open
// DevicePath() like a serial port (raw, 19200 8N1). The thread advances the chip's motion on a
// steady clock and sends replies when they are due. The board keeps its own descriptor of the
// terminal open for its whole life, so clients may close and reopen the device; it never locks
// the device, since clients open it exclusively.
//
//   PtyBoard board(BoardVariant::Vrx52xKit);
//   if (!board.Start()) { report(board.ErrorText()); }
//   open(board.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK) ...
//   board.With([](SimulatedBoard& b) { return b.Model().Motor(0).XActual(); });

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

class PtyBoard {
public:
    // Called on the board thread, outside the board's lock, with each batch of received bytes.
    using ReceiveObserver = std::function<void(std::span<const TraceEntry>)>;

    explicit PtyBoard(BoardVariant variant = BoardVariant::Plain, const LineOptions& options = {});
    ~PtyBoard();
    PtyBoard(const PtyBoard&) = delete;
    PtyBoard& operator=(const PtyBoard&) = delete;

    // Opens the pseudo-terminal and starts serving; false with ErrorText() on failure.
    bool Start();
    // Ends the thread and closes both ends; also done by the destructor.
    void Stop();
    const std::string& ErrorText() const { return error_; }
    const std::string& DevicePath() const { return devicePath_; }
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

private:
    void Serve();
    bool ServeOnce(std::vector<uint8_t>& outbox);
    int PollTimeoutUs() const;
    void CloseLine();
    bool Fail(const std::string& what);

    mutable std::mutex mutex_;
    SimulatedBoard board_;
    ByteTrace sent_;
    ReceiveObserver observer_;
    std::string error_;
    std::string devicePath_;
    int master_ = -1;
    int slave_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::chrono::steady_clock::time_point start_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> hungUp_{false};
};

} // namespace vrx::sim
