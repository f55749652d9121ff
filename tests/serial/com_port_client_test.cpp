// The RFC 2217 client without a socket: what it asks of the server byte for byte, IAC escaped
// both ways, and what it makes of the server's answers however they are split.
#include "serial/com_port_client.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint8_t IAC = 255, SB = 250, SE = 240, WILL = 251, WONT = 252, DO = 253, DONT = 254;

TEST(ComPortClient, CommandsAndDataGoOutIacEscaped) {
    ComPortClient client;
    client.Start();
    EXPECT_EQ(client.TakeOutgoing(), (Bytes{IAC, WILL, 44, IAC, WILL, 0, IAC, DO, 0}));
    client.SendBaudRate(19200);
    client.Send(ComPortCommand::PurgeData, kPurgeReceive);
    EXPECT_EQ(client.TakeOutgoing(), (Bytes{IAC, SB, 44, 1, 0, 0, 0x4B, 0, IAC, SE, //
                                            IAC, SB, 44, 12, 1, IAC, SE}));
    client.SendBaudRate(0x0000FFFF); // a value with IAC bytes in it
    EXPECT_EQ(client.TakeOutgoing(), (Bytes{IAC, SB, 44, 1, 0, 0, IAC, IAC, IAC, IAC, IAC, SE}));
    const Bytes burstEnd = {0x00, 0xFF, 0x23, 0xFF};
    client.SendData(burstEnd.data(), burstEnd.size());
    EXPECT_EQ(client.TakeOutgoing(), (Bytes{0x00, IAC, IAC, 0x23, IAC, IAC}));
}

TEST(ComPortClient, TheServersStreamGivesDataAndRepliesWholeOrByteByByte) {
    const struct {
        const char* what;
        Bytes stream;
        Bytes data;
        bool agreed;
        std::optional<uint32_t> baud;
    } cases[] = {
        {"ser2net's greeting and the replies to the board's line",
         {IAC, WILL, 3,  IAC, DO, 3, IAC,  WILL, 1,   IAC, DO,  0,  IAC, WILL, 0, IAC, DO, 44,
          IAC, SB,   44, 101, 0,  0, 0x4B, 0,    IAC, SE,  IAC, SB, 44,  102,  8, IAC, SE},
         {},
         true,
         19200},
        {"a reply naming another rate",
         {IAC, DO, 44, IAC, SB, 44, 101, 0, 0, 0x25, 0x80, IAC, SE},
         {},
         true,
         9600},
        {"a baud value holding IAC, escaped",
         {IAC, DO, 44, IAC, SB, 44, 101, 0, 0, IAC, IAC, IAC, IAC, IAC, SE},
         {},
         true,
         0xFFFF},
        {"serial data with IAC bytes between the replies",
         {0x12, IAC, IAC, 0x34, IAC, SB, 44, 101, 0, 0, 0x4B, 0, IAC, SE, IAC, IAC},
         {0x12, 0xFF, 0x34, 0xFF},
         false,
         19200},
        {"a server that will not do the option",
         {IAC, DONT, 44, 'h', 'i'},
         {'h', 'i'},
         false,
         std::nullopt},
        {"a short reply is no baud rate",
         {IAC, DO, 44, IAC, SB, 44, 101, 0, 0x4B, IAC, SE},
         {},
         true,
         std::nullopt},
        {"ser2net's refusal of a second client",
         {IAC, WONT, 1, 'P', 'o', 'r', 't', ' ', 'i', 'n', ' ', 'u', 's', 'e', '\r', '\n'},
         {'P', 'o', 'r', 't', ' ', 'i', 'n', ' ', 'u', 's', 'e', '\r', '\n'},
         false,
         std::nullopt},
    };
    for (const auto& c : cases) {
        for (const bool byteByByte : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (byteByByte ? ", byte by byte" : ", whole"));
            ComPortClient client;
            client.Start();
            Bytes data;
            if (byteByByte) {
                for (const uint8_t b : c.stream) {
                    client.Receive(&b, 1);
                    const Bytes piece = client.TakeData();
                    data.insert(data.end(), piece.begin(), piece.end());
                }
            } else {
                client.Receive(c.stream.data(), c.stream.size());
                data = client.TakeData();
            }
            EXPECT_EQ(data, c.data);
            EXPECT_EQ(client.Agreed(), c.agreed);
            EXPECT_EQ(client.BaudReply(), c.baud);
            EXPECT_FALSE(client.ProtocolError());
        }
    }
}

} // namespace
} // namespace vrx
