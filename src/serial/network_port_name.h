#pragma once
// Ports on the network, named as serial libraries name them: rfc2217://HOST:PORT for a server
// that lets the client set the line (RFC 2217), socket://HOST:PORT for raw TCP. HOST is a name,
// an IPv4 address or an IPv6 address in brackets.

#include <cstdint>
#include <optional>
#include <string>

namespace vrx {

enum class NetworkScheme { Rfc2217, Socket };

struct NetworkPortName {
    NetworkScheme scheme = NetworkScheme::Rfc2217;
    std::string host; // without the brackets of an IPv6 address
    uint16_t port = 0;

    // HOST:PORT as messages name the server, brackets kept for IPv6.
    std::string Server() const;
};

// Whether `name` is meant as a network port (it has a scheme), well formed or not.
bool IsNetworkPortName(const std::string& name);

// The parts of a network port name; nullopt with `error` saying what is wrong with it.
std::optional<NetworkPortName> ParseNetworkPortName(const std::string& name, std::string& error);

} // namespace vrx
