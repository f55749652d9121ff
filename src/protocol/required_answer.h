#pragma once
// The answers a command cannot do without. A telegram the board leaves unanswered ends the
// command with NoAnswer, or with Interrupted when the session's stop request was the cause, so
// every command tells the two apart alike.

#include "chip/ram_transfer.h"
#include "chip/register_map.h"
#include "protocol/board_session.h"

#include <string>

namespace vrx {

// Why an answer did not come: the stop request, or a board that does not answer
// ("the board does not respond", then `consequence`).
[[noreturn]] void Unanswered(const BoardSession& board, const std::string& consequence = "");
// A write that ended after `written` of `planned` `units`, by the stop request or the board;
// `left` says what state it left and what to run next.
[[noreturn]] void EndedPartway(bool interrupted, int written, int planned, const std::string& units,
                               const std::string& left);

Answer RequiredAnswer(BoardSession& board, const Telegram& t);
// The value of a motor register, as the register window shows it.
int32_t ReadValue(BoardSession& board, MotorReg reg, int motor);
// The session's transfers for the units that run over a transfer function.
TransferFunction Transfers(BoardSession& board);

} // namespace vrx
