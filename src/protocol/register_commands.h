#pragma once
// Registers by name, as text interfaces use them: a read decoded field by field, a write that
// keeps the fields it is not given as the chip holds them, and the motors' values with the
// status bits. Names and values are checked before anything is sent. Velocities and
// accelerations come in steps/s and steps/s² too, at the board's clock `clockMhz` and the
// motor's dividers, which are read for them.

#include "protocol/board_session.h"
#include "protocol/named_values.h"
#include "protocol/option_style.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vrx {

// The register `name`, or the one holding the field `name`, of `motor` (0..2; nothing is motor 1
// of a motor register; a global register takes none): its data and every field, a motion
// register's value then in its physical unit (V_MAX_STEPS_S).
NamedValues GetRegister(BoardSession& board, const std::string& name, std::optional<int> motor,
                        const OptionStyle& style, int clockMhz);
// `words`: the register, then FIELD=VALUE for each field to change (a single value may stand
// alone); the register may be left out when the first FIELD names one of its fields. Returns
// the telegram sent and every field's value in it.
// With `force` a value outside the range the program advises is written if the chip holds it.
NamedValues SetRegister(BoardSession& board, std::vector<std::string> words,
                        std::optional<int> motor, const OptionStyle& style, bool force = false);
// One telegram as given and the board's answer, each as four hexadecimal bytes.
NamedValues RawTelegram(BoardSession& board, const Telegram& t);
// Each motor's X_ACTUAL, V_ACTUAL, A_ACTUAL and V_TARGET as it is read, then V_ACTUAL_STEPS_S,
// A_ACTUAL_STEPS_S2 and V_TARGET_STEPS_S; then the status bits by name, each list handed on as
// it is complete.
void ReadStatus(BoardSession& board, int clockMhz,
                const std::function<void(const NamedValues&)>& emit);

} // namespace vrx
