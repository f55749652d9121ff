#include "ctl/ctl_commands.h"

#include "ctl/ctl_errors.h"
#include "protocol/board_connection.h"
#include "protocol/motor_commands.h"
#include "protocol/pass_watch.h"
#include "protocol/register_commands.h"

namespace vrx::ctl {

void Identify(BoardSession& board, const Identification& id, Output& out) {
    static const char* const kKinds[] = {"VRX630 board", "ZEPHA board", "Balsen board",
                                         "VRX516 kit",   "VRX52x kit",  "VRX880 kit"};
    std::string bytes;
    std::string text;
    for (uint8_t b : id) {
        bytes += (bytes.empty() ? "" : " ") + Hex(b, 2);
        text += (b >= 0x20 && b < 0x7F) ? char(b) : '.';
    }
    out.Emit({Text("board", kKinds[int(board.Kind())]), Text("identification", bytes),
              Text("text", text)});
}

void Status(BoardSession& board, const Invocation& inv, Output& out) {
    ReadStatus(board, inv.clockMhz, [&out](const NamedValues& items) { out.Emit(items); });
}

void Get(BoardSession& board, const Invocation& inv, Output& out) {
    out.Emit(GetRegister(board, inv.words.front(), inv.motor, kCommandLineOptions, inv.clockMhz));
}

void Set(BoardSession& board, const Invocation& inv, Output& out) {
    out.Emit(SetRegister(board, inv.words, inv.motor, kCommandLineOptions, inv.force));
}

void Move(BoardSession& board, const Invocation& inv, Output& out) {
    out.Emit(vrx::Move(board, inv.motor.value_or(0), inv.move, kCommandLineOptions, inv.clockMhz));
}

void Stop(BoardSession& board, const Invocation& inv, Output& out) {
    StopMotors(board, inv.motor, [&out](int motor) { out.Emit({Number("stopped", motor + 1)}); });
}

void Raw(BoardSession& board, const Invocation& inv, Output& out) {
    out.Emit(RawTelegram(board, {inv.raw[0], inv.raw[1], inv.raw[2], inv.raw[3]}));
}

void Watch(BoardSession& board, const Invocation& inv, Output& out) {
    // The program's recorder writes the same header and rows.
    out.Line(PassCsvHeader(inv.units));
    // A trigger in steps/s needs the dividers as much as the steps/s columns do.
    const bool units = inv.units || (inv.trigger && inv.trigger->inSteps);
    PassWatch watch(board, inv.intervalMs, inv.count,
                    units ? std::optional(inv.clockMhz) : std::nullopt);
    const auto emit = [&](int64_t timeMs, const PassRow& row) {
        const MotionUnits* columns = inv.units ? watch.Units() : nullptr;
        if (out.Json()) {
            out.Emit(PassValues(timeMs, row, columns));
        } else {
            out.Line(PassCsvLine(timeMs, row, columns));
        }
    };
    std::optional<PassCapture> capture;
    if (inv.trigger) {
        capture.emplace(*inv.trigger, inv.preMs, inv.postMs);
    }
    // Ctrl+C is the way to end a watch without a count, and a reader that has read enough closes
    // stdout: either ends the watch, not as a failure.
    try {
        while (!out.Closed() && !(capture && capture->Done())) {
            const auto pass = watch.Next();
            if (!pass) {
                return;
            }
            if (!capture) {
                emit(pass->timeMs, pass->row);
                continue;
            }
            const MotionUnits now = watch.Units() ? *watch.Units() : MotionUnits{};
            for (const CapturedPass& p : capture->Take(pass->timeMs, pass->row, now)) {
                emit(p.timeMs, p.row);
            }
        }
    } catch (const Interrupted&) {
    }
}

void Ports(const std::vector<SerialPortInfo>& ports, Output& out) {
    for (const SerialPortInfo& port : ports) {
        if (out.Json()) {
            out.Emit(PortValues(port));
        } else {
            std::string line = port.port + "  " + port.device;
            if (!port.description.empty()) {
                line += "  " + port.description;
            }
            out.Line(line);
        }
    }
}

} // namespace vrx::ctl
