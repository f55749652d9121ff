#include "ctl/ctl_commands.h"

#include "chip/ram_file.h"
#include "chip/ram_transfer.h"
#include "chip/register_names.h"
#include "chip/value_format.h"
#include "chip/wave_shape.h"
#include "protocol/motor_sequences.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace vrx::ctl {

std::atomic<bool> g_stop{false};

namespace {

constexpr int kWaitPollMs = 20;

Answer Need(const std::optional<Answer>& answer) {
    if (!answer) {
        throw BoardError("the board does not respond");
    }
    return *answer;
}

TransferFunction Transfers(BoardSession& board) {
    return [&board](const Telegram& t) { return board.Transfer(t); };
}

int MotorOption(const CommandArgs& args, const RegisterDef& reg) {
    const auto motor = args.Value("--motor");
    if (reg.unit == GlobalUnit) {
        if (motor) {
            throw UsageError(std::string(reg.name) + " is a global register: no --motor");
        }
        return 0;
    }
    return motor ? ParseMotor(*motor) : 0;
}

const RegisterDef& NamedRegister(const std::string& name) {
    const RegisterDef* reg = FindRegister(name);
    if (reg == nullptr) {
        throw UsageError("no register " + name + " (vrx630ctl --help lists them)");
    }
    return *reg;
}

std::vector<Item> Heading(const RegisterDef& reg, int motor) {
    std::vector<Item> items = {Text("register", std::string(reg.name))};
    if (reg.unit != GlobalUnit) {
        items.push_back(Number("motor", motor + 1));
    }
    return items;
}

// A field's value by its name; hexadecimal for the registers shown that way.
Item FieldItem(const RegisterDef& reg, const Field& field, int32_t value) {
    const std::string name = FieldName(reg, field);
    return reg.displaySignBit < 0 ? Text(name, Hex(uint32_t(value), (field.width + 3) / 4))
                                  : Number(name, value);
}

// Every field of an answer.
void AddFields(std::vector<Item>& items, const RegisterDef& reg, uint32_t data) {
    for (const Field& field : reg.readFields) {
        items.push_back(FieldItem(reg, field, DecodeField(field, data)));
    }
}

std::string TelegramText(const Telegram& t) {
    return Hex(t.b0, 2) + " " + Hex(t.b1, 2) + " " + Hex(t.b2, 2) + " " + Hex(t.b3, 2);
}

bool Stopped() {
    return g_stop.load();
}

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Written beside the file and renamed over it, so a failed save keeps the old file.
void SaveFile(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(text.data(), std::streamsize(text.size()));
        file.flush();
        if (!file) {
            std::filesystem::remove(temporary);
            throw BoardError("cannot write " + path);
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary);
        throw BoardError("cannot write " + path + ": " + error.message());
    }
}

RamTable LoadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw UsageError("cannot open " + path);
    }
    RamTable table;
    LoadRamFile([&file] { return file.get(); }, table);
    if (file.bad()) {
        throw UsageError("cannot read " + path);
    }
    return table;
}

} // namespace

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
        bits.push_back(Flag(std::string(kStatusBitLabels[size_t(bit)]), (status >> bit) & 1));
    }
    out.Emit(bits);
}

void Get(BoardSession& board, const CommandArgs& args, Output& out) {
    args.ExpectPositional(1, 1, "get REGISTER [--motor N]");
    const RegisterDef& reg = NamedRegister(args.Positional()[0]);
    const int motor = MotorOption(args, reg);
    if (!reg.readable) {
        throw UsageError(std::string(reg.name) + " cannot be read");
    }
    const Answer a = Need(board.Transfer(ReadTelegram(reg, motor)));
    std::vector<Item> items = Heading(reg, motor);
    items.push_back(Text("data", Hex(a.Value(), 6)));
    AddFields(items, reg, a.Value());
    out.Emit(items);
}

void Set(BoardSession& board, const CommandArgs& args, Output& out) {
    if (args.Positional().empty()) {
        throw UsageError("usage: vrx630ctl set REGISTER FIELD=VALUE ... [--motor N]");
    }
    // The register may be left out when the first assignment names one of its fields.
    std::vector<std::string> assignments = args.Positional();
    const std::string first = assignments[0];
    const bool named = first.find('=') == std::string::npos;
    const RegisterDef& reg = NamedRegister(named ? first : first.substr(0, first.find('=')));
    if (named) {
        assignments.erase(assignments.begin());
    }
    const int motor = MotorOption(args, reg);
    if (!reg.writable) {
        throw UsageError(std::string(reg.name) + " cannot be written");
    }
    // Everything is checked before anything is sent.
    std::vector<std::optional<int32_t>> given(reg.writeFields.size());
    for (const std::string& assignment : assignments) {
        const size_t equals = assignment.find('=');
        std::string name =
            equals == std::string::npos ? std::string() : assignment.substr(0, equals);
        const std::string value =
            equals == std::string::npos ? assignment : assignment.substr(equals + 1);
        if (name.empty() && reg.writeFields.size() == 1) {
            name = FieldName(reg, reg.writeFields[0]); // a single value may stand alone
        }
        const auto field = FindField(reg, reg.writeFields, name);
        if (!field) {
            throw UsageError(std::string(reg.name) + " has no field \"" + name + "\"");
        }
        const Field& f = reg.writeFields[*field];
        given[*field] = ParseInt(value, FieldName(reg, f), f.min, f.max);
    }
    // Fields not named keep the value the register holds now.
    std::vector<int32_t> values(reg.writeFields.size(), 0);
    const bool unnamed = std::any_of(given.begin(), given.end(), [](auto& g) { return !g; });
    if (unnamed && reg.readable) {
        const Answer now = Need(board.Transfer(ReadTelegram(reg, motor)));
        for (size_t i = 0; i < values.size(); ++i) {
            const auto read = FindField(reg, reg.readFields, FieldName(reg, reg.writeFields[i]));
            if (read) {
                values[i] = DecodeField(reg.readFields[*read], now.Value());
            }
        }
    }
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = given[i].value_or(values[i]);
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

void Move(BoardSession& board, const CommandArgs& args, Output& out) {
    args.ExpectPositional(1, 1,
                          "move N --mode MODE [--target X] [--velocity V] [--vmin V] [--vmax V] "
                          "[--amax A] [--wait] [--force]");
    const int motor = ParseMotor(args.Positional()[0]);
    const auto modeName = args.Value("--mode");
    if (!modeName) {
        throw UsageError("move needs --mode RAMP, SOFTMODE, VELOCITY or HOLD");
    }
    MotionRequest r;
    r.rampMode = -1;
    for (size_t m = 0; m < kRampModeNames.size(); ++m) {
        if (NormalName(*modeName) == kRampModeNames[m]) {
            r.rampMode = int(m);
        }
    }
    if (r.rampMode < 0) {
        throw UsageError("no ramp mode " + *modeName + " (RAMP, SOFTMODE, VELOCITY, HOLD)");
    }
    const auto number = [&](const char* option, ValueRange range, int fallback) {
        const auto text = args.Value(option);
        return text ? ParseInt(*text, option + 2, range.min, range.max) : fallback;
    };
    r.xTarget = number("--target", kTargetPositionRange, 0);
    r.vMin = number("--vmin", kVelocityLimitRange, 0);
    r.vMax = number("--vmax", kVelocityLimitRange, 0);
    r.aMax = number("--amax", kAccelerationRange, 0);
    // --velocity is the target velocity, or in HOLD the velocity held.
    r.vTarget = number("--velocity",
                       r.rampMode == RampModeHold ? kActualVelocityRange : kTargetVelocityRange, 0);
    r.vActual = r.vTarget;

    int refused = 0;
    const SequenceResult result = GoSequence(Transfers(board), motor, r, [&](int minimum) {
        refused = minimum;
        return args.Flag("--force") ? MinimumChoice::Continue : MinimumChoice::Cancel;
    });
    if (result == SequenceResult::Cancelled) {
        throw BoardError("A_MAX " + std::to_string(r.aMax) +
                         " is below the smallest advisable value " + std::to_string(refused) +
                         " for this motor's dividers; --force goes on all the same");
    }
    if (result == SequenceResult::Unanswered) {
        throw BoardError("the board does not respond");
    }
    std::vector<Item> items = {Number("motor", motor + 1),
                               Text("mode", std::string(kRampModeNames[size_t(r.rampMode)]))};
    const bool toTarget = r.rampMode == RampModeRamp || r.rampMode == RampModeSoft;
    const bool toStand = r.rampMode == RampModeVelocity && r.vTarget == 0;
    if (args.Flag("--wait") && (toTarget || toStand)) {
        // Arrived when the status byte says X_ACTUAL = X_TARGET; stands when V_ACTUAL is 0.
        const RegisterDef& watched = Register(toTarget ? MotorReg::XActual : MotorReg::VActual);
        for (;;) {
            const Answer a = Need(board.Transfer(ReadTelegram(watched, motor)));
            if (toTarget ? (a.Status() & StatusTargetReached(motor)) != 0
                         : SignExtend(a.Value(), watched.displaySignBit) == 0) {
                items.push_back(Number(std::string(watched.name),
                                       SignExtend(a.Value(), watched.displaySignBit)));
                break;
            }
            if (Stopped()) {
                throw BoardError("interrupted before the motor arrived");
            }
            SleepMs(kWaitPollMs);
        }
    }
    out.Emit(items);
}

void Stop(BoardSession& board, const CommandArgs& args, Output& out) {
    args.ExpectPositional(1, 1, "stop N|all");
    const std::string& which = args.Positional()[0];
    std::vector<int> motors;
    if (NormalName(which) == "ALL") {
        motors = {0, 1, 2};
    } else {
        motors = {ParseMotor(which)};
    }
    for (int motor : motors) {
        if (!StopSequence(Transfers(board), motor)) {
            throw BoardError("the board does not respond");
        }
        out.Emit({Number("stopped", motor + 1)});
    }
}

bool RamNeedsBoard(const CommandArgs& args) {
    const auto& p = args.Positional();
    return p.empty() || p[0] != "shape" || args.Flag("--write") || args.Value("--output");
}

void Ram(BoardSession* board, const CommandArgs& args, Output& out) {
    const auto& p = args.Positional();
    const char* usage = "ram read FILE.630 | ram write FILE.630 | ram shape SIGMA [--write] "
                        "[--output FILE.630]";
    args.ExpectPositional(2, 2, usage);
    if (p[0] == "read") {
        RamTable table;
        if (ReadRamWords(table, Transfers(*board)) < kRamWords) {
            throw BoardError("the board does not respond; the RAM was not read completely");
        }
        SaveFile(p[1], RamFileText(table));
        out.Emit({Text("read", p[1]), Number("words", kRamWords)});
    } else if (p[0] == "write") {
        const RamTable table = LoadFile(p[1]);
        if (!RamTableComplete(table)) {
            throw UsageError("all values in the RAM table must be set to two digit hexadecimal "
                             "values first: " +
                             p[1]);
        }
        if (WriteRamWords(table, Transfers(*board)) < kRamWords) {
            throw BoardError("the board does not respond; the RAM was not written completely");
        }
        out.Emit({Text("written", p[1]), Number("words", kRamWords)});
    } else if (p[0] == "shape") {
        const double sigma = ParseDouble(p[1], "sigma");
        const auto shape = CalcShapeTable(sigma);
        RamTable table;
        std::string entries;
        for (int i = 0; i < kShapeEntries; ++i) {
            table.SetByte(kShapeFirstByte + i, shape[size_t(i)]);
            entries += (i ? " " : "") + Hex(shape[size_t(i)], 2);
        }
        const int firstWord = kShapeFirstByte / 2;
        std::vector<Item> items = {Text("sigma", p[1]), Text("shape", entries)};
        if (const auto output = args.Value("--output")) {
            // The file holds the whole RAM: the configuration half comes from the chip.
            if (ReadRamWords(table, Transfers(*board), 0, firstWord - 1) < firstWord) {
                throw BoardError("the board does not respond; the RAM was not read completely");
            }
            SaveFile(*output, RamFileText(table));
            items.push_back(Text("output", *output));
        }
        if (args.Flag("--write")) {
            if (WriteRamWords(table, Transfers(*board), firstWord, kRamWords - 1) <
                kRamWords - firstWord) {
                throw BoardError("the board does not respond; the RAM was not written completely");
            }
            items.push_back(Number("words", kRamWords - firstWord));
        }
        out.Emit(items);
    } else {
        throw UsageError(std::string("usage: vrx630ctl ") + usage);
    }
}

void Raw(BoardSession& board, const CommandArgs& args, Output& out) {
    args.ExpectPositional(4, 4, "raw B0 B1 B2 B3");
    uint8_t b[4];
    for (size_t i = 0; i < 4; ++i) {
        b[i] = uint8_t(ParseInt("0x" + args.Positional()[i], "byte " + std::to_string(i), 0, 255));
    }
    const Telegram t{b[0], b[1], b[2], b[3]};
    const Answer a = Need(board.Transfer(t));
    out.Emit({Text("telegram", TelegramText(t)),
              Text("answer", TelegramText({a.a0, a.a1, a.a2, a.a3}))});
}

void Watch(BoardSession& board, const CommandArgs& args, Output& out) {
    args.ExpectPositional(0, 0, "watch [--interval MS] [--count N]");
    const auto interval = args.Value("--interval");
    const auto count = args.Value("--count");
    const int ms = interval ? ParseInt(*interval, "the interval", 10, 3600000) : 100;
    const int samples = count ? ParseInt(*count, "the count", 1, 1 << 30) : 0;
    const MotorReg shown[] = {MotorReg::XActual, MotorReg::VActual, MotorReg::AActual,
                              MotorReg::VTarget};
    std::string header = "time_ms";
    for (int motor = 1; motor <= kMotorCount; ++motor) {
        for (MotorReg r : shown) {
            header += "," + NormalName(Register(r).name) + "_" + std::to_string(motor);
        }
    }
    out.Line(header);
    const auto start = std::chrono::steady_clock::now();
    for (int sample = 0; (samples == 0 || sample < samples) && !Stopped(); ++sample) {
        const auto due = start + std::chrono::milliseconds(int64_t(sample) * ms);
        std::this_thread::sleep_until(due);
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count();
        std::vector<Item> items = {Number("time_ms", elapsed)};
        std::string line = std::to_string(elapsed);
        for (int motor = 0; motor < kMotorCount; ++motor) {
            for (MotorReg r : shown) {
                const RegisterDef& reg = Register(r);
                const int32_t value = SignExtend(
                    Need(board.Transfer(ReadTelegram(reg, motor))).Value(), reg.displaySignBit);
                items.push_back(
                    Number(NormalName(reg.name) + "_" + std::to_string(motor + 1), value));
                line += "," + std::to_string(value);
            }
        }
        if (out.Json()) {
            out.Emit(items);
        } else {
            out.Line(line);
        }
    }
}

} // namespace vrx::ctl
