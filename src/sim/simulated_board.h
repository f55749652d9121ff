#pragma once
// The whole simulated board behind its serial line, independent of how bytes reach it: records
// what comes in, lets the firmware answer, applies the fault knobs that decide whether and how a
// reply goes out, and keeps the chip's motion in step with the caller's clock. The pty front end
// and the tests drive it with explicit times (milliseconds since the board started).
// Not thread-safe, except for the trace, which has its own lock.

#include "sim/board_firmware.h"
#include "sim/byte_trace.h"
#include "sim/line_options.h"
#include "sim/reply_scheduler.h"

#include <optional>
#include <span>
#include <vector>

namespace vrx::sim {

class SimulatedBoard {
public:
    explicit SimulatedBoard(BoardVariant variant = BoardVariant::Plain,
                            const LineOptions& options = {});

    void SetOptions(const LineOptions& options);
    const LineOptions& Options() const { return options_; }

    // Bytes from the PC handed over at nowMs. After a hang-up nothing is taken any more.
    void Receive(std::span<const uint8_t> bytes, double nowMs);
    // Moves the chip's motors on to nowMs (whole milliseconds).
    void AdvanceTo(double nowMs);
    // Reply bytes due at nowMs, in order.
    std::vector<uint8_t> TakeDue(double nowMs) { return scheduler_.TakeDue(nowMs); }
    std::optional<double> NextDueMs() const { return scheduler_.NextDueMs(); }

    // The hang-up fault has struck: the line must be closed.
    bool HangUpDue() const { return hangUpDue_; }
    // Replies the firmware produced and the faults swallowed (silent board or dropped).
    int RepliesLost() const { return repliesLost_; }

    BoardFirmware& Firmware() { return firmware_; }
    const BoardFirmware& Firmware() const { return firmware_; }
    Vrx630Model& Model() { return firmware_.Model(); }
    const Vrx630Model& Model() const { return firmware_.Model(); }
    BoardPeripherals& Peripherals() { return firmware_.Peripherals(); }
    const BoardPeripherals& Peripherals() const { return firmware_.Peripherals(); }
    ByteTrace& Trace() { return trace_; }
    const ByteTrace& Trace() const { return trace_; }

private:
    void Dispatch(BoardReply reply, double readyMs);

    BoardFirmware firmware_;
    LineOptions options_;
    ReplyScheduler scheduler_;
    ByteTrace trace_;
    int commandsAnswered_ = 0;
    int repliesProduced_ = 0;
    int repliesLost_ = 0;
    bool hangUpDue_ = false;
};

} // namespace vrx::sim
