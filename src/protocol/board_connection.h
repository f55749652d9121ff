#pragma once
// A board on a serial port for a program without an event loop: the port opened with the
// board's line settings (19200 baud, 8N1, RTS raised while sending), the board detected and
// identified, and the session to talk to it for as long as the connection lives. Closing it,
// or its end, gives the port its settings back.

#include "protocol/board_session.h"
#include "protocol/named_values.h"
#include "serial/port_discovery.h"
#include "serial/serial_line.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vrx {

class BoardConnection {
public:
    // `device` opened (with `backend`, or the system's own), `port` as the user named it for the
    // messages; `cancel` is the session's stop request, from the detection on. A BoardError when
    // the port does not open, NoAnswer (Interrupted) when the board does not answer.
    BoardConnection(const std::string& port, const std::string& device,
                    std::unique_ptr<SerialBackend> backend = nullptr,
                    std::function<bool()> cancel = {});

    BoardSession& Session() { return session_; }
    const BoardSession& Session() const { return session_; }
    const Identification& Id() const { return id_; }
    void Close() { line_.Close(); }
    bool IsOpen() const { return line_.IsOpen(); }

private:
    SerialLine line_;
    BoardSession session_;
    Identification id_{};
};

// A port of the port list: {"port": ..., "device": ..., "description": ...}.
NamedValues PortValues(const SerialPortInfo& port);

} // namespace vrx
