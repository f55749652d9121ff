#pragma once
// The command line of vrx630ctl, parsed by CLI11 into typed values: global options, the
// command, and its arguments, each checked against its range. Nothing here touches a port,
// so every refusal of what was typed happens before anything is sent.

#include "chip/physical_units.h"
#include "config/config_export.h"
#include "protocol/motor_commands.h"
#include "protocol/pass_trigger.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vrx::ctl {

struct Invocation {
    std::string port;      // --port DEVICE
    std::string simulated; // --simulated VARIANT
    bool json = false;
    int clockMhz = kDefaultClockMhz; // --clock MHZ: the board's, for the physical units
    std::string help;                // not empty: print this, do nothing else
    // ports, identify, status, get, set, move, stop, raw, watch, ram read, ram write, ram shape,
    // config save, config diff, config load, config export
    std::string command;

    std::optional<int> motor; // 0..2: get and set --motor, move N, stop N
    // get REGISTER, set REGISTER FIELD=VALUE ..., ram FILE, config FILE
    std::vector<std::string> words;
    MoveArgs move;
    std::array<uint8_t, 4> raw{};
    std::string sigma; // ram shape, as typed
    bool write = false;
    bool force = false;      // set --force
    bool dryRun = false;     // config load
    std::string output;      // ram shape, config export
    ExportOptions exporting; // config export; its clock is --clock
    int intervalMs = 100;
    int count = 0;      // watch: 0 until Ctrl+C
    bool units = false; // watch --units
    // watch --trigger CONDITION, --pre-ms, --post-ms: the passes around the first trigger.
    std::optional<Trigger> trigger;
    int preMs = 500;
    int postMs = 2000;

    // Whether the command talks to the board (a wave shape that is only printed does not).
    bool NeedsBoard() const;
};

// `args` without the program's name. A usage error for anything that cannot be used.
Invocation ParseCommandLine(const std::vector<std::string>& args);

} // namespace vrx::ctl
