#include "serial/network_port_name.h"

#include <cctype>

namespace vrx {

namespace {

constexpr std::string_view kRfc2217 = "rfc2217://";
constexpr std::string_view kSocket = "socket://";

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool ValidHostName(const std::string& host) {
    for (const char c : host) {
        const auto u = static_cast<unsigned char>(c);
        if (!std::isalnum(u) && c != '.' && c != '-' && c != '_') {
            return false;
        }
    }
    return !host.empty();
}

bool ValidIpv6(const std::string& host) {
    for (const char c : host) {
        const auto u = static_cast<unsigned char>(c);
        if (!std::isalnum(u) && c != ':' && c != '.' && c != '%') { // %: a scope, fe80::1%eth0
            return false;
        }
    }
    return host.find(':') != std::string::npos;
}

} // namespace

std::string NetworkPortName::Server() const {
    const std::string shown = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return shown + ":" + std::to_string(port);
}

bool IsNetworkPortName(const std::string& name) {
    return name.find("://") != std::string::npos;
}

std::optional<NetworkPortName> ParseNetworkPortName(const std::string& name, std::string& error) {
    NetworkPortName parsed;
    std::string rest;
    if (StartsWithNoCase(name, kRfc2217)) {
        parsed.scheme = NetworkScheme::Rfc2217;
        rest = name.substr(kRfc2217.size());
    } else if (StartsWithNoCase(name, kSocket)) {
        parsed.scheme = NetworkScheme::Socket;
        rest = name.substr(kSocket.size());
    } else {
        const size_t end = name.find("://");
        error = "unknown port type " + name.substr(0, end == std::string::npos ? 0 : end + 3) +
                "; use rfc2217:// or socket://";
        return std::nullopt;
    }
    // Options after the address (as some libraries take them) are not ours to guess at.
    if (rest.find_first_of("/?#") != std::string::npos) {
        error = name + " has more than HOST:PORT after the port type";
        return std::nullopt;
    }
    std::string portText;
    if (!rest.empty() && rest.front() == '[') {
        const size_t close = rest.find(']');
        if (close == std::string::npos) {
            error = name + " opens an IPv6 address with [ but never closes it";
            return std::nullopt;
        }
        parsed.host = rest.substr(1, close - 1);
        if (!ValidIpv6(parsed.host)) {
            error = "[" + parsed.host + "] in " + name + " is no IPv6 address";
            return std::nullopt;
        }
        if (close + 1 >= rest.size() || rest[close + 1] != ':') {
            error = name + " names no port; write " + name + ":PORT";
            return std::nullopt;
        }
        portText = rest.substr(close + 2);
    } else {
        const size_t colon = rest.rfind(':');
        if (colon == std::string::npos) {
            error = name + " names no port; write " + name + ":PORT";
            return std::nullopt;
        }
        parsed.host = rest.substr(0, colon);
        portText = rest.substr(colon + 1);
        if (!ValidHostName(parsed.host)) {
            error = parsed.host.empty() ? name + " names no host"
                                        : "\"" + parsed.host + "\" in " + name + " is no host name";
            return std::nullopt;
        }
    }
    if (portText.empty()) {
        error = name + " names no port; write HOST:PORT";
        return std::nullopt;
    }
    long port = 0;
    for (const char c : portText) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            error = "the port " + portText + " in " + name + " is not a number";
            return std::nullopt;
        }
        port = port * 10 + (c - '0');
        if (port > 65535) {
            break;
        }
    }
    if (port < 1 || port > 65535) {
        error = "the port " + portText + " in " + name + " is outside 1..65535";
        return std::nullopt;
    }
    parsed.port = static_cast<uint16_t>(port);
    return parsed;
}

} // namespace vrx
