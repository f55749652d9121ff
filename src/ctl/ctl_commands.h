#pragma once
// The commands of vrx630ctl on a detected board: each hands its arguments to the shared
// commands, which send the telegrams the program's windows send for the same thing, and
// emits what they return.

#include "ctl/command_files.h"
#include "ctl/ctl_command_line.h"
#include "ctl/ctl_output.h"
#include "protocol/board_identification.h"
#include "protocol/board_session.h"
#include "serial/port_discovery.h"

namespace vrx::ctl {

void Identify(BoardSession& board, const Identification& id, Output& out);
void Status(BoardSession& board, const Invocation& inv, Output& out);
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
// `config export`: needs no board; into --output or printed.
void ExportConfig(const Invocation& inv, CommandFiles& files, Output& out);
// `ram read`, `ram write` and `ram shape`; without a board for a shape that is only printed.
void Ram(BoardSession* board, const Invocation& inv, CommandFiles& files, Output& out);

} // namespace vrx::ctl
