#include "protocol/pass_watch.h"

#include "chip/quantity_format.h"
#include "chip/value_format.h"
#include "protocol/command_errors.h"
#include "protocol/required_answer.h"
#include "protocol/unit_values.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vrx {

std::array<int32_t, 4> ReadMotorPass(BoardSession& board, int motor, uint8_t& status) {
    std::array<int32_t, 4> values{};
    for (size_t k = 0; k < kPassRegisters.size(); ++k) {
        const RegisterDef& reg = Register(kPassRegisters[k]);
        const Answer a = RequiredAnswer(board, ReadTelegram(reg, motor));
        values[k] = SignExtend(a.Value(), reg.displaySignBit);
        status = a.Status();
    }
    return values;
}

PassRow ReadPass(BoardSession& board) {
    PassRow row;
    for (int motor = 0; motor < kMotorCount; ++motor) {
        const auto values = ReadMotorPass(board, motor, row.status);
        std::copy(values.begin(), values.end(), row.values.begin() + motor * 4);
    }
    return row;
}

NamedValues PassValues(int64_t timeMs, const PassRow& row, const MotionUnits* units) {
    // Named as the recorder's header names the columns.
    static const std::vector<std::string> names = [] {
        const std::string header = PassCsvHeader(true);
        std::vector<std::string> split;
        for (size_t start = 0, comma = 0; comma != std::string::npos; start = comma + 1) {
            comma = header.find(',', start);
            split.push_back(header.substr(start, comma - start));
        }
        return split;
    }();
    NamedValues items = {Number(names.front(), timeMs)};
    for (size_t i = 0; i < row.values.size(); ++i) {
        items.push_back(Number(names[i + 1], row.values[i]));
    }
    size_t column = row.values.size() + 1;
    items.push_back(Number(names[column++], row.status));
    if (units == nullptr) {
        return items;
    }
    const auto rate = [&](StepRate v) {
        return Measured(names[column++], v.perSecond, FormatStepRate(v));
    };
    for (const PassMotorUnits& m : PassInUnits(row, *units)) {
        items.push_back(rate(m.vActual));
        items.push_back(Measured(names[column++], m.aActual.perSecondSquared,
                                 FormatStepAcceleration(m.aActual)));
        items.push_back(rate(m.vTarget));
    }
    return items;
}

PassWatch::PassWatch(BoardSession& board, int intervalMs, int count,
                     std::optional<int> unitsClockMhz)
    : board_(board), intervalMs_(intervalMs), count_(count),
      units_(unitsClockMhz ? std::optional(ReadMotionUnits(board, *unitsClockMhz)) : std::nullopt),
      start_(std::chrono::steady_clock::now()) {}

std::optional<TimedPassRow> PassWatch::Next() {
    if (count_ != 0 && sample_ >= count_) {
        return std::nullopt;
    }
    // With an interval of 0 the next pass starts as soon as the last reply is in.
    if (!board_.Pause(start_ + std::chrono::milliseconds(int64_t(sample_) * intervalMs_))) {
        throw Interrupted();
    }
    ++sample_;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start_)
                             .count();
    return TimedPassRow{uint32_t(elapsed), ReadPass(board_)};
}

} // namespace vrx
