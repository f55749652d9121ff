// Fuzz target of vrx630ctl's command line (parsed only; no port is opened): the input is the
// arguments, separated by NUL bytes. Any arguments are either refused with a usage error or
// give a command whose every value lies within its range. Any other exception or fault is a
// finding.

#include "chip/register_map.h"
#include "ctl/ctl_command_line.h"
#include "ctl/ctl_errors.h"
#include "protocol/field_text.h"
#include "protocol/motor_sequences.h"
#include "protocol/pass_watch.h"

#include "fuzz_arguments.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

using vrx::fuzz::Require;

void RequireWithin(const std::optional<int>& value, vrx::ValueRange range) {
    Require(!value || range.Contains(*value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> args = vrx::fuzz::Arguments(data, size);
    vrx::ctl::Invocation inv;
    try {
        inv = vrx::ctl::ParseCommandLine(args);
    } catch (const vrx::ctl::UsageError&) {
        return 0;
    }
    if (!inv.help.empty()) {
        return 0;
    }
    static const std::set<std::string> kCommands = {
        "ports",       "identify",    "status",      "get",          "set",       "move",
        "stop",        "raw",         "watch",       "ram read",     "ram write", "ram shape",
        "config save", "config diff", "config load", "config export"};
    Require(kCommands.contains(inv.command));
    Require(!inv.motor || (*inv.motor >= 0 && *inv.motor < vrx::kMotorCount));
    const bool needsWords = inv.command == "get" || inv.command == "set" ||
                            inv.command == "ram read" || inv.command == "ram write" ||
                            inv.command.starts_with("config");
    Require(!needsWords || !inv.words.empty());
    Require(inv.command != "move" || inv.motor.has_value());
    Require(inv.move.mode >= vrx::RampModeRamp && inv.move.mode <= vrx::RampModeHold);
    RequireWithin(inv.move.target, vrx::kTargetPositionRange);
    RequireWithin(inv.move.velocity, vrx::kTargetVelocityRange);
    RequireWithin(inv.move.vMin, vrx::kVelocityLimitRange);
    RequireWithin(inv.move.vMax, vrx::kVelocityLimitRange);
    RequireWithin(inv.move.aMax, vrx::kAccelerationRange);
    Require(vrx::ValidClockMhz(inv.clockMhz));
    Require(inv.command == "watch" || !inv.units);
    // 0 reads back to back.
    Require(inv.intervalMs >= 0 && inv.intervalMs <= vrx::kMaxWatchIntervalMs);
    Require(inv.count >= 0 && inv.count <= vrx::kMaxWatchCount);
    Require(inv.command != "ram shape" || vrx::ParseUnitFraction(inv.sigma).has_value());
    Require(inv.port.empty() || inv.simulated.empty());
    // An export's name is one the header can use, its clock the one given.
    Require(vrx::ExportNameProblem(inv.exporting.name).empty());
    Require(inv.exporting.clockMhz == inv.clockMhz);
    // The same arguments give the same command.
    const vrx::ctl::Invocation again = vrx::ctl::ParseCommandLine(args);
    Require(again.command == inv.command && again.words == inv.words && again.raw == inv.raw);
    return 0;
}
