// The RFC 2217 client of a build without libtelnet: never available, so never negotiated with;
// the network backend refuses rfc2217:// ports before it would be used.
#include "serial/com_port_client.h"

namespace vrx {

bool ComPortClient::Available() {
    return false;
}

ComPortClient::ComPortClient() = default;
ComPortClient::~ComPortClient() = default;
void ComPortClient::OnEvent(telnet_t*, telnet_event_t*, void*) {}
void ComPortClient::Handle(const telnet_event_t&) {}
void ComPortClient::Start() {}
void ComPortClient::Receive(const uint8_t*, size_t) {}
void ComPortClient::SendData(const uint8_t*, size_t) {}
void ComPortClient::Send(ComPortCommand, uint8_t) {}
void ComPortClient::SendBaudRate(uint32_t) {}

std::vector<uint8_t> ComPortClient::TakeOutgoing() {
    return {};
}

std::vector<uint8_t> ComPortClient::TakeData() {
    return {};
}

std::optional<std::vector<uint8_t>> ComPortClient::Reply(ComPortCommand) const {
    return std::nullopt;
}

std::optional<uint32_t> ComPortClient::BaudReply() const {
    return std::nullopt;
}

} // namespace vrx
