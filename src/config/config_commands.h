#pragma once
// The chip's whole configuration over the board as text interfaces offer it: saved into a file,
// compared with one, and applied from one. A file is read and checked whole, and a file to be
// written begun, before anything is sent.

#include "config/chip_config.h"
#include "config/config_export.h"
#include "config/config_file.h"
#include "protocol/board_session.h"
#include "protocol/named_values.h"
#include "protocol/output_file.h"

#include <functional>
#include <string>
#include <vector>

namespace vrx {

// A FileError when the file cannot be read, FileRefused with its line and key when it is no
// configuration.
ChipConfig LoadConfigFile(const std::string& path);

// The export of the configuration file at `path`, which is checked as a load checks it; a
// UsageError for a name or clock the export refuses, before the file is read.
std::string ExportConfigFile(const std::string& path, const ExportOptions& options);

// Every setting register and the RAM into `file`; NoAnswer, and the file left as it was, when
// the board stops answering.
void SaveConfig(BoardSession& board, OutputFile& file, const ConfigFileInfo& info);

// What differs between the chip and `file`; unless `dryRun`, written and read back to verify,
// `written` told of each change once the board has taken it. A write that ends partway is
// Unfinished, its message naming `diffCommand` as what shows the differences left; a chip that
// does not hold the file's values after writing is a BoardError.
std::vector<ConfigDifference>
ApplyConfigFile(BoardSession& board, const ChipConfig& file, bool dryRun,
                const std::string& diffCommand,
                const std::function<void(const std::vector<ConfigDifference>&)>& written = {});

// {"section": "motor2", "field": "A_MAX", "chip": 50, "file": 1000}
NamedValues DifferenceValues(const ConfigDifference& difference);

} // namespace vrx
