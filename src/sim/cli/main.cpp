// vrx630-sim: serves a simulated evaluation board on a pseudo-terminal until SIGINT, SIGTERM or
// SIGHUP.

#include "sim/cli/command_line.h"
#include "sim/cli/device_link.h"
#include "sim/cli/trace_file_writer.h"
#include "sim/pty_board.h"

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <string>
#include <vector>

using namespace vrx::sim;

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const CommandLineResult parsed = ParseCommandLine(args);
    if (!parsed.options) {
        std::fprintf(stderr, "vrx630-sim: %s\n", parsed.error.c_str());
        return 2;
    }
    const CommandLine& options = *parsed.options;
    if (options.help || options.version) {
        std::fputs((options.help ? UsageText() : VersionText()).c_str(), stdout);
        return 0;
    }

    // Block the stop signals before the board thread exists, so only sigwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP); // a closed terminal ends the run as cleanly
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // The trace outlives the board, whose thread writes to it until the board stops.
    TraceFileWriter trace;
    PtyBoard board(options.variant, options.line);
    board.With([&](SimulatedBoard& b) { ApplyToBoard(options, b); });
    board.SetTraceLimit(0); // a run of hours keeps what it received only in the --trace file
    std::string error;
    if (!options.tracePath.empty()) {
        if (!trace.Open(options.tracePath, error)) {
            std::fprintf(stderr, "vrx630-sim: %s\n", error.c_str());
            return 1;
        }
        board.SetReceiveObserver([&trace](std::span<const TraceEntry> e) { trace.Write(e); });
    }
    if (!board.Start()) {
        std::fprintf(stderr, "vrx630-sim: %s\n", board.ErrorText().c_str());
        return 1;
    }
    DeviceLink link;
    if (!options.linkPath.empty()) {
        const DeviceLink::Result made = link.Create(options.linkPath, board.DevicePath(), error);
        if (made != DeviceLink::Result::Made) {
            std::fprintf(stderr, "vrx630-sim: %s\n", error.c_str());
            return made == DeviceLink::Result::Taken ? 2 : 1; // a --link that cannot be used
        }
    }
    std::printf("%s\n", board.DevicePath().c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    board.Stop();
    return 0;
}
