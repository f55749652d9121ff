#include "protocol/required_answer.h"

#include "chip/value_format.h"
#include "protocol/command_errors.h"

namespace vrx {

void Unanswered(const BoardSession& board, const std::string& consequence) {
    if (board.Cancelled()) {
        throw Interrupted();
    }
    throw NoAnswer("the board does not respond" + consequence);
}

void EndedPartway(bool interrupted, int written, int planned, const std::string& units,
                  const std::string& left) {
    throw Unfinished(std::string(interrupted ? "interrupted" : "the board does not respond") +
                         " after " + std::to_string(written) + " of " + std::to_string(planned) +
                         " " + units + "; " + left,
                     written, planned, interrupted);
}

Answer RequiredAnswer(BoardSession& board, const Telegram& t) {
    const std::optional<Answer> answer = board.Transfer(t);
    if (!answer) {
        Unanswered(board);
    }
    return *answer;
}

int32_t ReadValue(BoardSession& board, MotorReg r, int motor) {
    const RegisterDef& reg = Register(r);
    return SignExtend(RequiredAnswer(board, ReadTelegram(reg, motor)).Value(), reg.displaySignBit);
}

TransferFunction Transfers(BoardSession& board) {
    return [&board](const Telegram& t) { return board.Transfer(t); };
}

} // namespace vrx
