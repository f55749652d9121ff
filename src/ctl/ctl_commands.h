#pragma once
// The commands of vrx630ctl on a detected board: each turns its arguments into the telegrams
// the program's windows send for the same thing, through the shared protocol units, and emits
// its result.

#include "chip/ram_transfer.h"
#include "chip/register_map.h"
#include "ctl/command_files.h"
#include "ctl/ctl_command_line.h"
#include "ctl/ctl_output.h"
#include "protocol/board_session.h"
#include "serial/port_discovery.h"

namespace vrx::ctl {

void Identify(BoardSession& board, const Identification& id, Output& out);
void Status(BoardSession& board, Output& out);
void Get(BoardSession& board, const Invocation& inv, Output& out);
void Set(BoardSession& board, const Invocation& inv, Output& out);
void Move(BoardSession& board, const Invocation& inv, Output& out);
void Stop(BoardSession& board, const Invocation& inv, Output& out);
void Raw(BoardSession& board, const Invocation& inv, Output& out);
void Watch(BoardSession& board, const Invocation& inv, Output& out);
// The serial ports present: path, current device and description, one line each.
void Ports(const std::vector<SerialPortInfo>& ports, Output& out);
// `config save`, `config diff` and `config load`, on the files the command names.
void Config(BoardSession& board, const Invocation& inv, CommandFiles& files, Output& out);
// `ram read`, `ram write` and `ram shape`; without a board for a shape that is only printed.
void Ram(BoardSession* board, const Invocation& inv, CommandFiles& files, Output& out);

// Why an answer did not come: Ctrl+C, or a board that does not answer (`consequence` follows).
[[noreturn]] void NoAnswer(const std::string& consequence = "");
// A write that ended after `written` of `planned` `units`, by Ctrl+C or the board; `left` says
// what state it left and what to run next.
[[noreturn]] void EndedPartway(bool interrupted, int written, int planned, const std::string& units,
                               const std::string& left);
Answer Need(const std::optional<Answer>& answer);
// The value of a motor register, as the register window shows it.
int32_t ReadValue(BoardSession& board, MotorReg reg, int motor);
TransferFunction Transfers(BoardSession& board);

} // namespace vrx::ctl
