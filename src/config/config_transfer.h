#pragma once
// A configuration between chip and program, over a transfer function that yields the answer or
// nothing when the board did not answer: reading every configuration register and the RAM,
// and applying a file (read, compare, write what differs, read back). Everything ends at the
// first telegram the board leaves unanswered.

#include "chip/ram_transfer.h"
#include "config/chip_config.h"

#include <functional>
#include <optional>

namespace vrx {

// Called after each telegram with the number done and the number planned.
using ConfigProgress = std::function<void(int done, int total)>;

// Every configuration register, then the RAM as 64 words; nothing when the board stopped
// answering.
std::optional<ChipConfig> ReadChipConfig(const TransferFunction& transfer,
                                         const ConfigProgress& progress = {});

// What an apply tells on its way, and how it tells a stop request from a board that stopped
// answering. A program that can be stopped lets its transfer function answer nothing once a
// stop is requested, which ends the apply between telegrams.
struct ApplyHooks {
    ConfigProgress progress; // reads and writes alike
    // After each write the board answered, with the differences it put right.
    std::function<void(const std::vector<ConfigDifference>&)> written;
    // Asked when a telegram went unanswered: true when it was a stop request, not the board.
    std::function<bool()> stopRequested;
};

struct ApplyOutcome {
    enum class Stop { None, Reading, Writing, Verifying };
    Stop stoppedAt = Stop::None;             // where the board stopped answering or it was stopped
    bool interrupted = false;                // a stop request ended it, not the board
    std::vector<ConfigDifference> changes;   // chip against file before writing
    int written = 0;                         // telegrams the board answered
    int planned = 0;                         // telegrams to write
    std::vector<ConfigDifference> remaining; // after writing, read back; empty when it matches
    std::optional<ChipConfig> verified;      // the chip as read back, once that read completed
};

// With `dryRun` only reads and compares: `changes` says what a load would write.
ApplyOutcome ApplyConfig(const TransferFunction& transfer, const ChipConfig& file, bool dryRun,
                         const ApplyHooks& hooks = {});

// What stopped an apply, for the user: empty when it went through.
std::string ApplyStopText(const ApplyOutcome& outcome);

} // namespace vrx
