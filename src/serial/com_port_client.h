#pragma once
// The client side of RFC 2217 (the telnet COM-PORT-OPTION) without a socket: the bytes the
// server sent go in, the bytes for the server and the serial data come out. The telnet layer
// (negotiation, IAC escaping, subnegotiation) is libtelnet's.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct telnet_t;
union telnet_event_t;

namespace vrx {

// The client's COM-PORT-OPTION commands; the server answers each with its code + 100.
enum class ComPortCommand : uint8_t {
    SetBaudRate = 1,
    SetDataSize = 2,
    SetParity = 3,
    SetStopSize = 4,
    SetControl = 5,
    PurgeData = 12,
};

// Values of SET-CONTROL and PURGE-DATA that this program uses.
enum : uint8_t {
    kControlNoFlow = 1,
    kControlRtsOn = 11,
    kControlRtsOff = 12,
    kPurgeReceive = 1,
    kPurgeTransmit = 2,
};
// SET-PARITY's NONE, SET-STOPSIZE's 1.
enum : uint8_t { kParityNone = 1, kStopSizeOne = 1 };

class ComPortClient {
public:
    ComPortClient();
    ~ComPortClient();
    ComPortClient(const ComPortClient&) = delete;
    ComPortClient& operator=(const ComPortClient&) = delete;

    // Whether this build has the telnet layer: a Windows build made where libtelnet's source
    // could not be had has none, and its network ports are raw TCP only.
    static bool Available();

    // Asks for the COM-PORT-OPTION and a binary path both ways.
    void Start();
    // Takes bytes the server sent: serial data goes to TakeData(), replies are kept.
    void Receive(const uint8_t* bytes, size_t count);
    // Serial data for the device, IAC escaped.
    void SendData(const uint8_t* bytes, size_t count);
    void Send(ComPortCommand command, uint8_t value);
    void SendBaudRate(uint32_t baud);

    // What to write to the server, and the serial data received, each taken once.
    std::vector<uint8_t> TakeOutgoing();
    std::vector<uint8_t> TakeData();

    // The server agreed to the option (DO COM-PORT-OPTION). One that refuses it is not told
    // apart from one that does not answer: libtelnet reports no refusal of our own offer.
    bool Agreed() const { return agreed_; }
    // The value of the server's last reply to `command`, if any came.
    std::optional<std::vector<uint8_t>> Reply(ComPortCommand command) const;
    // The baud rate the server's reply names.
    std::optional<uint32_t> BaudReply() const;
    // The stream broke telnet's rules; what came after is not to be trusted.
    bool ProtocolError() const { return protocolError_; }

private:
    static void OnEvent(telnet_t* telnet, telnet_event_t* event, void* self);
    void Handle(const telnet_event_t& event);

    telnet_t* telnet_ = nullptr;
    std::vector<uint8_t> outgoing_;
    std::vector<uint8_t> data_;
    std::map<uint8_t, std::vector<uint8_t>> replies_;
    bool agreed_ = false;
    bool protocolError_ = false;
};

} // namespace vrx
