#pragma once
// The files a vrx630ctl command names: a configuration file or a .630 file read and checked
// whole, and an output file that is replaced only once it is written whole. All of them are
// opened before the port is, so a file that cannot be read, is refused or cannot be written is
// a usage error before anything goes on the line.

#include "chip/ram_table.h"
#include "config/chip_config.h"
#include "ctl/ctl_command_line.h"
#include "protocol/output_file.h"

#include <optional>

namespace vrx::ctl {

// What the command's files hold, or where its output goes; empty where it names none.
struct CommandFiles {
    explicit CommandFiles(const Invocation& inv);

    std::optional<ChipConfig> config; // config diff, config load
    std::optional<RamTable> ram;      // ram write
    std::optional<OutputFile> output; // config save, ram read, --output of ram shape and export
};

} // namespace vrx::ctl
