#include "ctl/ctl_run.h"

#include "ctl/ctl_commands.h"
#include "ctl/ctl_errors.h"
#include "ctl/simulated_port.h"
#include "ctl/stop_request.h"
#include "serial/device_name.h"
#include "serial/port_names.h"

#include <algorithm>
#include <cerrno>
#include <optional>

namespace vrx::ctl {

namespace {

// The line the board's serial link uses: 19200 baud, 8N1, RTS raised while sending.
LineSettings BoardLine() {
    LineSettings line;
    line.baudRate = cbr19200;
    line.flowControl = fcRTSToggle;
    return line;
}

// Why the port did not open; for a port that does not exist, also the ports that do.
std::string OpenFailure(const std::string& port, int error) {
    std::string text = "cannot open port " + port + ": " + OpenFailureReason(error);
    if (error == ENOENT) {
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

void RunOnBoard(const Invocation& inv, CommandFiles& files, Output& output) {
    if (inv.port.empty() && inv.simulated.empty()) {
        throw UsageError("give the board's port with --port DEVICE, or --simulated VARIANT");
    }
    std::optional<SimulatedPort> simulated;
    if (!inv.simulated.empty()) {
        simulated.emplace(inv.simulated);
    }
    const std::string device = simulated ? simulated->Device() : ResolveDeviceName(inv.port);
    SerialLine line(simulated ? simulated->Backend() : nullptr);
    int error = 0;
    if (!line.Open(device, BoardLine(), error)) {
        throw BoardError(OpenFailure(inv.port, error));
    }
    BoardSession board(line);
    board.SetCancel(StopRequested);
    const auto id = board.Detect();
    if (!id) {
        NoAnswer();
    }
    const std::string& c = inv.command;
    if (c == "identify") {
        Identify(board, *id, output);
    } else if (c == "status") {
        Status(board, output);
    } else if (c == "get") {
        Get(board, inv, output);
    } else if (c == "set") {
        Set(board, inv, output);
    } else if (c == "move") {
        Move(board, inv, output);
    } else if (c == "stop") {
        Stop(board, inv, output);
    } else if (c == "raw") {
        Raw(board, inv, output);
    } else if (c == "watch") {
        Watch(board, inv, output);
    } else if (c.starts_with("config")) {
        Config(board, inv, files, output);
    } else {
        Ram(&board, inv, files, output);
    }
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // Known before the command line is understood, so its errors come in the chosen form too.
    const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
    try {
        const Invocation inv = ParseCommandLine(args);
        if (!inv.help.empty()) {
            out << inv.help;
            return 0;
        }
        Output output(out, inv.json);
        // Every file is read, checked or begun before the port is opened.
        CommandFiles files(inv);
        if (inv.NeedsBoard()) {
            RunOnBoard(inv, files, output);
        } else if (inv.command == "ports") {
            Ports(ListSerialPorts(), output);
        } else {
            Ram(nullptr, inv, files, output);
        }
        return 0;
    } catch (const UsageError& e) {
        PrintError(err, json, e.what(), kExitUsage);
        return kExitUsage;
    } catch (const Unfinished& e) {
        PrintError(err, json, e.what(), kExitBoard,
                   {Number("written", e.written), Number("planned", e.planned)});
        return kExitBoard;
    } catch (const BoardError& e) {
        PrintError(err, json, e.what(), kExitBoard);
        return kExitBoard;
    }
}

} // namespace vrx::ctl
