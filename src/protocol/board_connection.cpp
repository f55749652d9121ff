#include "protocol/board_connection.h"

#include "protocol/command_errors.h"
#include "protocol/required_answer.h"
#include "serial/device_name.h"
#include "serial/network_port_name.h"
#include "serial/port_names.h"

#include <cerrno>

namespace vrx {

namespace {

LineSettings BoardLine() {
    LineSettings line;
    line.baudRate = cbr19200;
    line.flowControl = fcRTSToggle;
    return line;
}

// Why the port did not open; for a port that does not exist, also the ports that do.
std::string OpenFailure(const std::string& port, const SerialLine& line, int error) {
    std::string text = "cannot open port " + port + ": " + line.FailureText(error);
    if (error == ENOENT && !IsNetworkPortName(port)) {
        std::string present;
        for (const std::string& name : SystemPortNames()) {
            present += (present.empty() ? "" : ", ") + name;
        }
        if (!present.empty()) {
            text += " Serial ports here: " + present + ".";
        }
    }
    return text;
}

} // namespace

BoardConnection::BoardConnection(const std::string& port, const std::string& device,
                                 std::unique_ptr<SerialBackend> backend,
                                 std::function<bool()> cancel)
    : line_(std::move(backend)), session_(line_) {
    int error = 0;
    if (!line_.Open(device, BoardLine(), error)) {
        // A network port that is refused is a name that cannot be used, as a typo would be.
        if (IsNetworkPortName(device)) {
            throw UsageError(OpenFailure(port, line_, error));
        }
        throw BoardError(OpenFailure(port, line_, error));
    }
    session_.SetCancel(std::move(cancel));
    const auto id = session_.Detect();
    if (!id) {
        Unanswered(session_);
    }
    id_ = *id;
}

NamedValues PortValues(const SerialPortInfo& port) {
    return {Text("port", port.port), Text("device", port.device),
            Text("description", port.description)};
}

} // namespace vrx
