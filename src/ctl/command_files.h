#pragma once
// The files a vrx630ctl command names: a configuration file or a .630 file read and checked
// whole, and an output file that is replaced only once it is written whole. All of them are
// opened before the port is, so a file that cannot be read, is refused or cannot be written is
// a usage error before anything goes on the line.

#include "chip/atomic_file.h"
#include "chip/ram_table.h"
#include "config/chip_config.h"
#include "ctl/ctl_command_line.h"

#include <optional>
#include <string>

namespace vrx::ctl {

// Begun at construction (an AtomicFile), so an unwritable place is refused before the board is
// asked; the file is replaced at Commit, and left as it was otherwise.
class OutputFile {
public:
    explicit OutputFile(std::string path);
    void Commit(const std::string& text);

private:
    [[noreturn]] void Unwritable() const;

    std::string path_;
    AtomicFile file_;
};

// What the command's files hold, or where its output goes; empty where it names none.
struct CommandFiles {
    explicit CommandFiles(const Invocation& inv);

    std::optional<ChipConfig> config; // config diff, config load
    std::optional<RamTable> ram;      // ram write
    std::optional<OutputFile> output; // config save, ram read, ram shape --output
};

} // namespace vrx::ctl
