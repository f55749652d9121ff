// The vrx630 module: boards on serial ports and simulated ones, the port list and the errors.
// Each method checks its arguments and calls the shared commands of vrx630ctl.

#include "config/config_commands.h"
#include "protocol/board_connection.h"
#include "protocol/command_errors.h"
#include "protocol/field_text.h"
#include "protocol/option_style.h"
#include "python/python_board.h"
#include "python/python_errors.h"
#include "python/python_values.h"
#include "python/python_watch.h"
#include "serial/port_discovery.h"

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <pythread.h>

namespace py = pybind11;
using namespace py::literals;
using vrx::python::FloatArgument;
using vrx::python::IntArgument;
using vrx::python::PythonBoard;
using vrx::python::PythonWatch;

namespace {

std::shared_ptr<PythonBoard> Simulated(const std::string& variant, bool wireTiming,
                                       std::optional<int> hangUpAfter, int delayMs, bool silent,
                                       long long clockMhz) {
    vrx::sim::LineOptions options;
    options.wireTiming = wireTiming;
    options.hangUpAfter = hangUpAfter;
    options.delayMs = delayMs;
    options.silent = silent;
    try {
        return PythonBoard::OpenSimulated(variant, options, clockMhz);
    } catch (const std::invalid_argument& e) {
        throw vrx::UsageError(e.what());
    } catch (const vrx::UsageError&) {
        throw; // a clock out of range
    } catch (const std::runtime_error& e) {
        if (dynamic_cast<const vrx::BoardError*>(&e) != nullptr) {
            throw;
        }
        throw vrx::BoardError(e.what());
    }
}

py::list Ports() {
    py::list ports;
    for (const vrx::SerialPortInfo& port : vrx::ListPortChoices()) {
        ports.append(vrx::python::ToDict(vrx::PortValues(port)));
    }
    return ports;
}

std::string ExportC(const std::filesystem::path& path, const std::string& name, long long clockMhz,
                    bool ram) {
    vrx::CheckOption(vrx::kKeywordOptions, "clock_mhz", clockMhz, vrx::kMinClockMhz,
                     vrx::kMaxClockMhz);
    vrx::ExportOptions options;
    options.name = name;
    options.clockMhz = int(clockMhz);
    options.ram = ram;
    return vrx::ExportConfigFile(path.string(), options);
}

} // namespace

PYBIND11_MODULE(vrx630, m) {
    m.doc() = "The VRX630 evaluation board from Python: motors moved, registers read and written, "
              "the RAM and the chip's configuration, on a serial port or a simulated board.";
    m.attr("__version__") = VRX_VERSION;
    vrx::python::RegisterErrors(m);
    vrx::python::InterruptCheck::SetMainThread(
        py::module_::import("threading").attr("main_thread")().attr("ident").cast<unsigned long>());

    py::class_<PythonWatch>(m, "Watch", "The rows of Board.watch(), read as they come.")
        .def("__iter__", [](PythonWatch& w) -> PythonWatch& { return w; })
        .def("__next__", &PythonWatch::Next);

    py::class_<PythonBoard, std::shared_ptr<PythonBoard>>(
        m, "Board",
        "A board on a serial port, open and identified until close() or the end of `with`; "
        "closing gives the port its settings back.")
        .def(py::init(&PythonBoard::Open), "port"_a, py::kw_only(), "clock_mhz"_a = 16,
             "Opens PORT (a device, a /dev/serial/by-id path, COMn, or a port on the network: "
             "rfc2217://HOST:PORT, socket://HOST:PORT) and identifies the board, whose clock is "
             "CLOCK_MHZ (1..32) for the values in steps/s and steps/s². NoAnswer when the board "
             "does not answer, BoardError when the port does not open, ValueError when a network "
             "port is refused (a name that does not resolve, nothing listening, in use).")
        .def_static("simulated", &Simulated, "variant"_a = "plain", py::kw_only(),
                    "wire_timing"_a = false, "hang_up_after"_a = py::none(), "delay_ms"_a = 0,
                    "silent"_a = false, "clock_mhz"_a = 16,
                    "An in-process simulated board of VARIANT (plain, zepha, balsen, 516, 52x, "
                    "880). wire_timing: bytes take their time at 19200 baud; hang_up_after: the "
                    "board answers that many telegrams, then its port goes away; delay_ms: every "
                    "reply comes that much later; silent: no replies at all; clock_mhz: the "
                    "board's clock (1..32), which times its motion and the values in steps/s.")
        .def("close", &PythonBoard::Close,
             "Gives the port its settings back; every command after it raises ValueError.")
        .def("__enter__", [](std::shared_ptr<PythonBoard> b) { return b; })
        .def("__exit__",
             [](PythonBoard& b, const py::args&) {
                 b.Close();
                 return false;
             })
        .def_property_readonly("identification", &PythonBoard::Identification,
                               "What the board says it is: \"VRX630/VRX52x evaluation board\".")
        .def_property_readonly("variant", &PythonBoard::Variant,
                               "The board's variant: plain, zepha, balsen, 516, 52x or 880.")
        .def_property_readonly("port", &PythonBoard::Port,
                               "The port as it was given; a simulated board's device.")
        .def_property_readonly("clock_mhz", &PythonBoard::ClockMhz,
                               "The board's clock in MHz, at which values in steps/s are taken.")
        .def(
            "move",
            [](PythonBoard& b, const py::object& motor, const std::string& mode,
               const py::object& target, const py::object& velocity, const py::object& vmin,
               const py::object& vmax, const py::object& amax, bool wait, bool force,
               const py::object& vmaxSteps, const py::object& amaxSteps) {
                const auto motorNumber = IntArgument(motor, "motor");
                if (!motorNumber) {
                    throw py::type_error("motor takes an int, not NoneType");
                }
                return b.Move(*motorNumber, mode,
                              {IntArgument(target, "target"), IntArgument(velocity, "velocity"),
                               IntArgument(vmin, "vmin"), IntArgument(vmax, "vmax"),
                               IntArgument(amax, "amax")},
                              {FloatArgument(vmaxSteps, "vmax_steps"),
                               FloatArgument(amaxSteps, "amax_steps")},
                              wait, force);
            },
            "motor"_a, "mode"_a, "target"_a = py::none(), "velocity"_a = py::none(),
            "vmin"_a = py::none(), "vmax"_a = py::none(), "amax"_a = py::none(), "wait"_a = false,
            "force"_a = false, py::kw_only(), "vmax_steps"_a = py::none(),
            "amax_steps"_a = py::none(),
            "Moves MOTOR (1..3) in MODE (RAMP, SOFTMODE, VELOCITY, HOLD) as the motor panel's Go "
            "does; what is not given is read from the chip. vmax_steps, amax_steps: V_MAX in "
            "steps/s, A_MAX in steps/s², instead of vmax, amax, sent as the nearest raw value at "
            "the motor's dividers. wait: until the motor arrives; NoMotion after 2 s of "
            "standing still, Stopped at once when stop() of this board stops it on its way. "
            "force: go on with an A_MAX below the smallest advisable value.")
        .def("get", &PythonBoard::Get, "name"_a, "motor"_a = py::none(),
             "The register NAME (or the one holding the field NAME) of MOTOR (1..3, 1 when not "
             "given; none for a global register): its data and every field. V_MIN, V_MAX, "
             "V_TARGET and V_ACTUAL add NAME_STEPS_S, A_MAX and A_ACTUAL NAME_STEPS_S2: the "
             "value in steps/s or steps/s² at the clock and the motor's dividers.")
        .def("set", &PythonBoard::Set, "name"_a, "value"_a = py::none(), py::kw_only(),
             "motor"_a = py::none(), "force"_a = false,
             "Writes the register NAME: a VALUE for a register of one field, and FIELD=VALUE for "
             "each field to change; the others keep what the chip holds. Values are int or str "
             "(0x..., 0b...), within the range the program advises, or with force=True any value "
             "the chip holds (P_MUL 0, PULSDIV 15). Returns the telegram sent and every field.")
        .def("status", &PythonBoard::Status,
             "{\"motors\": [each motor's X_ACTUAL, V_ACTUAL, A_ACTUAL, V_TARGET, then "
             "V_ACTUAL_STEPS_S, A_ACTUAL_STEPS_S2 and V_TARGET_STEPS_S in steps/s and steps/s²], "
             "\"status\": the status bits by name}.")
        .def(
            "watch",
            [](std::shared_ptr<PythonBoard> b, long long intervalMs, std::optional<long long> count,
               bool units) { return PythonWatch(std::move(b), intervalMs, count, units); },
            "interval_ms"_a = 0, "count"_a = py::none(), py::kw_only(), "units"_a = false,
            "The polling pass every INTERVAL_MS (0: back to back), COUNT rows (None: until "
            "Ctrl+C), each a dict of the recorder's columns, time_ms first; units: each motor's "
            "V_ACTUAL, A_ACTUAL and V_TARGET also in steps/s and steps/s² (V_ACTUAL_1_STEPS_S, "
            "...), at the dividers read before the first row and then as this board's own "
            "telegrams change them.")
        .def("ram_read", &PythonBoard::RamRead, "path"_a = py::none(),
             "The chip's 128 bytes of RAM; with PATH also written there as a .630 file.")
        .def("ram_write", &PythonBoard::RamWrite, "data"_a,
             "Writes the RAM: 128 bytes, or the .630 file a path names.")
        .def("config_save", &PythonBoard::ConfigSave, "path"_a,
             "Every setting register and the RAM into the configuration file PATH.")
        .def("config_diff", &PythonBoard::ConfigDiff, "path"_a,
             "What differs between the chip and the file: a list of {section, field, chip, file}.")
        .def("config_load", &PythonBoard::ConfigLoad, "path"_a, py::kw_only(), "dry_run"_a = false,
             "Writes what differs from the file and reads it back; returns what was written.")
        .def("stop", &PythonBoard::Stop, "motor"_a = "all",
             "Stops MOTOR (1..3) or \"all\" as the Stop buttons do.")
        .def("capture", &PythonBoard::Capture, "trigger"_a, py::kw_only(), "pre_ms"_a = 500,
             "post_ms"_a = 2000, "timeout"_a = 10.0, "units"_a = false,
             "The polling passes around the first time TRIGGER becomes true, read back to back: "
             "arrived:N (X_ACTUAL = X_TARGET of motor N), switch:N, above:N:LEVEL, "
             "below:N:LEVEL (|V_ACTUAL|, raw, or steps/s as 1907steps). A list of the rows of "
             "watch(), from PRE_MS before it to POST_MS after, time_ms counted from it "
             "(negative before); TimeoutError when it does not come within TIMEOUT seconds.")
        .def("raw", &PythonBoard::Raw, "b0"_a, "b1"_a, "b2"_a, "b3"_a,
             "Sends one telegram of four bytes and returns the board's four-byte answer.")
        .def(
            "received",
            [](PythonBoard& b) {
                vrx::sim::ServedBoard* board = b.Simulated();
                if (board == nullptr) {
                    throw vrx::UsageError("received() is for simulated boards");
                }
                std::string bytes;
                for (const auto& entry : board->Received()) {
                    bytes.push_back(char(entry.byte));
                }
                return py::bytes(bytes);
            },
            "A simulated board: the bytes it has received, oldest first; the newest 65,536 "
            "of them.");

    m.def("ports", &Ports, "The serial ports here: a list of {port, device, description}.");
    m.def("export_c", &ExportC, "path"_a, py::kw_only(), "name"_a = "vrx630_config",
          "clock_mhz"_a = 16, "ram"_a = true,
          "The configuration file PATH as a C header for firmware: the words that take a chip "
          "from reset to it (global registers, motors 1..3, then with RAM the 64 RAM "
          "words), NAME[NAME_WORDS], each commented with its fields and, at CLOCK_MHZ, its "
          "steps/s. Needs no board.");

    // A script that ends without closing its boards gives their ports back all the same.
    py::module_::import("atexit").attr("register")(py::cpp_function(&PythonBoard::CloseAll));
}
