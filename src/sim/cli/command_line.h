#pragma once
// The command line of vrx630-sim: which board to play at which clock, where to link and trace,
// the line faults and the pinned peripheral values. Parsed by CLI11 into this structure, so it can
// be tested without starting anything.

#include "chip/physical_units.h"
#include "sim/board_variant.h"
#include "sim/line_options.h"
#include "sim/simulated_board.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vrx::sim {

struct CommandLine {
    BoardVariant variant = BoardVariant::Plain;
    std::string linkPath;  // empty: no link
    std::string tracePath; // empty: no trace file
    LineOptions line;
    std::optional<std::array<uint8_t, 2>> errorFlags; // VRX529, VRX526
    std::optional<std::array<uint8_t, 2>> loadValues; // VRX529, VRX526
    std::optional<uint16_t> voltageRaw;
    std::optional<uint16_t> potentiometerRaw;
    std::optional<uint8_t> modeByte;
    std::optional<std::array<int32_t, 2>> referenceSwitches; // left at or below, right at or above
    int clockMhz = kDefaultClockMhz; // the board's clock, which times the motion
    bool help = false;
    bool version = false;
};

// What --version prints: the version and the licences.
std::string VersionText();

struct CommandLineResult {
    std::optional<CommandLine> options; // empty on error
    std::string error;                  // one line, without the program name
};

// `args` without the program name.
CommandLineResult ParseCommandLine(std::span<const std::string_view> args);
std::string UsageText();

// Puts the clock, the pinned values and the switch positions of the command line into the board.
void ApplyToBoard(const CommandLine& options, SimulatedBoard& board);

} // namespace vrx::sim
