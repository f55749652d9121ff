// config: the chip's whole set-up to and from configuration files, and the comparison of the
// two.
#include "config/config_commands.h"
#include "ctl/ctl_commands.h"

namespace vrx::ctl {

namespace {

// One line per difference: "motor2.A_MAX  chip 50  file 1000", or a JSON object.
void PrintDifferences(const std::vector<ConfigDifference>& differences, Output& out) {
    for (const ConfigDifference& d : differences) {
        if (out.Json()) {
            out.Emit(DifferenceValues(d));
        } else {
            out.Line(d.section + "." + d.field + "  chip " + std::to_string(d.chip) + "  file " +
                     std::to_string(d.file));
        }
    }
}

} // namespace

void Config(BoardSession& board, const Invocation& inv, CommandFiles& files, Output& out) {
    if (inv.command == "config save") {
        SaveConfig(board, *files.output,
                   {"vrx630ctl " VRX_VERSION, std::string(BoardName(board.Kind()))});
        return;
    }
    const bool load = inv.command == "config load" && !inv.dryRun;
    // A load shows each change once the board has taken it, so what is shown is what was
    // written.
    const auto changes =
        ApplyConfigFile(board, *files.config, !load, "config diff " + inv.words.front(),
                        [&](const std::vector<ConfigDifference>& written) {
                            if (load) {
                                PrintDifferences(written, out);
                            }
                        });
    if (!load) {
        PrintDifferences(changes, out);
    }
}

void ExportConfig(const Invocation& inv, CommandFiles& files, Output& out) {
    const std::string text = ExportConfigFile(inv.words.front(), inv.exporting);
    if (files.output) {
        files.output->Commit(text);
    } else if (out.Json()) {
        out.Emit({Text("export", text)});
    } else {
        out.Line(text.substr(0, text.size() - 1)); // the text ends its last line itself
    }
}

} // namespace vrx::ctl
