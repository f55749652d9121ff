#include "ctl/ctl_run.h"

#include "chip/register_names.h"
#include "ctl/ctl_commands.h"
#include "ctl/simulated_port.h"
#include "serial/device_name.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace vrx::ctl {

namespace {

struct CommandDef {
    std::set<std::string> valued;
    std::set<std::string> flags;
    std::function<void(BoardSession&, const CommandArgs&, Output&)> run;
};

const std::map<std::string, CommandDef>& Commands() {
    static const std::map<std::string, CommandDef> commands = {
        {"status", {{}, {}, [](BoardSession& b, const CommandArgs&, Output& o) { Status(b, o); }}},
        {"get", {{"--motor"}, {}, Get}},
        {"set", {{"--motor"}, {}, Set}},
        {"move",
         {{"--mode", "--target", "--velocity", "--vmin", "--vmax", "--amax"},
          {"--wait", "--force"},
          Move}},
        {"stop", {{}, {}, Stop}},
        {"ram",
         {{"--output"},
          {"--write"},
          [](BoardSession& b, const CommandArgs& a, Output& o) { Ram(&b, a, o); }}},
        {"raw", {{}, {}, Raw}},
        {"watch", {{"--interval", "--count"}, {}, Watch}},
    };
    return commands;
}

// The line the board's serial link uses: 19200 baud, 8N1, RTS raised while sending.
LineSettings BoardLine() {
    LineSettings line;
    line.baudRate = cbr19200;
    line.flowControl = fcRTSToggle;
    return line;
}

} // namespace

std::string HelpText() {
    std::string registers;
    for (const std::string& name : RegisterNames()) {
        registers += (registers.empty() ? "  " : ", ") + name;
    }
    return "usage: vrx630ctl [--port DEVICE | --simulated VARIANT] [--json] COMMAND ...\n"
           "\n"
           "  identify                     the board variant and its identification bytes\n"
           "  status                       each motor's X_ACTUAL, V_ACTUAL, A_ACTUAL, V_TARGET"
           " and the status bits\n"
           "  get REGISTER [--motor N]     read one register, decoded field by field\n"
           "  set REGISTER FIELD=VALUE ... [--motor N]\n"
           "                               write one register; unnamed fields keep their value\n"
           "  move N --mode MODE [--target X] [--velocity V] [--vmin V] [--vmax V] [--amax A]\n"
           "         [--wait] [--force]    program motor N (1..3) in RAMP, SOFTMODE, VELOCITY or"
           " HOLD;\n"
           "                               a too small A_MAX is refused unless --force; --wait"
           " returns\n"
           "                               when the motor has arrived (or stands, for VELOCITY"
           " 0)\n"
           "  stop N|all                   stop a motor or all three\n"
           "  ram read FILE.630 | ram write FILE.630 | ram shape SIGMA [--write] [--output"
           " FILE.630]\n"
           "  raw B0 B1 B2 B3              send one telegram (hexadecimal bytes), print the"
           " answer\n"
           "  watch [--interval MS] [--count N]\n"
           "                               one CSV line per interval: time and every motor's"
           " values\n"
           "\n"
           "DEVICE is a serial device or COM1..COM256. VARIANT is plain, zepha, balsen, 516, 52x"
           " or 880:\n"
           "a simulated board of that variant, served by this program.\n"
           "Exit status: 0 done, 1 the board does not answer or refuses, 2 a usage error.\n"
           "\n"
           "Registers (also by any of their field names, e.g. P_MUL, REF_CONF, RAMP_MODE):\n" +
           registers + "\n";
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const Invocation inv = ParseInvocation(args);
        if (inv.help || inv.command == "help") {
            out << HelpText();
            return 0;
        }
        if (inv.command.empty()) {
            throw UsageError("no command (vrx630ctl --help lists them)");
        }
        Output output(out, inv.json);
        const auto found = Commands().find(inv.command);
        if (inv.command != "identify" && found == Commands().end()) {
            throw UsageError("no command " + inv.command + " (vrx630ctl --help lists them)");
        }
        const CommandDef none;
        const CommandDef& def = found == Commands().end() ? none : found->second;
        const CommandArgs commandArgs(inv.args, def.valued, def.flags);
        if (inv.command == "ram" && !RamNeedsBoard(commandArgs)) {
            Ram(nullptr, commandArgs, output);
            return 0;
        }
        if (inv.port.empty() && inv.simulated.empty()) {
            throw UsageError("give the board's port with --port DEVICE, or --simulated VARIANT");
        }

        std::optional<SimulatedPort> simulated;
        if (!inv.simulated.empty()) {
            simulated.emplace(inv.simulated);
        }
        const std::string device = simulated ? simulated->Device() : ResolveDeviceName(inv.port);
        SerialLine line;
        int error = 0;
        if (!line.Open(device, BoardLine(), error)) {
            throw BoardError("cannot open port " + inv.port + ": " + OpenFailureReason(error));
        }
        BoardSession board(line);
        const auto id = board.Detect();
        if (!id) {
            throw BoardError("the board does not respond");
        }
        if (inv.command == "identify") {
            commandArgs.ExpectPositional(0, 0, "identify");
            Identify(board, *id, output);
        } else {
            def.run(board, commandArgs, output);
        }
        return 0;
    } catch (const UsageError& e) {
        err << "vrx630ctl: " << e.what() << "\n";
        return 2;
    } catch (const BoardError& e) {
        err << "vrx630ctl: " << e.what() << "\n";
        return 1;
    }
}

} // namespace vrx::ctl
