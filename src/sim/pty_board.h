#pragma once
// Serves a simulated board on a pseudo-terminal, so any program can open DevicePath() like a
// serial port (raw, 19200 8N1). The board keeps its own descriptor of the terminal open for its
// whole life, so clients may close and reopen the device; it never locks the device, since
// clients open it exclusively. POSIX only; Windows reaches the board through LoopbackBoard.
//
//   PtyBoard board(BoardVariant::Vrx52xKit);
//   if (!board.Start()) { report(board.ErrorText()); }
//   open(board.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK) ...
//   board.With([](SimulatedBoard& b) { return b.Model().Motor(0).XActual(); });

#include "sim/served_board.h"

#include <string>

namespace vrx::sim {

class PtyBoard final : public ServedBoard {
public:
    explicit PtyBoard(BoardVariant variant = BoardVariant::Plain, const LineOptions& options = {});
    ~PtyBoard() override;

    const std::string& DevicePath() const { return devicePath_; }

private:
    bool OpenLine() override;
    void CloseLine() override;
    void WakeLine() override;
    bool WaitLine(int timeoutUs, bool sending, std::vector<uint8_t>& received) override;
    long SendLine(std::span<const uint8_t> bytes) override;
    void HangUpLine() override;
    bool Fail(const std::string& what);

    std::string devicePath_;
    int master_ = -1;
    int slave_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
};

} // namespace vrx::sim
