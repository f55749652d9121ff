#include "serial_client.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace vrx::sim {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

bool SerialClient::Open(const std::string& path) {
    Close();
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        return false;
    }
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) {
        Close();
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        Close();
        return false;
    }
    return true;
}

void SerialClient::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool SerialClient::Write(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            return false;
        }
    }
    return true;
}

std::vector<uint8_t> SerialClient::Read(size_t count, std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    std::vector<uint8_t> bytes;
    while (bytes.size() < count) {
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, RemainingMs(deadline)) <= 0 || (pfd.revents & POLLIN) == 0) {
            break; // timeout, or the line hung up
        }
        uint8_t buffer[64];
        const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (n > 0) {
            bytes.insert(bytes.end(), buffer, buffer + n);
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
            break;
        }
    }
    return bytes;
}

std::vector<uint8_t> SerialClient::Transfer(const std::vector<uint8_t>& request, size_t count,
                                            std::chrono::milliseconds timeout) {
    if (!Write(request)) {
        return {};
    }
    return Read(count, timeout);
}

bool SerialClient::WaitForHangUp(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, RemainingMs(deadline));
        if (ready <= 0) {
            return false;
        }
        if ((pfd.revents & (POLLHUP | POLLERR)) != 0) {
            return true;
        }
        uint8_t buffer[64]; // replies still on their way: read past them
        if (::read(fd_, buffer, sizeof buffer) < 0 && errno != EAGAIN && errno != EINTR) {
            return true;
        }
    }
}

} // namespace vrx::sim
