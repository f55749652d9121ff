// config: the chip's whole set-up to and from configuration files, and the comparison of the
// two.
#include "config/config_file.h"
#include "config/config_transfer.h"
#include "ctl/ctl_commands.h"
#include "ctl/ctl_errors.h"

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
    const ChipConfig& file = *files.config;
    const bool diff = inv.command == "config diff";
    const ApplyOutcome outcome = ApplyConfig(Transfers(board), file, diff || inv.dryRun);
    if (outcome.stoppedAt == ApplyOutcome::Stop::Reading) {
        NoAnswer("; the chip's configuration could not be read");
    }
    if (outcome.stoppedAt != ApplyOutcome::Stop::None) {
        PrintDifferences(outcome.changes, out);
        NoAnswer("; " + std::to_string(outcome.written) + " of " + std::to_string(outcome.planned) +
                 " telegrams were written");
    }
    PrintDifferences(outcome.changes, out);
    if (!outcome.remaining.empty()) {
        throw BoardError("the chip does not hold the file's values after writing: " +
                         std::to_string(outcome.remaining.size()) + " fields differ");
    }
}

} // namespace vrx::ctl
