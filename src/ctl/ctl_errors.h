#pragma once
// How vrx630ctl fails: each error is one line and ends the command with its exit status. The
// errors are those of the shared commands:
//   UsageError  what was typed, or a file named, cannot be used: nothing is sent. Status 2.
//   BoardError  the board does not answer, refuses, or does not do what it was told. Status 1.
//   Interrupted Ctrl+C (or SIGTERM, SIGHUP) ended a wait. Status 1, except where it is the way
//               to end a command.
//   Unfinished  a write of several telegrams ended partway. Status 1, with how far it got.

#include "protocol/command_errors.h"

namespace vrx::ctl {

constexpr int kExitBoard = 1;
constexpr int kExitUsage = 2;

using vrx::BoardError;
using vrx::Interrupted;
using vrx::Unfinished;
using vrx::UsageError;

} // namespace vrx::ctl
