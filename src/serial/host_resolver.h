#pragma once
// Host names to addresses within a bound, for the network ports: the system's resolver may
// wait far longer for a name server that does not answer, so it runs on a thread of its own
// that is left to finish alone once the bound has passed.

#include <cstdint>
#include <string>
#include <vector>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace vrx {

struct ResolvedAddress {
    sockaddr_storage storage{};
    int length = 0;
};

struct ResolvedHost {
    std::vector<ResolvedAddress> addresses; // empty when the name did not resolve
    std::string reason;                     // then why: "cannot resolve HOST"
};

ResolvedHost ResolveHost(const std::string& host, uint16_t port, uint32_t timeoutMs);

// Why a connection to `server` failed, from the errno value the connect gave.
std::string ConnectFailureReason(int error, const std::string& server, uint32_t timeoutMs);

} // namespace vrx
