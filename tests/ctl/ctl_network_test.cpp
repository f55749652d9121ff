// vrx630ctl on boards behind a real ser2net on 127.0.0.1, by RFC 2217 and raw TCP, and the
// refusals of ports that cannot be used: each within 3 s, with status 2, and nothing sent.
#include "child_process.h"
#include "ser2net_server.h"
#include "serial/com_port_client.h"
#include "sim/pty_board.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

namespace vrx::ctl {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct CtlResult {
    int status = -1;
    std::string out;
    std::string err;
    Clock::duration took{};
};

CtlResult RunCtl(const std::vector<std::string>& args) {
    const auto start = Clock::now();
    test::ChildProcess ctl(VRX630CTL_PATH, args);
    CtlResult result;
    for (std::string line; !(line = ctl.Line(false, 20s)).empty();) {
        result.out += line + "\n";
    }
    result.err = ctl.Line(true, 1s);
    result.status = ctl.Wait(20s);
    result.took = Clock::now() - start;
    return result;
}

// A TCP server on 127.0.0.1 that plays a server of its own kind: says nothing, or answers the
// COM-PORT-OPTION with a baud rate other than the one asked for. It keeps what it received.
class FakeServer {
public:
    explicit FakeServer(std::vector<uint8_t> answer) : answer_(std::move(answer)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        ::listen(listener_, 4);
        thread_ = std::thread([this] { Serve(); });
    }
    ~FakeServer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    uint16_t Port() const { return port_; }
    std::vector<uint8_t> Received() {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    void Serve() {
        pollfd p{listener_, POLLIN, 0};
        while (!stop_ && ::poll(&p, 1, 50) <= 0) {
        }
        if (stop_) {
            return;
        }
        const int client = ::accept(listener_, nullptr, nullptr);
        bool answered = false;
        while (!stop_) {
            pollfd c{client, POLLIN, 0};
            if (::poll(&c, 1, 50) <= 0) {
                continue;
            }
            uint8_t buffer[256];
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            {
                std::lock_guard lock(mutex_);
                received_.insert(received_.end(), buffer, buffer + n);
            }
            if (!answered && !answer_.empty()) {
                answered = ::send(client, answer_.data(), answer_.size(), MSG_NOSIGNAL) > 0;
            }
        }
        ::close(client);
    }

    std::vector<uint8_t> answer_;
    int listener_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<uint8_t> received_;
};

// The serial data within what a client sent a telnet server.
std::vector<uint8_t> SerialDataIn(const std::vector<uint8_t>& stream) {
    ComPortClient parser; // telnet's framing reads alike both ways
    parser.Receive(stream.data(), stream.size());
    return parser.TakeData();
}

class CtlNetwork : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(board.Start()) << board.ErrorText();
        ASSERT_TRUE(server.Start({{board.DevicePath(), true}, {board.DevicePath(), false}}))
            << server.Error();
    }

    sim::PtyBoard board;
    test::Ser2netServer server;
};

TEST_F(CtlNetwork, IdentifyStatusMoveAndAConfigurationRoundTripByRfc2217AndRawTcp) {
    for (size_t index : {0u, 1u}) {
        const std::string port = server.Name(index);
        SCOPED_TRACE(port);
        CtlResult r = RunCtl({"--port", port, "identify"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("VRX630V1.0"), std::string::npos) << r.out;

        // -1 is FF FF FF: telnet's IAC byte in a telegram and in its answer.
        EXPECT_EQ(RunCtl({"--port", port, "set", "X_ACTUAL=-1"}).status, 0);
        r = RunCtl({"--port", port, "get", "X_ACTUAL"});
        EXPECT_NE(r.out.find("X_ACTUAL  -1"), std::string::npos) << r.out;

        r = RunCtl({"--port", port, "move", "2", "--mode", "RAMP", "--target", "300", "--vmax",
                    "1000", "--amax", "500", "--wait", "--force"});
        ASSERT_EQ(r.status, 0) << r.err;
        r = RunCtl({"--port", port, "status"});
        EXPECT_NE(r.out.find("X_ACTUAL           300"), std::string::npos) << r.out;

        const std::string file = ::testing::TempDir() + "network-config.toml";
        ASSERT_EQ(RunCtl({"--port", port, "config", "save", file}).status, 0);
        EXPECT_EQ(RunCtl({"--port", port, "set", "--motor", "3", "V_MAX=77"}).status, 0);
        r = RunCtl({"--port", port, "config", "load", file});
        EXPECT_EQ(r.status, 0) << r.err;
        r = RunCtl({"--port", port, "config", "diff", file});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "");
        std::remove(file.c_str());
    }
}

TEST_F(CtlNetwork, TheExampleConfigurationServesAKitWithItsAdapterAndPortSwapped) {
    std::ifstream file(VRX_SER2NET_EXAMPLE);
    std::string yaml((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto swap = [&yaml](const std::string& from, const std::string& to) {
        const size_t at = yaml.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        yaml.replace(at, from.size(), to);
    };
    const uint16_t port = test::FreeLoopbackPort();
    swap("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", board.DevicePath());
    swap("127.0.0.1,2217", "127.0.0.1," + std::to_string(port));
    test::Ser2netServer example;
    ASSERT_TRUE(example.StartWith(yaml, {port})) << example.Error();
    const CtlResult r =
        RunCtl({"--port", "rfc2217://127.0.0.1:" + std::to_string(port), "identify"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("VRX630V1.0"), std::string::npos) << r.out;
}

TEST_F(CtlNetwork, APortThatCannotBeUsedIsRefusedWithin3sWithStatus2AndNothingSent) {
    // A baud-rate reply naming 9600 to every SET-BAUDRATE; and DO COM-PORT-OPTION.
    const std::vector<uint8_t> wrongBaud = {
        255, 253, 44,  255, 250, 44, 101, 0, 0,   0x25, 0x80, 255, 240, 255, 250, 44,  102,
        8,   255, 240, 255, 250, 44, 103, 1, 255, 240,  255,  250, 44,  104, 1,   255, 240};
    FakeServer silent({});
    FakeServer slow(wrongBaud);
    // Another client holds the raw port (ser2net takes one client a port).
    const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(server.TcpPort(0));
    ASSERT_EQ(::connect(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::this_thread::sleep_for(200ms); // ser2net has taken it

    const std::string nobody = "127.0.0.1:" + std::to_string(test::FreeLoopbackPort());
    const std::string silentAt = "127.0.0.1:" + std::to_string(silent.Port());
    const std::string wrongAt = "127.0.0.1:" + std::to_string(slow.Port());
    const struct {
        std::string port;
        std::string says;
    } rows[] = {
        // A name with an empty label is refused before any resolver is asked.
        {"rfc2217://bad..host:2217", "cannot resolve bad..host"},
        {"rfc2217://" + nobody, "nothing listens at " + nobody},
        {"rfc2217://" + silentAt,
         "the server at " + silentAt + " did not answer the negotiation within 2 s"},
        {server.Name(0),
         "in use by another client of 127.0.0.1:" + std::to_string(server.TcpPort(0))},
        {"rfc2217://" + wrongAt, "the server at " + wrongAt + " did not take 19200 baud"},
        {"tcp://127.0.0.1:2217", "unknown port type tcp://; use rfc2217:// or socket://"},
        {"rfc2217://127.0.0.1", "names no port"},
        {"socket://127.0.0.1:70000", "outside 1..65535"},
        {"rfc2217://[::1:2217", "never closes it"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.port);
        const CtlResult r = RunCtl({"--port", row.port, "identify"});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
        EXPECT_LT(r.took, 3s);
    }
    ::close(holder);
    EXPECT_TRUE(board.Received().empty());
    EXPECT_TRUE(SerialDataIn(silent.Received()).empty());
    EXPECT_TRUE(SerialDataIn(slow.Received()).empty());
    EXPECT_FALSE(slow.Received().empty()); // it was asked, and answered
}

} // namespace
} // namespace vrx::ctl
