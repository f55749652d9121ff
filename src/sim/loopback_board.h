#pragma once
// Serves a simulated board in-process without a pseudo-terminal, for systems that have none
// (Windows): the program reaches it through the SerialBackend that Connect() hands out, with the
// same wire timing and faults as on a pseudo-terminal. A hang-up or Stop makes the line go away
// under the backend, which then reports the device lost.
//
//   LoopbackBoard board(BoardVariant::Vrx52xKit);
//   if (!board.Start()) { report(board.ErrorText()); }
//   SerialLine line(board.Connect());
//   line.Open(LoopbackBoard::kDeviceName, settings, error) ...

#include "serial/serial_backend.h"
#include "sim/served_board.h"

#include <memory>

namespace vrx::sim {

class LoopbackWire;

class LoopbackBoard final : public ServedBoard {
public:
    // What the line is called where a device name is asked for; the backend does not look at it.
    static constexpr const char* kDeviceName = "loopback";

    explicit LoopbackBoard(BoardVariant variant = BoardVariant::Plain,
                           const LineOptions& options = {});
    ~LoopbackBoard() override;

    // A backend on this board's line, to open and use like a serial device; one backend at a
    // time has it open. It may outlive the board, whose line is then gone.
    std::unique_ptr<SerialBackend> Connect();

private:
    bool OpenLine() override;
    void CloseLine() override;
    void WakeLine() override;
    bool WaitLine(int timeoutUs, bool sending, std::vector<uint8_t>& received) override;
    long SendLine(std::span<const uint8_t> bytes) override;
    void HangUpLine() override;
    void OptionsChanged(const LineOptions& options) override;

    std::shared_ptr<LoopbackWire> wire_;
};

} // namespace vrx::sim
