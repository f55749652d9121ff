#include "ctl/command_files.h"

#include "config/config_commands.h"
#include "protocol/ram_commands.h"

namespace vrx::ctl {

CommandFiles::CommandFiles(const Invocation& inv) {
    const std::string& c = inv.command;
    if (c == "config diff" || c == "config load") {
        config = LoadConfigFile(inv.words.front());
    } else if (c == "ram write") {
        ram = LoadStrictRamFile(inv.words.front());
    } else if (c == "config save" || c == "ram read") {
        output.emplace(inv.words.front());
    } else if ((c == "ram shape" || c == "config export") && !inv.output.empty()) {
        output.emplace(inv.output);
    }
}

} // namespace vrx::ctl
