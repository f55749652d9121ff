#include "serial/tcp_socket.h"

#include "serial/host_resolver.h"

#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace vrx {

struct TcpSocket::Impl {
    int fd = -1;
    int wakeFd = -1;
};

namespace {

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

// Connects one address without blocking past the deadline: 0 or an errno value.
int ConnectOne(int fd, const sockaddr_storage& address, socklen_t length,
               std::chrono::steady_clock::time_point deadline) {
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
        return 0;
    }
    if (errno != EINPROGRESS) {
        return errno;
    }
    pollfd p{fd, POLLOUT, 0};
    for (;;) {
        const int ready = ::poll(&p, 1, RemainingMs(deadline));
        if (ready == 0) {
            return ETIMEDOUT;
        }
        if (ready > 0) {
            break;
        }
        if (errno != EINTR) {
            return errno;
        }
    }
    int result = 0;
    socklen_t size = sizeof result;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &result, &size) != 0) {
        return errno;
    }
    return result;
}

} // namespace

TcpSocket::TcpSocket() : impl_(new Impl) {}

TcpSocket::~TcpSocket() {
    Close();
    delete impl_;
}

bool TcpSocket::Connect(const std::string& host, uint16_t port, const std::string& server,
                        uint32_t timeoutMs, int& error, std::string& reason) {
    Close();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const ResolvedHost resolved = ResolveHost(host, port, timeoutMs);
    if (resolved.addresses.empty()) {
        error = ENOENT;
        reason = resolved.reason;
        return false;
    }
    int last = ECONNREFUSED;
    for (const ResolvedAddress& address : resolved.addresses) {
        const int fd = ::socket(address.storage.ss_family,
                                SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
        if (fd < 0) {
            last = errno;
            continue;
        }
        last = ConnectOne(fd, address.storage, socklen_t(address.length), deadline);
        if (last == 0) {
            // Telegrams are a few bytes each: sent at once, never held back to fill a segment.
            const int one = 1;
            (void)setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            impl_->fd = fd;
            impl_->wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
            if (impl_->wakeFd < 0) {
                error = errno;
                reason = "cannot make a wake-up event";
                Close();
                return false;
            }
            return true;
        }
        ::close(fd);
        if (last == ETIMEDOUT) {
            break; // the time is spent
        }
    }
    error = last;
    reason = ConnectFailureReason(last, server, timeoutMs);
    return false;
}

void TcpSocket::Close() {
    if (impl_->fd >= 0) {
        ::close(impl_->fd);
        impl_->fd = -1;
    }
    if (impl_->wakeFd >= 0) {
        ::close(impl_->wakeFd);
        impl_->wakeFd = -1;
    }
}

bool TcpSocket::IsOpen() const {
    return impl_->fd >= 0;
}

bool TcpSocket::SendAll(const uint8_t* data, size_t count, uint32_t timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (count > 0) {
        if (impl_->fd < 0) {
            return false;
        }
        const ssize_t n = ::send(impl_->fd, data, count, MSG_NOSIGNAL);
        if (n > 0) {
            data += n;
            count -= size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        pollfd p{impl_->fd, POLLOUT, 0};
        if (::poll(&p, 1, RemainingMs(deadline)) == 0) {
            return false;
        }
    }
    return true;
}

long TcpSocket::Receive(uint8_t* data, size_t count) {
    if (impl_->fd < 0) {
        return -1;
    }
    const ssize_t n = ::recv(impl_->fd, data, count, 0);
    if (n > 0) {
        // Acknowledged at once: a server that holds back its next small segment until the
        // last is acknowledged (Nagle's rule) would otherwise wait out the delayed ACK.
        const int one = 1;
        (void)setsockopt(impl_->fd, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
    }
    if (n >= 0) {
        return long(n);
    }
    return errno == EAGAIN || errno == EINTR ? kNothingYet : -1;
}

TcpSocket::Ready TcpSocket::Wait(int timeoutMs) {
    if (impl_->fd < 0) {
        return Ready::Failed;
    }
    pollfd fds[2] = {{impl_->fd, POLLIN, 0}, {impl_->wakeFd, POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeoutMs);
    if (ready < 0) {
        return errno == EINTR ? Ready::TimedOut : Ready::Failed;
    }
    if (fds[1].revents & POLLIN) {
        uint64_t value = 0;
        (void)!::read(impl_->wakeFd, &value, sizeof value);
        return Ready::Woken;
    }
    if (fds[0].revents != 0) {
        return Ready::Readable; // a hang-up or error shows in the read that follows
    }
    return Ready::TimedOut;
}

void TcpSocket::Wake() {
    if (impl_->wakeFd >= 0) {
        const uint64_t one = 1;
        (void)!::write(impl_->wakeFd, &one, sizeof one);
    }
}

} // namespace vrx
