#pragma once
// The commands of vrx630ctl on a detected board: each turns its arguments into the telegrams
// the program's windows send for the same thing, through the shared protocol units, and emits
// its result.

#include "ctl/ctl_args.h"
#include "ctl/ctl_output.h"
#include "protocol/board_session.h"

#include <atomic>
#include <string>
#include <vector>

namespace vrx::ctl {

// Set by SIGINT or SIGTERM: watch and --wait end at the next step.
extern std::atomic<bool> g_stop;

void Identify(BoardSession& board, const Identification& id, Output& out);
void Status(BoardSession& board, Output& out);
void Get(BoardSession& board, const CommandArgs& args, Output& out);
void Set(BoardSession& board, const CommandArgs& args, Output& out);
void Move(BoardSession& board, const CommandArgs& args, Output& out);
void Stop(BoardSession& board, const CommandArgs& args, Output& out);
void Ram(BoardSession* board, const CommandArgs& args, Output& out);
void Raw(BoardSession& board, const CommandArgs& args, Output& out);
void Watch(BoardSession& board, const CommandArgs& args, Output& out);

// Whether `ram` needs the board for these arguments (a shape that is only printed does not).
bool RamNeedsBoard(const CommandArgs& args);

} // namespace vrx::ctl
