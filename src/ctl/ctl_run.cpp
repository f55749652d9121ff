#include "ctl/ctl_run.h"

#include "ctl/ctl_commands.h"
#include "ctl/ctl_errors.h"
#include "ctl/stop_request.h"
#include "protocol/board_connection.h"
#include "serial/device_name.h"
#include "sim/simulated_port.h"

#include <algorithm>
#include <optional>

namespace vrx::ctl {

namespace {

// The board of --simulated: an unknown variant is a usage error, a board that cannot start
// one of the board's.
void StartSimulated(std::optional<sim::SimulatedPort>& simulated, const std::string& variant) {
    try {
        simulated.emplace(variant);
        simulated->Board().SetTraceLimit(0); // a watch may run for hours
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    } catch (const std::runtime_error& e) {
        throw BoardError(e.what());
    }
}

void RunOnBoard(const Invocation& inv, CommandFiles& files, Output& output) {
    if (inv.port.empty() && inv.simulated.empty()) {
        throw UsageError("give the board's port with --port DEVICE, or --simulated VARIANT");
    }
    std::optional<sim::SimulatedPort> simulated;
    if (!inv.simulated.empty()) {
        StartSimulated(simulated, inv.simulated);
        // The simulated board runs at the clock the units are taken at.
        simulated->Board().With(
            [&inv](sim::SimulatedBoard& b) { b.Model().SetClockMhz(inv.clockMhz); });
    }
    const std::string device = simulated ? simulated->Device() : ResolveDeviceName(inv.port);
    BoardConnection connection(inv.port, device, simulated ? simulated->Backend() : nullptr,
                               StopRequested);
    BoardSession& board = connection.Session();
    const std::string& c = inv.command;
    if (c == "identify") {
        Identify(board, connection.Id(), output);
    } else if (c == "status") {
        Status(board, inv, output);
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
            Ports(ListPortChoices(), output);
        } else if (inv.command == "config export") {
            ExportConfig(inv, files, output);
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
