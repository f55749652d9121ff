#include "sim/served_board.h"

#include <algorithm>
#include <cmath>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace vrx::sim {

namespace {

// The longest the thread sleeps: the motion and the clock-driven query values stay fresh.
constexpr int kMaxPollUs = 10000;

} // namespace

ServedBoard::ServedBoard(BoardVariant variant, const LineOptions& options)
    : board_(variant, options) {}

bool ServedBoard::Start() {
    if (thread_.joinable()) {
        return Refuse("the board is already started");
    }
    error_.clear();
    if (!OpenLine()) {
        return false;
    }
    start_ = std::chrono::steady_clock::now();
    stopping_ = false;
    finished_ = false;
    hungUp_ = false;
    thread_ = std::thread(&ServedBoard::Serve, this);
    return true;
}

void ServedBoard::Stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        WakeLine();
        thread_.join();
    }
    CloseLine();
}

void ServedBoard::SetOptions(const LineOptions& options) {
    std::lock_guard lock(mutex_);
    board_.SetOptions(options);
    OptionsChanged(options);
}

LineOptions ServedBoard::Options() const {
    std::lock_guard lock(mutex_);
    return board_.Options();
}

double ServedBoard::NowMs() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
        .count();
}

int ServedBoard::PollTimeoutUs() const {
    std::lock_guard lock(mutex_);
    const std::optional<double> due = board_.NextDueMs();
    if (!due) {
        return kMaxPollUs;
    }
    const double us = std::ceil((*due - NowMs()) * 1000.0);
    return static_cast<int>(std::clamp(us, 0.0, double{kMaxPollUs}));
}

void ServedBoard::Serve() {
#ifdef __linux__
    // With wire timing each reply byte leaves at its due time; the default timer slack of
    // 50 us a wake-up would put the board's own lateness into every measurement of a program.
    (void)prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
    std::vector<uint8_t> outbox;
    while (!stopping_ && ServeOnce(outbox)) {
    }
    finished_ = true;
}

bool ServedBoard::ServeOnce(std::vector<uint8_t>& outbox) {
    std::vector<uint8_t> received;
    if (!WaitLine(PollTimeoutUs(), !outbox.empty(), received)) {
        return false;
    }

    const double now = NowMs();
    bool hangUp = false;
    {
        std::lock_guard lock(mutex_);
        board_.Receive(received, now);
        board_.AdvanceTo(now);
        const std::vector<uint8_t> due = board_.TakeDue(now);
        outbox.insert(outbox.end(), due.begin(), due.end());
        hangUp = board_.HangUpDue();
    }
    if (observer_ && !received.empty()) {
        std::vector<TraceEntry> entries;
        entries.reserve(received.size());
        for (uint8_t byte : received) {
            entries.push_back({byte, now});
        }
        observer_(entries);
    }

    while (!outbox.empty()) {
        const long n = SendLine(outbox);
        if (n <= 0) {
            if (n < 0) {
                outbox.clear();
            }
            break; // full: the client does not read, WaitLine tells when there is room again
        }
        sent_.Record(std::span<const uint8_t>(outbox.data(), size_t(n)), NowMs());
        outbox.erase(outbox.begin(), outbox.begin() + n);
    }

    if (hangUp) {
        hungUp_ = true; // before the line goes, so a client that sees the hang-up sees this too
        HangUpLine();
        return false;
    }
    return true;
}

} // namespace vrx::sim
