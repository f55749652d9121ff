// Network port names as the user types them: the two schemes, hosts by name, IPv4 and [IPv6],
// and a refusal that says what is wrong for each malformed one.
#include "serial/network_port_name.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

TEST(NetworkPortName, WellFormedNamesGiveSchemeHostAndPortAndOthersAreRefusedWithTheReason) {
    const struct {
        const char* name;
        const char* hostOrError; // the host, or a part of the refusal
        int port;                // 0: refused
        NetworkScheme scheme = NetworkScheme::Rfc2217;
    } cases[] = {
        {"rfc2217://localhost:2217", "localhost", 2217},
        {"RFC2217://127.0.0.1:1", "127.0.0.1", 1},
        {"socket://ip6-localhost:65535", "ip6-localhost", 65535, NetworkScheme::Socket},
        {"rfc2217://[::1]:2217", "::1", 2217},
        {"socket://[::1%lo]:4000", "::1%lo", 4000, NetworkScheme::Socket},
        {"tcp://localhost:2217", "unknown port type tcp://; use rfc2217:// or socket://", 0},
        {"://localhost:2217", "unknown port type ://", 0},
        {"rfc2217://localhost", "names no port; write rfc2217://localhost:PORT", 0},
        {"rfc2217://localhost:", "names no port", 0},
        {"rfc2217://:2217", "names no host", 0},
        {"rfc2217://localhost:0", "the port 0 in rfc2217://localhost:0 is outside 1..65535", 0},
        {"rfc2217://localhost:65536", "outside 1..65535", 0},
        {"rfc2217://localhost:99999999999999999999", "outside 1..65535", 0},
        {"rfc2217://localhost:22x", "the port 22x in rfc2217://localhost:22x is not a number", 0},
        {"rfc2217://[::1:2217", "never closes it", 0},
        {"rfc2217://[::1]", "names no port", 0},
        {"rfc2217://[local]:1", "is no IPv6 address", 0},
        {"rfc2217://local host:2217", "is no host name", 0},
        {"rfc2217://localhost:2217/?logging=debug", "more than HOST:PORT", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(IsNetworkPortName(c.name));
        std::string error;
        const auto parsed = ParseNetworkPortName(c.name, error);
        if (c.port == 0) {
            ASSERT_FALSE(parsed);
            EXPECT_NE(error.find(c.hostOrError), std::string::npos) << error;
            continue;
        }
        ASSERT_TRUE(parsed) << error;
        EXPECT_EQ(parsed->host, c.hostOrError);
        EXPECT_EQ(parsed->port, c.port);
        EXPECT_EQ(parsed->scheme, c.scheme);
    }
    for (const char* device : {"/dev/ttyUSB0", "COM3", "\\\\.\\COM12", "localhost:2217"}) {
        EXPECT_FALSE(IsNetworkPortName(device)) << device;
    }
    std::string error;
    EXPECT_EQ(ParseNetworkPortName("rfc2217://[::1]:2217", error)->Server(), "[::1]:2217");
}

} // namespace
} // namespace vrx
