#include "serial/host_resolver.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <netdb.h>
#endif

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace vrx {

namespace {

struct Lookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    ResolvedHost result;
};

void Resolve(const std::shared_ptr<Lookup>& lookup, const std::string& host, uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    const std::string service = std::to_string(port);
    ResolvedHost result;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) == 0) {
        for (const addrinfo* a = list; a != nullptr; a = a->ai_next) {
            if (a->ai_addrlen <= sizeof(sockaddr_storage)) {
                ResolvedAddress address;
                std::memcpy(&address.storage, a->ai_addr, a->ai_addrlen);
                address.length = int(a->ai_addrlen);
                result.addresses.push_back(address);
            }
        }
        freeaddrinfo(list);
    }
    if (result.addresses.empty()) {
        result.reason = "cannot resolve " + host;
    }
    std::lock_guard lock(lookup->mutex);
    lookup->result = std::move(result);
    lookup->finished = true;
    lookup->done.notify_all();
}

// Whether `host` can be a DNS name at all: labels of 1 to 63 characters, 253 in all (a final
// dot allowed). An address literal (IPv6 has colons) is left to the resolver.
bool CanBeHostName(const std::string& host) {
    if (host.find(':') != std::string::npos) {
        return true;
    }
    const std::string name = host.ends_with('.') ? host.substr(0, host.size() - 1) : host;
    if (name.empty() || name.size() > 253) {
        return false;
    }
    size_t start = 0;
    for (;;) {
        const size_t dot = name.find('.', start);
        const size_t length = (dot == std::string::npos ? name.size() : dot) - start;
        if (length == 0 || length > 63) {
            return false;
        }
        if (dot == std::string::npos) {
            return true;
        }
        start = dot + 1;
    }
}

} // namespace

ResolvedHost ResolveHost(const std::string& host, uint16_t port, uint32_t timeoutMs) {
    // A name no server could hold is refused here: no name server is asked about it.
    if (!CanBeHostName(host)) {
        ResolvedHost refused;
        refused.reason = "cannot resolve " + host + ": not a host name";
        return refused;
    }
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host, port] { Resolve(lookup, host, port); }).detach();
    std::unique_lock lock(lookup->mutex);
    if (!lookup->done.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return lookup->finished; })) {
        ResolvedHost late;
        late.reason = "cannot resolve " + host + ": no answer within " +
                      std::to_string((timeoutMs + 999) / 1000) + " s";
        return late;
    }
    return std::move(lookup->result);
}

std::string ConnectFailureReason(int error, const std::string& server, uint32_t timeoutMs) {
    switch (error) {
    case ECONNREFUSED:
        return "nothing listens at " + server;
    case ETIMEDOUT:
        return server + " did not answer within " + std::to_string((timeoutMs + 999) / 1000) + " s";
    case ENETUNREACH:
    case EHOSTUNREACH:
        return "no route to " + server;
    default:
        return "cannot connect to " + server + ": " + std::strerror(error);
    }
}

} // namespace vrx
