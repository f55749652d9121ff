#include "serial/tcp_socket.h"

#include "serial/host_resolver.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cerrno>
#include <chrono>
#include <mutex>

namespace vrx {

struct TcpSocket::Impl {
    SOCKET socket = INVALID_SOCKET;
    WSAEVENT socketEvent = WSA_INVALID_EVENT; // readable or closed
    WSAEVENT wakeEvent = WSA_INVALID_EVENT;
};

namespace {

void StartWinsock() {
    static std::once_flag once;
    std::call_once(once, [] {
        WSADATA data;
        (void)WSAStartup(MAKEWORD(2, 2), &data);
    });
}

// Winsock's errors as the errno values the rest of the program reads.
int ErrnoOf(int wsaError) {
    switch (wsaError) {
    case WSAECONNREFUSED:
        return ECONNREFUSED;
    case WSAETIMEDOUT:
        return ETIMEDOUT;
    case WSAEHOSTUNREACH:
        return EHOSTUNREACH;
    case WSAENETUNREACH:
        return ENETUNREACH;
    case WSAECONNRESET:
        return ECONNRESET;
    default:
        return EIO;
    }
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

int ConnectOne(SOCKET s, const ResolvedAddress& address,
               std::chrono::steady_clock::time_point deadline) {
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address.storage), address.length) == 0) {
        return 0;
    }
    if (WSAGetLastError() != WSAEWOULDBLOCK) {
        return ErrnoOf(WSAGetLastError());
    }
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    const int ms = RemainingMs(deadline);
    timeval wait{ms / 1000, (ms % 1000) * 1000};
    const int ready = ::select(0, nullptr, &writable, &failed, &wait);
    if (ready == 0) {
        return ETIMEDOUT;
    }
    if (ready < 0 || FD_ISSET(s, &failed)) {
        int result = 0;
        int size = sizeof result;
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&result), &size);
        return ErrnoOf(result != 0 ? result : WSAECONNREFUSED);
    }
    return 0;
}

} // namespace

TcpSocket::TcpSocket() : impl_(new Impl) {
    StartWinsock();
}

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
        const SOCKET s = ::socket(address.storage.ss_family, SOCK_STREAM, IPPROTO_TCP);
        if (s == INVALID_SOCKET) {
            last = ErrnoOf(WSAGetLastError());
            continue;
        }
        last = ConnectOne(s, address, deadline);
        if (last == 0) {
            const BOOL one = TRUE;
            setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one),
                       sizeof one);
            impl_->socket = s;
            impl_->socketEvent = WSACreateEvent();
            impl_->wakeEvent = WSACreateEvent();
            WSAEventSelect(s, impl_->socketEvent, FD_READ | FD_CLOSE);
            return true;
        }
        closesocket(s);
        if (last == ETIMEDOUT) {
            break;
        }
    }
    error = last;
    reason = ConnectFailureReason(last, server, timeoutMs);
    return false;
}

void TcpSocket::Close() {
    if (impl_->socket != INVALID_SOCKET) {
        closesocket(impl_->socket);
        impl_->socket = INVALID_SOCKET;
    }
    for (WSAEVENT* event : {&impl_->socketEvent, &impl_->wakeEvent}) {
        if (*event != WSA_INVALID_EVENT) {
            WSACloseEvent(*event);
            *event = WSA_INVALID_EVENT;
        }
    }
}

bool TcpSocket::IsOpen() const {
    return impl_->socket != INVALID_SOCKET;
}

bool TcpSocket::SendAll(const uint8_t* data, size_t count, uint32_t timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (count > 0) {
        if (impl_->socket == INVALID_SOCKET) {
            return false;
        }
        const int n = ::send(impl_->socket, reinterpret_cast<const char*>(data),
                             int(count > 65536 ? 65536 : count), 0);
        if (n > 0) {
            data += n;
            count -= size_t(n);
            continue;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            return false;
        }
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(impl_->socket, &writable);
        const int ms = RemainingMs(deadline);
        timeval wait{ms / 1000, (ms % 1000) * 1000};
        if (::select(0, nullptr, &writable, nullptr, &wait) <= 0) {
            return false;
        }
    }
    return true;
}

long TcpSocket::Receive(uint8_t* data, size_t count) {
    if (impl_->socket == INVALID_SOCKET) {
        return -1;
    }
    const int n =
        ::recv(impl_->socket, reinterpret_cast<char*>(data), int(count > 65536 ? 65536 : count), 0);
    if (n >= 0) {
        return long(n);
    }
    return WSAGetLastError() == WSAEWOULDBLOCK ? kNothingYet : -1;
}

TcpSocket::Ready TcpSocket::Wait(int timeoutMs) {
    if (impl_->socket == INVALID_SOCKET) {
        return Ready::Failed;
    }
    const WSAEVENT events[2] = {impl_->socketEvent, impl_->wakeEvent};
    const DWORD result = WSAWaitForMultipleEvents(
        2, events, FALSE, timeoutMs < 0 ? WSA_INFINITE : DWORD(timeoutMs), FALSE);
    if (result == WSA_WAIT_EVENT_0 + 1) {
        WSAResetEvent(impl_->wakeEvent);
        return Ready::Woken;
    }
    if (result == WSA_WAIT_EVENT_0) {
        // Resets the event; Winsock sets it again while unread bytes remain after a recv.
        WSANETWORKEVENTS happened;
        WSAEnumNetworkEvents(impl_->socket, impl_->socketEvent, &happened);
        return Ready::Readable;
    }
    return result == WSA_WAIT_TIMEOUT ? Ready::TimedOut : Ready::Failed;
}

void TcpSocket::Wake() {
    if (impl_->wakeEvent != WSA_INVALID_EVENT) {
        WSASetEvent(impl_->wakeEvent);
    }
}

} // namespace vrx
