#include "sim/pty_board.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <termios.h>
#include <unistd.h>

namespace vrx::sim {

namespace {

// The longest the thread sleeps: the motion and the clock-driven query values stay fresh.
constexpr int kMaxPollUs = 10000;

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

bool SetNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

} // namespace

PtyBoard::PtyBoard(BoardVariant variant, const LineOptions& options) : board_(variant, options) {}

PtyBoard::~PtyBoard() {
    Stop();
}

bool PtyBoard::Fail(const std::string& what) {
    error_ = what + ": " + std::strerror(errno);
    CloseLine();
    CloseFd(wakeRead_);
    CloseFd(wakeWrite_);
    return false;
}

bool PtyBoard::Start() {
    if (thread_.joinable() || master_ >= 0) {
        error_ = "the board is already started";
        return false;
    }
    error_.clear();
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        return Fail("cannot open a pseudo-terminal");
    }
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        return Fail("cannot unlock the pseudo-terminal");
    }
    char name[256];
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        return Fail("cannot name the pseudo-terminal");
    }
    devicePath_ = name;
    // Our own descriptor of the device keeps the terminal alive while clients come and go:
    // without it the master would report a hang-up from the first client's close on.
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        return Fail("cannot open " + devicePath_);
    }
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0) {
        return Fail("cannot read the terminal settings");
    }
    ::cfmakeraw(&tio); // above all no echo: the board must not hear its own replies
    tio.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    if (::tcsetattr(slave_, TCSANOW, &tio) != 0) {
        return Fail("cannot set the terminal to raw mode");
    }
    if (!SetNonBlocking(master_)) {
        return Fail("cannot make the pseudo-terminal non-blocking");
    }
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        return Fail("cannot create the wake-up pipe");
    }
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    start_ = std::chrono::steady_clock::now();
    stopping_ = false;
    finished_ = false;
    hungUp_ = false;
    thread_ = std::thread(&PtyBoard::Serve, this);
    return true;
}

void PtyBoard::Stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        const char wake = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &wake, 1);
        thread_.join();
    }
    CloseLine();
    CloseFd(wakeRead_);
    CloseFd(wakeWrite_);
}

void PtyBoard::CloseLine() {
    CloseFd(master_);
    CloseFd(slave_);
}

void PtyBoard::SetOptions(const LineOptions& options) {
    std::lock_guard lock(mutex_);
    board_.SetOptions(options);
}

LineOptions PtyBoard::Options() const {
    std::lock_guard lock(mutex_);
    return board_.Options();
}

double PtyBoard::NowMs() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
        .count();
}

int PtyBoard::PollTimeoutUs() const {
    std::lock_guard lock(mutex_);
    const std::optional<double> due = board_.NextDueMs();
    if (!due) {
        return kMaxPollUs;
    }
    const double us = std::ceil((*due - NowMs()) * 1000.0);
    return static_cast<int>(std::clamp(us, 0.0, double{kMaxPollUs}));
}

void PtyBoard::Serve() {
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

bool PtyBoard::ServeOnce(std::vector<uint8_t>& outbox) {
    pollfd fds[2] = {
        {master_, static_cast<short>(POLLIN | (outbox.empty() ? 0 : POLLOUT)), 0},
        {wakeRead_, POLLIN, 0},
    };
    const int timeoutUs = PollTimeoutUs();
    const timespec timeout{0, static_cast<long>(timeoutUs) * 1000};
    if (::ppoll(fds, 2, &timeout, nullptr) < 0 && errno != EINTR) {
        return false;
    }
    if (fds[1].revents != 0) {
        char drain[16];
        while (::read(wakeRead_, drain, sizeof drain) > 0) {
        }
        if (stopping_) {
            return false;
        }
    }

    std::vector<uint8_t> received;
    if ((fds[0].revents & POLLIN) != 0) {
        uint8_t buffer[512];
        for (;;) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) {
                received.insert(received.end(), buffer, buffer + n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                break; // EAGAIN: all read
            }
        }
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
        const ssize_t n = ::write(master_, outbox.data(), outbox.size());
        if (n > 0) {
            sent_.Record(std::span<const uint8_t>(outbox.data(), size_t(n)), NowMs());
            outbox.erase(outbox.begin(), outbox.begin() + n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            break; // the client does not read; POLLOUT tells when there is room again
        } else {
            outbox.clear();
            break;
        }
    }

    if (hangUp) {
        // Closing both our ends is what a pulled cable looks like to the client: POLLHUP.
        hungUp_ = true; // before the close, so a client that sees the hang-up sees this too
        CloseLine();
        return false;
    }
    return true;
}

} // namespace vrx::sim
