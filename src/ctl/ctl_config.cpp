// config: the chip's whole set-up to and from configuration files, and the comparison of the
// two.
#include "config/config_file.h"
#include "config/config_transfer.h"
#include "ctl/ctl_commands.h"
#include "ctl/ctl_errors.h"
#include "ctl/stop_request.h"

namespace vrx::ctl {

namespace {

// One line per difference: "motor2.A_MAX  chip 50  file 1000", or a JSON object.
void PrintDifferences(const std::vector<ConfigDifference>& differences, Output& out) {
    for (const ConfigDifference& d : differences) {
        if (out.Json()) {
            out.Emit({Text("section", d.section), Text("field", d.field), Number("chip", d.chip),
                      Number("file", d.file)});
        } else {
            out.Line(d.section + "." + d.field + "  chip " + std::to_string(d.chip) + "  file " +
                     std::to_string(d.file));
        }
    }
}

void Save(BoardSession& board, OutputFile& file) {
    const auto chip = ReadChipConfig(Transfers(board));
    if (!chip) {
        NoAnswer("; nothing was saved");
    }
    file.Commit(
        ConfigText(*chip, {"vrx630ctl " VRX_VERSION, std::string(BoardName(board.Kind()))}));
}

} // namespace

void Config(BoardSession& board, const Invocation& inv, CommandFiles& files, Output& out) {
    if (inv.command == "config save") {
        Save(board, *files.output);
        return;
    }
    const bool load = inv.command == "config load" && !inv.dryRun;
    ApplyHooks hooks;
    hooks.stopRequested = StopRequested;
    if (load) {
        // Each change once the board has taken it, so what is shown is what was written.
        hooks.written = [&out](const std::vector<ConfigDifference>& changes) {
            PrintDifferences(changes, out);
        };
    }
    const ApplyOutcome outcome = ApplyConfig(Transfers(board), *files.config, !load, hooks);
    const std::string diff = "(config diff " + inv.words.front() + " shows what differs)";
    switch (outcome.stoppedAt) {
    case ApplyOutcome::Stop::None:
        break;
    case ApplyOutcome::Stop::Reading:
        NoAnswer("; the chip's configuration could not be read");
    case ApplyOutcome::Stop::Writing:
        EndedPartway(outcome.interrupted, outcome.written, outcome.planned, "writes",
                     "the chip is partly configured " + diff);
    case ApplyOutcome::Stop::Verifying:
        EndedPartway(outcome.interrupted, outcome.written, outcome.planned, "writes",
                     "the chip was not read back " + diff);
    }
    if (!load) {
        PrintDifferences(outcome.changes, out);
    }
    if (!outcome.remaining.empty()) {
        throw BoardError("the chip does not hold the file's values after writing: " +
                         std::to_string(outcome.remaining.size()) + " fields differ");
    }
}

} // namespace vrx::ctl
