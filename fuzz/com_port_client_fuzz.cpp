// Fuzz target of what an RFC 2217 server sends: negotiation, subnegotiation replies and serial
// data in any mix, any split. Stops the process when the client gives more data than came, when
// the split changes what it makes of the stream, or when data it sends does not read back the
// same through telnet's escaping.

#include "serial/com_port_client.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Reading {
    std::vector<uint8_t> data;
    bool agreed;
    bool error;
    std::optional<uint32_t> baud;
    std::optional<std::vector<uint8_t>> parity;

    bool operator==(const Reading&) const = default;
};

Reading Read(const uint8_t* bytes, size_t size, size_t split) {
    vrx::ComPortClient client;
    client.Start();
    client.Receive(bytes, split);
    std::vector<uint8_t> data = client.TakeData();
    client.Receive(bytes + split, size - split);
    const std::vector<uint8_t> rest = client.TakeData();
    data.insert(data.end(), rest.begin(), rest.end());
    return {data, client.Agreed(), client.ProtocolError(), client.BaudReply(),
            client.Reply(vrx::ComPortCommand::SetParity)};
}

void Fail(const char* rule) {
    std::fprintf(stderr, "com_port_client: %s\n", rule);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Reading whole = Read(data, size, size);
    if (whole.data.size() > size) {
        Fail("more serial data than bytes came");
    }
    // A stream broken by an error is not read on after it, so its split may matter.
    if (!whole.error && size > 0) {
        const Reading split = Read(data, size, data[0] % size);
        if (!split.error && !(split == whole)) {
            Fail("the stream reads differently split");
        }
    }
    vrx::ComPortClient sender;
    sender.SendData(data, size);
    const std::vector<uint8_t> escaped = sender.TakeOutgoing();
    vrx::ComPortClient reader;
    reader.Receive(escaped.data(), escaped.size());
    if (reader.TakeData() != std::vector<uint8_t>(data, data + size)) {
        Fail("data sent does not read back the same");
    }
    return 0;
}
