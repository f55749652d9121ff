#include "python/python_board.h"

#include "chip/physical_units.h"
#include "chip/quantity_format.h"
#include "chip/ram_file.h"
#include "chip/register_map.h"
#include "chip/register_names.h"
#include "config/config_commands.h"
#include "protocol/command_errors.h"
#include "protocol/field_text.h"
#include "protocol/output_file.h"
#include "protocol/pass_trigger.h"
#include "protocol/pass_watch.h"
#include "protocol/ram_commands.h"
#include "protocol/register_commands.h"
#include "protocol/required_answer.h"
#include "python/python_values.h"
#include "serial/device_name.h"

#include <chrono>
#include <vector>

namespace py = pybind11;

namespace vrx::python {

namespace {

std::mutex g_boardsMutex;
std::vector<std::weak_ptr<PythonBoard>> g_boards;

// A motor 1..3 as Python gives it, 0..2 as the commands take it.
int MotorIndex(long long motor) {
    CheckOption(kKeywordOptions, "motor", motor, 1, kMotorCount);
    return int(motor - 1);
}

std::optional<int> MotorIndex(const std::optional<long long>& motor) {
    return motor ? std::optional<int>(MotorIndex(*motor)) : std::nullopt;
}

// A value as set takes it: an int as decimal, a str as written (0x..., 0b...).
std::string ValueText(const py::handle& value) {
    if (py::isinstance<py::int_>(value)) {
        return py::str(value);
    }
    if (py::isinstance<py::str>(value)) {
        return value.cast<std::string>();
    }
    throw py::type_error("a register value is an int or a str, not " +
                         std::string(py::str(py::type::of(value).attr("__name__"))));
}

py::bytes RamBytes(const RamTable& table) {
    std::string bytes(kRamBytes, '\0');
    for (int i = 0; i < kRamBytes; ++i) {
        bytes[size_t(i)] = char(table.Byte(i));
    }
    return py::bytes(bytes);
}

// The RAM from 128 bytes, or from the .630 file a path names.
RamTable RamFrom(const py::object& data) {
    if (py::isinstance<py::str>(data) || py::hasattr(data, "__fspath__")) {
        const std::string path = py::str(py::module_::import("os").attr("fspath")(data));
        return LoadStrictRamFile(path);
    }
    const std::string bytes = py::bytes(data);
    if (bytes.size() != size_t(kRamBytes)) {
        throw UsageError("the RAM takes 128 bytes, not " + std::to_string(bytes.size()));
    }
    RamTable table;
    for (int i = 0; i < kRamBytes; ++i) {
        table.SetByte(i, uint8_t(bytes[size_t(i)]));
    }
    return table;
}

py::list DifferenceList(const std::vector<ConfigDifference>& differences) {
    py::list list;
    for (const ConfigDifference& d : differences) {
        list.append(ToDict(DifferenceValues(d)));
    }
    return list;
}

} // namespace

PythonBoard::PythonBoard(long long clockMhz) {
    CheckOption(kKeywordOptions, "clock_mhz", clockMhz, kMinClockMhz, kMaxClockMhz);
    clockMhz_ = int(clockMhz);
    units_.SetClockMhz(clockMhz_);
}

std::shared_ptr<PythonBoard> PythonBoard::Open(const std::string& port, long long clockMhz) {
    std::shared_ptr<PythonBoard> board(new PythonBoard(clockMhz));
    board->Connect(port, ResolveDeviceName(port), nullptr);
    Remember(board);
    return board;
}

std::shared_ptr<PythonBoard> PythonBoard::OpenSimulated(const std::string& variant,
                                                        const sim::LineOptions& options,
                                                        long long clockMhz) {
    std::shared_ptr<PythonBoard> board(new PythonBoard(clockMhz));
    board->simulated_.emplace(variant, options);
    board->simulated_->Board().SetTraceLimit(kReceivedBytes);
    board->simulated_->Board().With(
        [&board](sim::SimulatedBoard& b) { b.Model().SetClockMhz(board->clockMhz_); });
    const std::string device = board->simulated_->Device();
    board->Connect(device, device, board->simulated_->Backend());
    Remember(board);
    return board;
}

void PythonBoard::Connect(const std::string& port, const std::string& device,
                          std::unique_ptr<SerialBackend> backend) {
    port_ = port;
    WithoutGil([&](Raised& raised) {
        return Interruptible(raised, [&] {
            connection_.emplace(port, device, std::move(backend), [this] { return interrupt_(); });
            return true;
        });
    });
    connection_->Session().SetObserver([this](const Telegram& t, const Answer& a) {
        std::lock_guard lock(unitsMutex_);
        units_.Observe(t, a);
    });
}

MotionUnits PythonBoard::FollowedUnits() const {
    std::lock_guard lock(unitsMutex_);
    return units_;
}

void PythonBoard::Remember(const std::shared_ptr<PythonBoard>& board) {
    std::lock_guard lock(g_boardsMutex);
    std::erase_if(g_boards, [](const auto& b) { return b.expired(); });
    g_boards.push_back(board);
}

PythonBoard::~PythonBoard() {
    // No command can run any more: nothing else holds the board.
    if (connection_) {
        connection_->Close();
    }
}

void PythonBoard::Close() {
    interrupt_.Close(); // every thread's command ends within a wait's check
    py::gil_scoped_release release;
    if (connection_) {
        // Once the telegram in flight, if any, has ended: no thread is on the line then.
        const LineHold hold = connection_->Session().HoldUncancelled();
        connection_->Close();
    }
}

void PythonBoard::CloseAll() {
    std::vector<std::shared_ptr<PythonBoard>> open;
    {
        std::lock_guard lock(g_boardsMutex);
        for (const auto& board : g_boards) {
            if (auto held = board.lock()) {
                open.push_back(std::move(held));
            }
        }
        g_boards.clear();
    }
    for (const auto& board : open) {
        board->Close();
    }
}

std::string PythonBoard::Identification() const {
    return std::string(BoardName(connection_->Session().Kind()));
}

std::string PythonBoard::Variant() const {
    return std::string(VariantName(connection_->Session().Kind()));
}

sim::ServedBoard* PythonBoard::Simulated() {
    return simulated_ ? &simulated_->Board() : nullptr;
}

py::dict PythonBoard::Move(long long motor, const std::string& mode, const MoveValues& values,
                           const PhysicalMoveValues& physical, bool wait, bool force) {
    const int m = MotorIndex(motor);
    MoveArgs args;
    const std::string problem = RampModeProblem(mode, args.mode);
    if (!problem.empty()) {
        throw UsageError(kKeywordOptions.Option("mode") + ": " + problem);
    }
    for (size_t i = 0; i < kMoveOptions.size(); ++i) {
        if (const auto& given = values[i]) {
            const MoveOption& option = kMoveOptions[i];
            CheckOption(kKeywordOptions, option.name, *given, option.range.min, option.range.max);
            args.*option.value = int(*given);
        }
    }
    for (size_t i = 0; i < kPhysicalMoveOptions.size(); ++i) {
        args.*kPhysicalMoveOptions[i].value = physical[i];
    }
    args.wait = wait;
    args.force = force;
    return ToDict(Run([&](BoardSession& board) {
        return vrx::Move(board, m, args, kKeywordOptions, clockMhz_);
    }));
}

py::dict PythonBoard::Get(const std::string& name, const std::optional<long long>& motor) {
    const std::optional<int> m = MotorIndex(motor);
    return ToDict(Run([&](BoardSession& board) {
        return GetRegister(board, name, m, kKeywordOptions, clockMhz_);
    }));
}

py::dict PythonBoard::Set(const std::string& name, const py::object& value,
                          const std::optional<long long>& motor, bool force,
                          const py::kwargs& fields) {
    const std::optional<int> m = MotorIndex(motor);
    std::vector<std::string> words = {name};
    if (!value.is_none()) {
        words.push_back(ValueText(value));
    }
    for (const auto& [field, given] : fields) {
        words.push_back(py::str(field).cast<std::string>() + "=" + ValueText(given));
    }
    return ToDict(Run(
        [&](BoardSession& board) { return SetRegister(board, words, m, kKeywordOptions, force); }));
}

py::dict PythonBoard::Status() {
    const auto lines = Run([this](BoardSession& board) {
        std::vector<NamedValues> read;
        ReadStatus(board, clockMhz_, [&read](const NamedValues& items) { read.push_back(items); });
        return read;
    });
    py::list motors;
    for (size_t motor = 0; motor + 1 < lines.size(); ++motor) {
        motors.append(ToDict(lines[motor]));
    }
    py::dict status;
    status["motors"] = motors;
    status["status"] = ToDict(lines.back());
    return status;
}

py::bytes PythonBoard::RamRead(const std::optional<std::filesystem::path>& path) {
    std::optional<OutputFile> file;
    if (path) {
        file.emplace(path->string());
    }
    const RamTable table = Run([](BoardSession& board) {
        RamTable read;
        ReadRamRange(board, read);
        return read;
    });
    if (file) {
        file->Commit(RamFileText(table));
    }
    return RamBytes(table);
}

void PythonBoard::RamWrite(const py::object& data) {
    const RamTable table = RamFrom(data);
    Run([&](BoardSession& board) {
        WriteRamRange(board, table, "ram_write()");
        return true;
    });
}

void PythonBoard::ConfigSave(const std::filesystem::path& path) {
    OutputFile file(path.string());
    Run([&](BoardSession& board) {
        SaveConfig(board, file,
                   {"vrx630 Python module " VRX_VERSION, std::string(BoardName(board.Kind()))});
        return true;
    });
}

py::list PythonBoard::ConfigDiff(const std::filesystem::path& path) {
    return ConfigLoad(path, true);
}

py::list PythonBoard::ConfigLoad(const std::filesystem::path& path, bool dryRun) {
    const std::string name = path.string();
    const ChipConfig config = LoadConfigFile(name);
    return DifferenceList(Run([&](BoardSession& board) {
        return ApplyConfigFile(board, config, dryRun, "config_diff(\"" + name + "\")");
    }));
}

void PythonBoard::Stop(const py::object& motor) {
    std::optional<int> m;
    if (py::isinstance<py::int_>(motor)) {
        m = MotorIndex(motor.cast<long long>());
    } else if (NormalName(ValueText(motor)) != "ALL") {
        int64_t number = 0;
        const std::string problem = NumberProblem(ValueText(motor), 1, kMotorCount, number);
        if (!problem.empty()) {
            throw UsageError(kKeywordOptions.Option("motor") + ": " + problem + ", or \"all\"");
        }
        m = int(number - 1);
    }
    Run([&](BoardSession& board) {
        StopMotors(board, m, [](int) {});
        return true;
    });
}

py::list PythonBoard::Capture(const std::string& trigger, long long preMs, long long postMs,
                              double timeoutS, bool units) {
    const Trigger t = ParseTrigger(trigger, kKeywordOptions.Option("trigger"));
    CheckOption(kKeywordOptions, "pre_ms", preMs, 0, kMaxWatchIntervalMs);
    CheckOption(kKeywordOptions, "post_ms", postMs, 0, kMaxWatchIntervalMs);
    if (!(timeoutS > 0)) {
        throw UsageError("timeout: " + std::to_string(timeoutS) + " is not a time in seconds");
    }
    const auto rows = Run([&](BoardSession& session) {
        const bool withUnits = units || t.inSteps;
        PassWatch watch(session, 0, 0, withUnits ? std::optional(clockMhz_) : std::nullopt);
        PassCapture capture(t, int(preMs), int(postMs));
        std::vector<CapturedPass> got;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutS);
        while (!capture.Done()) {
            if (!capture.Triggered() && std::chrono::steady_clock::now() >= deadline) {
                throw CaptureTimeout("no " + TriggerText(t) + " within " +
                                     FormatQuantity(timeoutS) + " s");
            }
            const auto pass = watch.Next();
            const MotionUnits now = FollowedUnits();
            for (CapturedPass& p : capture.Take(pass->timeMs, pass->row, now)) {
                got.push_back(std::move(p));
            }
        }
        return got;
    });
    py::list list;
    for (const CapturedPass& p : rows) {
        list.append(ToDict(PassValues(p.timeMs, p.row, units ? &p.units : nullptr)));
    }
    return list;
}

py::bytes PythonBoard::Raw(long long b0, long long b1, long long b2, long long b3) {
    const long long bytes[] = {b0, b1, b2, b3};
    Telegram t{};
    uint8_t* into[] = {&t.b0, &t.b1, &t.b2, &t.b3};
    for (size_t i = 0; i < 4; ++i) {
        CheckOption(kKeywordOptions, "b" + std::to_string(i), bytes[i], 0, 255);
        *into[i] = uint8_t(bytes[i]);
    }
    const Answer a = Run([&](BoardSession& board) { return RequiredAnswer(board, t); });
    const char answer[] = {char(a.a0), char(a.a1), char(a.a2), char(a.a3)};
    return py::bytes(answer, sizeof answer);
}

} // namespace vrx::python
