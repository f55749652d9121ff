#pragma once
// How vrx630ctl fails: each error is one line and ends the command with its exit status.

#include <stdexcept>
#include <string>

namespace vrx::ctl {

constexpr int kExitBoard = 1;
constexpr int kExitUsage = 2;

// What was typed, or a file named, cannot be used: nothing is sent. Status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// The board does not answer, refuses, or does not do what it was told. Status 1.
struct BoardError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Ctrl+C (or SIGTERM, SIGHUP) ended a wait. Status 1, except where it is the way to end a
// command.
struct Interrupted : BoardError {
    Interrupted() : BoardError("interrupted") {}
};
// A write of several telegrams ended partway, by a stop request or the board. Status 1, with
// how far it got.
struct Unfinished : BoardError {
    Unfinished(const std::string& message, int written, int planned)
        : BoardError(message), written(written), planned(planned) {}
    int written;
    int planned;
};

} // namespace vrx::ctl
