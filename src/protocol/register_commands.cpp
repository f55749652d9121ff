#include "protocol/register_commands.h"

#include "chip/register_names.h"
#include "protocol/command_errors.h"
#include "protocol/field_text.h"
#include "protocol/pass_watch.h"
#include "protocol/required_answer.h"
#include "protocol/unit_values.h"

#include <algorithm>

namespace vrx {

namespace {

const RegisterDef& NamedRegister(const std::string& name) {
    const RegisterDef* reg = FindRegister(name);
    if (reg == nullptr) {
        throw UsageError("no register \"" + name + "\" (vrx630ctl --help lists them)");
    }
    return *reg;
}

int MotorOf(const RegisterDef& reg, std::optional<int> motor, const OptionStyle& style) {
    if (reg.unit == GlobalUnit) {
        if (motor) {
            throw UsageError(std::string(reg.name) + " is a global register: no " +
                             style.Option("motor"));
        }
        return 0;
    }
    return motor.value_or(0);
}

NamedValues Heading(const RegisterDef& reg, int motor) {
    NamedValues items = {Text("register", RegisterTitle(reg))};
    if (reg.unit != GlobalUnit) {
        items.push_back(Number("motor", motor + 1));
    }
    return items;
}

std::string TelegramText(const Telegram& t) {
    return Hex(t.b0, 2) + " " + Hex(t.b1, 2) + " " + Hex(t.b2, 2) + " " + Hex(t.b3, 2);
}

// The register of a write, the value of each of its write fields that was given, and the bits
// of its bit lists that were given one by one.
struct Assignments {
    const RegisterDef* reg = nullptr;
    std::vector<std::optional<int32_t>> given;
    std::vector<uint32_t> setBits;
    std::vector<uint32_t> clearBits;

    // The value the write gives field `i`, which holds `current` otherwise.
    int32_t Value(size_t i, int32_t current) const {
        return int32_t((uint32_t(given[i].value_or(current)) & ~clearBits[i]) | setBits[i]);
    }
};

// A bit of one of the register's bit lists by its name, NAME=0 or NAME=1; false for no such bit.
bool AssignBit(Assignments& a, const std::string& name, const std::string& value) {
    const RegisterDef& reg = *a.reg;
    for (size_t f = 0; f < reg.writeFields.size(); ++f) {
        const auto names = BitNames(reg.writeFields[f]);
        for (size_t bit = 0; bit < names.size(); ++bit) {
            if (NormalName(names[bit]) != NormalName(name)) {
                continue;
            }
            int64_t on = 0;
            const std::string problem = NumberProblem(value, 0, 1, on);
            if (!problem.empty()) {
                throw UsageError(Identifier(names[bit]) + ": " + problem);
            }
            (on ? a.setBits : a.clearBits)[f] |= 1u << bit;
            return true;
        }
    }
    return false;
}

Assignments ParseAssignments(std::vector<std::string> words, bool force,
                             const std::string& forceFlag) {
    // The register may be left out when the first assignment names one of its fields.
    const std::string first = words.front();
    const bool named = first.find('=') == std::string::npos;
    Assignments a;
    a.reg = &NamedRegister(named ? first : first.substr(0, first.find('=')));
    const RegisterDef& reg = *a.reg;
    if (named) {
        words.erase(words.begin());
    }
    if (!reg.writable) {
        throw UsageError(std::string(reg.name) + " cannot be written");
    }
    if (words.empty()) {
        throw UsageError("set " + first + " needs FIELD=VALUE for the fields to change");
    }
    a.given.resize(reg.writeFields.size());
    a.setBits.resize(reg.writeFields.size());
    a.clearBits.resize(reg.writeFields.size());
    for (const std::string& word : words) {
        const size_t equals = word.find('=');
        std::string name = equals == std::string::npos ? std::string() : word.substr(0, equals);
        const std::string value = equals == std::string::npos ? word : word.substr(equals + 1);
        if (reg.writeFields.empty()) {
            // Written only with data 0 (X_LATCHED resets, the low word latches both words).
            if ((name.empty() || NormalName(name) == NormalName(reg.name)) && value == "0" &&
                words.size() == 1) {
                continue;
            }
            throw UsageError(Identifier(reg.name) + " is written only as " + Identifier(reg.name) +
                             "=0");
        }
        if (name.empty() && reg.writeFields.size() == 1) {
            name = FieldName(reg, reg.writeFields[0]); // a single value may stand alone
        }
        const auto field = FindField(reg, reg.writeFields, name);
        if (!field && AssignBit(a, name, value)) {
            continue;
        }
        if (!field) {
            throw UsageError(std::string(reg.name) + " has no field \"" + name + "\"");
        }
        a.given[*field] = ParseFieldValue(reg, reg.writeFields[*field], value, force, forceFlag);
    }
    return a;
}

} // namespace

NamedValues GetRegister(BoardSession& board, const std::string& name, std::optional<int> motor,
                        const OptionStyle& style, int clockMhz) {
    const RegisterDef& reg = NamedRegister(name);
    const int m = MotorOf(reg, motor, style);
    if (!reg.readable) {
        throw UsageError(std::string(reg.name) + " cannot be read");
    }
    const Answer a = RequiredAnswer(board, ReadTelegram(reg, m));
    NamedValues items = Heading(reg, m);
    items.push_back(Text("data", Hex(a.Value(), 6)));
    for (const Field& field : reg.readFields) {
        items.push_back(FieldValue(reg, field, DecodeField(field, a.Value())));
    }
    if (UnitKindOf(reg)) {
        // What the value means: the bits the chip holds, not all it answered with.
        const Field& field = reg.readFields.front();
        const int32_t raw = HeldValue(field, DecodeField(field, a.Value()));
        items.push_back(PhysicalValue(reg, raw, ReadUnits(board, m, clockMhz)));
    }
    return items;
}

NamedValues SetRegister(BoardSession& board, std::vector<std::string> words,
                        std::optional<int> motor, const OptionStyle& style, bool force) {
    // Everything is checked before anything is sent.
    const Assignments a = ParseAssignments(std::move(words), force, style.Flag("force"));
    const RegisterDef& reg = *a.reg;
    const int m = MotorOf(reg, motor, style);
    // Fields not named keep the value the register holds now: read and rewritten as one
    // sequence, so another thread's write between them is not undone.
    const LineHold hold = board.Hold();
    std::vector<int32_t> values(reg.writeFields.size(), 0);
    const bool unnamed = std::any_of(a.given.begin(), a.given.end(), [](auto& g) { return !g; });
    if (unnamed && reg.readable) {
        const Answer now = RequiredAnswer(board, ReadTelegram(reg, m));
        for (size_t i = 0; i < values.size(); ++i) {
            values[i] = WriteFieldAsRead(reg, i, now.Value());
        }
    }
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = a.Value(i, values[i]);
    }
    const Telegram t = WriteTelegram(reg, m, values);
    RequiredAnswer(board, t);
    NamedValues items = Heading(reg, m);
    items.push_back(Text("telegram", TelegramText(t)));
    for (size_t i = 0; i < values.size(); ++i) {
        items.push_back(FieldValue(reg, reg.writeFields[i], values[i]));
    }
    return items;
}

NamedValues RawTelegram(BoardSession& board, const Telegram& t) {
    const Answer a = RequiredAnswer(board, t);
    return {Text("telegram", TelegramText(t)),
            Text("answer", TelegramText({a.a0, a.a1, a.a2, a.a3}))};
}

void ReadStatus(BoardSession& board, int clockMhz,
                const std::function<void(const NamedValues&)>& emit) {
    uint8_t status = 0;
    for (int motor = 0; motor < kMotorCount; ++motor) {
        const auto values = ReadMotorPass(board, motor, status);
        NamedValues items = {Number("motor", motor + 1)};
        for (size_t k = 0; k < kPassRegisters.size(); ++k) {
            items.push_back(Number(std::string(Register(kPassRegisters[k]).name), values[k]));
        }
        // Read after the pass: the status bits stay those of the pass's last reply.
        const PhysicalUnits units = ReadUnits(board, motor, clockMhz);
        for (size_t k = 0; k < kPassRegisters.size(); ++k) {
            const RegisterDef& reg = Register(kPassRegisters[k]);
            if (UnitKindOf(reg)) {
                items.push_back(PhysicalValue(reg, values[k], units));
            }
        }
        emit(items);
    }
    NamedValues bits;
    for (int bit = 0; bit < 8; ++bit) {
        bits.push_back(Flag(Identifier(kStatusBitLabels[size_t(bit)]), (status >> bit) & 1));
    }
    emit(bits);
}

} // namespace vrx
