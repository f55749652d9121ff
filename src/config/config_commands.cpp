#include "config/config_commands.h"

#include "config/config_transfer.h"
#include "config/sha256.h"
#include "protocol/command_errors.h"
#include "protocol/input_file.h"
#include "protocol/required_answer.h"

namespace vrx {

namespace {

ChipConfig ParseConfigFile(const std::string& path, const std::string& text) {
    const ParsedConfig parsed = ParseConfig(text);
    if (parsed.error) {
        throw FileRefused(ConfigErrorText(path, *parsed.error), path, parsed.error->line,
                          parsed.error->key);
    }
    return parsed.config;
}

} // namespace

ChipConfig LoadConfigFile(const std::string& path) {
    return ParseConfigFile(path, ReadInputFile(path, kMaxConfigFileBytes));
}

std::string ExportConfigFile(const std::string& path, const ExportOptions& options) {
    if (const std::string problem = ExportOptionsProblem(options); !problem.empty()) {
        throw UsageError(problem);
    }
    const std::string text = ReadInputFile(path, kMaxConfigFileBytes);
    const ChipConfig config = ParseConfigFile(path, text);
    return ExportText(config, {ExportSourceName(path), Sha256Hex(text)}, options);
}

void SaveConfig(BoardSession& board, OutputFile& file, const ConfigFileInfo& info) {
    const auto chip = ReadChipConfig(Transfers(board));
    if (!chip) {
        Unanswered(board, "; nothing was saved");
    }
    file.Commit(ConfigText(*chip, info));
}

std::vector<ConfigDifference>
ApplyConfigFile(BoardSession& board, const ChipConfig& file, bool dryRun,
                const std::string& diffCommand,
                const std::function<void(const std::vector<ConfigDifference>&)>& written) {
    ApplyHooks hooks;
    hooks.stopRequested = [&board] { return board.Cancelled(); };
    hooks.written = written;
    const ApplyOutcome outcome = ApplyConfig(Transfers(board), file, dryRun, hooks);
    const std::string diff = "(" + diffCommand + " shows what differs)";
    switch (outcome.stoppedAt) {
    case ApplyOutcome::Stop::None:
        break;
    case ApplyOutcome::Stop::Reading:
        Unanswered(board, "; the chip's configuration could not be read");
    case ApplyOutcome::Stop::Writing:
        EndedPartway(outcome.interrupted, outcome.written, outcome.planned, "writes",
                     "the chip is partly configured " + diff);
    case ApplyOutcome::Stop::Verifying:
        EndedPartway(outcome.interrupted, outcome.written, outcome.planned, "writes",
                     "the chip was not read back " + diff);
    }
    if (!outcome.remaining.empty()) {
        throw BoardError("the chip does not hold the file's values after writing: " +
                         std::to_string(outcome.remaining.size()) + " fields differ");
    }
    return outcome.changes;
}

NamedValues DifferenceValues(const ConfigDifference& d) {
    return {Text("section", d.section), Text("field", d.field), Number("chip", d.chip),
            Number("file", d.file)};
}

} // namespace vrx
