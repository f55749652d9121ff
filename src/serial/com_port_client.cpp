#include "serial/com_port_client.h"

#include <libtelnet.h>

#include <utility>

namespace vrx {

namespace {

constexpr unsigned char kComPortOption = 44;
constexpr unsigned char kServerReplyOffset = 100;

// We offer the COM-PORT-OPTION and take binary transmission and no go-ahead both ways; every
// other option (the server's ECHO among them) is refused by libtelnet.
const telnet_telopt_t kOptions[] = {
    {TELNET_TELOPT_BINARY, TELNET_WILL, TELNET_DO},
    {TELNET_TELOPT_SGA, TELNET_WILL, TELNET_DO},
    {kComPortOption, TELNET_WILL, TELNET_DONT},
    {-1, 0, 0},
};

} // namespace

bool ComPortClient::Available() {
    return true;
}

ComPortClient::ComPortClient() : telnet_(telnet_init(kOptions, &ComPortClient::OnEvent, 0, this)) {}

ComPortClient::~ComPortClient() {
    if (telnet_ != nullptr) {
        telnet_free(telnet_);
    }
}

void ComPortClient::OnEvent(telnet_t* /*telnet*/, telnet_event_t* event, void* self) {
    static_cast<ComPortClient*>(self)->Handle(*event);
}

void ComPortClient::Handle(const telnet_event_t& event) {
    switch (event.type) {
    case TELNET_EV_SEND:
        outgoing_.insert(outgoing_.end(), event.data.buffer, event.data.buffer + event.data.size);
        break;
    case TELNET_EV_DATA:
        data_.insert(data_.end(), event.data.buffer, event.data.buffer + event.data.size);
        break;
    case TELNET_EV_DO:
        if (event.neg.telopt == kComPortOption) {
            agreed_ = true;
        }
        break;
    case TELNET_EV_SUBNEGOTIATION:
        if (event.sub.telopt == kComPortOption && event.sub.size >= 1) {
            const auto* bytes = reinterpret_cast<const uint8_t*>(event.sub.buffer);
            if (bytes[0] > kServerReplyOffset) {
                replies_[uint8_t(bytes[0] - kServerReplyOffset)].assign(bytes + 1,
                                                                        bytes + event.sub.size);
            }
        }
        break;
    case TELNET_EV_ERROR:
        protocolError_ = true;
        break;
    default:
        break;
    }
}

void ComPortClient::Start() {
    telnet_negotiate(telnet_, TELNET_WILL, kComPortOption);
    telnet_negotiate(telnet_, TELNET_WILL, TELNET_TELOPT_BINARY);
    telnet_negotiate(telnet_, TELNET_DO, TELNET_TELOPT_BINARY);
}

void ComPortClient::Receive(const uint8_t* bytes, size_t count) {
    if (!protocolError_) {
        telnet_recv(telnet_, reinterpret_cast<const char*>(bytes), count);
    }
}

void ComPortClient::SendData(const uint8_t* bytes, size_t count) {
    telnet_send(telnet_, reinterpret_cast<const char*>(bytes), count);
}

void ComPortClient::Send(ComPortCommand command, uint8_t value) {
    const char body[] = {char(command), char(value)};
    telnet_subnegotiation(telnet_, kComPortOption, body, sizeof body);
}

void ComPortClient::SendBaudRate(uint32_t baud) {
    const char body[] = {char(ComPortCommand::SetBaudRate), char(baud >> 24), char(baud >> 16),
                         char(baud >> 8), char(baud)};
    telnet_subnegotiation(telnet_, kComPortOption, body, sizeof body);
}

std::vector<uint8_t> ComPortClient::TakeOutgoing() {
    return std::exchange(outgoing_, {});
}

std::vector<uint8_t> ComPortClient::TakeData() {
    return std::exchange(data_, {});
}

std::optional<std::vector<uint8_t>> ComPortClient::Reply(ComPortCommand command) const {
    const auto found = replies_.find(uint8_t(command));
    if (found == replies_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<uint32_t> ComPortClient::BaudReply() const {
    const auto reply = Reply(ComPortCommand::SetBaudRate);
    if (!reply || reply->size() != 4) {
        return std::nullopt;
    }
    const auto& b = *reply;
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]);
}

} // namespace vrx
