#include "ctl/ctl_commands.h"

#include "chip/register_names.h"
#include "chip/value_format.h"
#include "ctl/ctl_errors.h"
#include "ctl/ctl_values.h"
#include "ctl/stop_request.h"
#include "protocol/motor_sequences.h"
#include "protocol/pass_row.h"

#include <algorithm>
#include <chrono>

namespace vrx::ctl {

namespace {

const RegisterDef& NamedRegister(const std::string& name) {
    const RegisterDef* reg = FindRegister(name);
    if (reg == nullptr) {
        throw UsageError("no register \"" + name + "\" (vrx630ctl --help lists them)");
    }
    return *reg;
}

int MotorOf(const Invocation& inv, const RegisterDef& reg) {
    if (reg.unit == GlobalUnit) {
        if (inv.motor) {
            throw UsageError(std::string(reg.name) + " is a global register: no --motor");
        }
        return 0;
    }
    return inv.motor.value_or(0);
}

std::vector<Item> Heading(const RegisterDef& reg, int motor) {
    std::vector<Item> items = {Text("register", RegisterTitle(reg))};
    if (reg.unit != GlobalUnit) {
        items.push_back(Number("motor", motor + 1));
    }
    return items;
}

std::string TelegramText(const Telegram& t) {
    return Hex(t.b0, 2) + " " + Hex(t.b1, 2) + " " + Hex(t.b2, 2) + " " + Hex(t.b3, 2);
}

// The register of `set` and the value of each of its write fields that was given.
struct Assignments {
    const RegisterDef* reg = nullptr;
    std::vector<std::optional<int32_t>> given;
};

Assignments ParseAssignments(std::vector<std::string> words) {
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
        if (!field) {
            throw UsageError(std::string(reg.name) + " has no field \"" + name + "\"");
        }
        a.given[*field] = ParseFieldValue(reg, reg.writeFields[*field], value);
    }
    return a;
}

} // namespace

void NoAnswer(const std::string& consequence) {
    if (StopRequested()) {
        throw Interrupted();
    }
    throw BoardError("the board does not respond" + consequence);
}

void EndedPartway(bool interrupted, int written, int planned, const std::string& units,
                  const std::string& left) {
    throw Unfinished(std::string(interrupted ? "interrupted" : "the board does not respond") +
                         " after " + std::to_string(written) + " of " + std::to_string(planned) +
                         " " + units + "; " + left,
                     written, planned);
}

Answer Need(const std::optional<Answer>& answer) {
    if (!answer) {
        NoAnswer();
    }
    return *answer;
}

int32_t ReadValue(BoardSession& board, MotorReg r, int motor) {
    const RegisterDef& reg = Register(r);
    return SignExtend(Need(board.Transfer(ReadTelegram(reg, motor))).Value(), reg.displaySignBit);
}

TransferFunction Transfers(BoardSession& board) {
    return [&board](const Telegram& t) { return board.Transfer(t); };
}

void Identify(BoardSession& board, const Identification& id, Output& out) {
    static const char* const kKinds[] = {"VRX630 board", "ZEPHA board", "Balsen board",
                                         "VRX516 kit",   "VRX52x kit",  "VRX880 kit"};
    std::string bytes;
    std::string text;
    for (uint8_t b : id) {
        bytes += (bytes.empty() ? "" : " ") + Hex(b, 2);
        text += (b >= 0x20 && b < 0x7F) ? char(b) : '.';
    }
    out.Emit({Text("board", kKinds[int(board.Kind())]), Text("identification", bytes),
              Text("text", text)});
}

void Status(BoardSession& board, Output& out) {
    uint8_t status = 0;
    for (int motor = 0; motor < kMotorCount; ++motor) {
        std::vector<Item> items = {Number("motor", motor + 1)};
        for (MotorReg r :
             {MotorReg::XActual, MotorReg::VActual, MotorReg::AActual, MotorReg::VTarget}) {
            const RegisterDef& reg = Register(r);
            const Answer a = Need(board.Transfer(ReadTelegram(reg, motor)));
            status = a.Status();
            items.push_back(
                Number(std::string(reg.name), SignExtend(a.Value(), reg.displaySignBit)));
        }
        out.Emit(items);
    }
    std::vector<Item> bits;
    for (int bit = 0; bit < 8; ++bit) {
        bits.push_back(Flag(Identifier(kStatusBitLabels[size_t(bit)]), (status >> bit) & 1));
    }
    out.Emit(bits);
}

void Get(BoardSession& board, const Invocation& inv, Output& out) {
    const RegisterDef& reg = NamedRegister(inv.words.front());
    const int motor = MotorOf(inv, reg);
    if (!reg.readable) {
        throw UsageError(std::string(reg.name) + " cannot be read");
    }
    const Answer a = Need(board.Transfer(ReadTelegram(reg, motor)));
    std::vector<Item> items = Heading(reg, motor);
    items.push_back(Text("data", Hex(a.Value(), 6)));
    for (const Field& field : reg.readFields) {
        items.push_back(FieldItem(reg, field, DecodeField(field, a.Value())));
    }
    out.Emit(items);
}

void Set(BoardSession& board, const Invocation& inv, Output& out) {
    // Everything is checked before anything is sent.
    const Assignments a = ParseAssignments(inv.words);
    const RegisterDef& reg = *a.reg;
    const int motor = MotorOf(inv, reg);
    // Fields not named keep the value the register holds now.
    std::vector<int32_t> values(reg.writeFields.size(), 0);
    const bool unnamed = std::any_of(a.given.begin(), a.given.end(), [](auto& g) { return !g; });
    if (unnamed && reg.readable) {
        const Answer now = Need(board.Transfer(ReadTelegram(reg, motor)));
        for (size_t i = 0; i < values.size(); ++i) {
            values[i] = WriteFieldAsRead(reg, i, now.Value());
        }
    }
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = a.given[i].value_or(values[i]);
    }
    const Telegram t = WriteTelegram(reg, motor, values);
    Need(board.Transfer(t));
    std::vector<Item> items = Heading(reg, motor);
    items.push_back(Text("telegram", TelegramText(t)));
    for (size_t i = 0; i < values.size(); ++i) {
        items.push_back(FieldItem(reg, reg.writeFields[i], values[i]));
    }
    out.Emit(items);
}

void Stop(BoardSession& board, const Invocation& inv, Output& out) {
    const std::vector<int> motors =
        inv.motor ? std::vector<int>{*inv.motor} : std::vector<int>{0, 1, 2};
    for (int motor : motors) {
        if (!StopSequence(Transfers(board), motor)) {
            NoAnswer();
        }
        out.Emit({Number("stopped", motor + 1)});
    }
}

void Raw(BoardSession& board, const Invocation& inv, Output& out) {
    const Telegram t{inv.raw[0], inv.raw[1], inv.raw[2], inv.raw[3]};
    const Answer a = Need(board.Transfer(t));
    out.Emit({Text("telegram", TelegramText(t)),
              Text("answer", TelegramText({a.a0, a.a1, a.a2, a.a3}))});
}

void Watch(BoardSession& board, const Invocation& inv, Output& out) {
    // The program's recorder writes the same header and rows.
    const std::string header = PassCsvHeader();
    std::vector<std::string> names;
    for (size_t start = 0, comma = 0; comma != std::string::npos; start = comma + 1) {
        comma = header.find(',', start);
        names.push_back(header.substr(start, comma - start));
    }
    out.Line(header);
    const MotorReg shown[] = {MotorReg::XActual, MotorReg::VActual, MotorReg::AActual,
                              MotorReg::VTarget};
    const auto start = std::chrono::steady_clock::now();
    // Ctrl+C is the way to end a watch without a count, and a reader that has read enough closes
    // stdout: either ends the watch, not as a failure.
    try {
        for (int sample = 0; inv.count == 0 || sample < inv.count; ++sample) {
            // With --interval 0 the next pass starts as soon as the last reply is in.
            if (out.Closed() || !WaitUnlessStopped(start + std::chrono::milliseconds(
                                                               int64_t(sample) * inv.intervalMs))) {
                return;
            }
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count();
            PassRow row;
            for (int motor = 0; motor < kMotorCount; ++motor) {
                for (size_t k = 0; k < std::size(shown); ++k) {
                    const RegisterDef& reg = Register(shown[k]);
                    const Answer a = Need(board.Transfer(ReadTelegram(reg, motor)));
                    row.values[size_t(motor) * std::size(shown) + k] =
                        SignExtend(a.Value(), reg.displaySignBit);
                    row.status = a.Status();
                }
            }
            if (out.Json()) {
                // Named as the header names the columns.
                std::vector<Item> items = {Number(names.front(), elapsed)};
                for (size_t i = 0; i < row.values.size(); ++i) {
                    items.push_back(Number(names[i + 1], row.values[i]));
                }
                items.push_back(Number(names.back(), row.status));
                out.Emit(items);
            } else {
                out.Line(PassCsvLine(uint32_t(elapsed), row));
            }
        }
    } catch (const Interrupted&) {
    }
}

void Ports(const std::vector<SerialPortInfo>& ports, Output& out) {
    for (const SerialPortInfo& port : ports) {
        if (out.Json()) {
            out.Emit({Text("port", port.port), Text("device", port.device),
                      Text("description", port.description)});
        } else {
            std::string line = port.port + "  " + port.device;
            if (!port.description.empty()) {
                line += "  " + port.description;
            }
            out.Line(line);
        }
    }
}

} // namespace vrx::ctl
