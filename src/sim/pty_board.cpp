#include "sim/pty_board.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace vrx::sim {

namespace {

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

PtyBoard::PtyBoard(BoardVariant variant, const LineOptions& options)
    : ServedBoard(variant, options) {}

PtyBoard::~PtyBoard() {
    Stop();
}

bool PtyBoard::Fail(const std::string& what) {
    Refuse(what + ": " + std::strerror(errno));
    CloseLine();
    return false;
}

bool PtyBoard::OpenLine() {
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
    return true;
}

void PtyBoard::CloseLine() {
    HangUpLine();
    CloseFd(wakeRead_);
    CloseFd(wakeWrite_);
}

void PtyBoard::HangUpLine() {
    // Closing both our ends is what a pulled cable looks like to the client: POLLHUP.
    CloseFd(master_);
    CloseFd(slave_);
}

void PtyBoard::WakeLine() {
    const char wake = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &wake, 1);
}

bool PtyBoard::WaitLine(int timeoutUs, bool sending, std::vector<uint8_t>& received) {
    pollfd fds[2] = {
        {master_, static_cast<short>(POLLIN | (sending ? POLLOUT : 0)), 0},
        {wakeRead_, POLLIN, 0},
    };
    const timespec timeout{0, static_cast<long>(timeoutUs) * 1000};
    if (::ppoll(fds, 2, &timeout, nullptr) < 0 && errno != EINTR) {
        return false;
    }
    if (fds[1].revents != 0) {
        char drain[16];
        while (::read(wakeRead_, drain, sizeof drain) > 0) {
        }
        if (Stopping()) {
            return false;
        }
    }
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
    return true;
}

long PtyBoard::SendLine(std::span<const uint8_t> bytes) {
    for (;;) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            return n;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n < 0 && errno == EAGAIN ? 0 : -1;
    }
}

} // namespace vrx::sim
