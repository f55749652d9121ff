#include "sim/cli/command_line.h"

#include "chip/value_format.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <vector>

namespace vrx::sim {

namespace {

constexpr int kMaxMs = 600000;
constexpr int32_t kPositionMin = -8388608;
constexpr int32_t kPositionMax = 8388607;

std::string Invalid(const std::string& value, const std::string& expected) {
    return "invalid value '" + value + "': expected " + expected;
}

std::string Range(long long min, long long max) {
    return "a whole number from " + std::to_string(min) + " to " + std::to_string(max);
}

std::optional<long long> Number(std::string_view text, long long min, long long max) {
    const auto value = ParseWholeNumber(text);
    return value && *value >= min && *value <= max ? value : std::nullopt;
}

// "A,B" with both numbers within [min, max].
std::optional<std::array<long long, 2>> Pair(std::string_view text, long long min, long long max) {
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    const auto first = Number(text.substr(0, comma), min, max);
    const auto second = Number(text.substr(comma + 1), min, max);
    if (!first || !second) {
        return std::nullopt;
    }
    return std::array<long long, 2>{*first, *second};
}

// A number within [min, max] (decimal, 0x hexadecimal or 0b binary), handed on as decimal so
// CLI11 converts it as such (its own conversion would read a leading 0 as octal).
CLI::Validator WholeNumber(long long min, long long max) {
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            const auto value = Number(text, min, max);
            if (!value) {
                return Invalid(text, Range(min, max));
            }
            text = std::to_string(*value);
            return {};
        },
        "");
}

CLI::Validator NumberPair(long long min, long long max) {
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            return Pair(text, min, max)
                       ? ""
                       : Invalid(text, "two numbers from " + std::to_string(min) + " to " +
                                           std::to_string(max) + " separated by a comma");
        },
        "");
}

CLI::Validator NonEmpty() {
    return CLI::Validator(
        [](std::string& text) { return text.empty() ? Invalid(text, "a non-empty text") : ""; },
        "");
}

template <class T>
void NumberOption(CLI::App& app, const std::string& name, const std::string& valueName,
                  long long min, long long max, T& into, const std::string& help) {
    app.add_option_function<long long>(
           name, [&into](const long long& value) { into = T(value); }, help)
        ->type_name(valueName)
        ->transform(WholeNumber(min, max));
}

template <class Store>
void PairOption(CLI::App& app, const std::string& name, const std::string& valueName, long long min,
                long long max, Store store, const std::string& help) {
    app.add_option_function<std::string>(
           name, [=](const std::string& text) { store(*Pair(text, min, max)); }, help)
        ->type_name(valueName)
        ->check(NumberPair(min, max));
}

void Flag(CLI::App& app, const std::string& name, bool& into, const std::string& help) {
    app.add_flag(name, into, help)->disable_flag_override();
}

// After the usage line and the options, as the help's last paragraph.
const char* const kDescription =
    "Serves a simulated VRX630 evaluation board on a pseudo-terminal, prints the device path\n"
    "and runs until SIGINT or SIGTERM. Open the path like a serial port (19200 8N1).";

// The options, bound to `cl`.
void DefineOptions(CLI::App& app, CommandLine& cl) {
    app.set_help_flag("-h,--help", "show this text and exit");
    Flag(app, "--version", cl.version, "show the version and the licences, and exit");
    app.add_option_function<std::string>(
           "--variant", [&cl](const std::string& name) { cl.variant = *ParseVariant(name); },
           "board to play: plain, zepha, balsen, 516, 52x or 880 (default plain)")
        ->type_name("NAME")
        ->check(CLI::Validator(
            [](std::string& text) {
                return ParseVariant(text) ? ""
                                          : Invalid(text, "plain, zepha, balsen, 516, 52x or 880");
            },
            ""));
    NumberOption(app, "--clock", "MHZ", kMinClockMhz, kMaxClockMhz, cl.clockMhz,
                 "the board's clock in MHz, which times the motion (1..32, default 16)");
    app.add_option("--link", cl.linkPath,
                   "make PATH a symbolic link to the device (a stale link is replaced; removed "
                   "at exit)")
        ->type_name("PATH")
        ->check(NonEmpty());
    app.add_option("--trace", cl.tracePath, "write every received byte with its time in ms to FILE")
        ->type_name("FILE")
        ->check(NonEmpty());
    Flag(app, "--wire-timing", cl.line.wireTiming,
         "bytes take their time on the line: 10 bits at 19200 baud");
    Flag(app, "--silent", cl.line.silent, "fault: never reply");
    NumberOption(app, "--drop-every", "N", 1, 1000000, cl.line.dropEvery,
                 "fault: lose every Nth reply");
    NumberOption(app, "--delay", "MS", 0, kMaxMs, cl.line.delayMs,
                 "fault: send every reply MS milliseconds late");
    NumberOption(app, "--split", "GAP_MS", 0, kMaxMs, cl.line.splitGapMs,
                 "fault: send replies as two bytes, a gap of GAP_MS, then the rest");
    Flag(app, "--extra-byte", cl.line.extraByte, "fault: send one extra byte after every reply");
    NumberOption(app, "--ident-delay", "MS", 0, kMaxMs, cl.line.identDelayMs,
                 "fault: send the identification MS milliseconds late");
    NumberOption(app, "--hangup-after", "N", 0, 1000000000, cl.line.hangUpAfter,
                 "fault: answer N telegram frames and queries, then hang up at the next one");
    app.add_option_function<std::string>(
           "--wrong-ident", [&cl](const std::string& text) { cl.line.wrongIdent = text; },
           "fault: answer the identification request with TEXT as given")
        ->type_name("TEXT")
        ->check(NonEmpty());
    PairOption(
        app, "--error-flags", "F529,F526", 0, 255,
        [&cl](std::array<long long, 2> v) {
            cl.errorFlags = {uint8_t(v[0]), uint8_t(v[1])};
        },
        "error-flag bytes of the VRX529 and VRX526 (0..255 each)");
    PairOption(
        app, "--load", "L529,L526", 0, 7,
        [&cl](std::array<long long, 2> v) {
            cl.loadValues = {uint8_t(v[0]), uint8_t(v[1])};
        },
        "pin the load values of the VRX529 and VRX526 (0..7 each)");
    NumberOption(app, "--voltage", "RAW", 0, 65535, cl.voltageRaw,
                 "pin the supply voltage reading (0..65535, 1023 is 38 V)");
    NumberOption(app, "--potentiometer", "RAW", 0, 65535, cl.potentiometerRaw,
                 "pin the potentiometer reading (0..65535)");
    NumberOption(app, "--mode", "BYTE", 0, 255, cl.modeByte,
                 "VRX880 mode byte (0..255; default 4: enabled, three-phase)");
    PairOption(
        app, "--ref-switches", "LEFT,RIGHT", kPositionMin, kPositionMax,
        [&cl](std::array<long long, 2> v) {
            cl.referenceSwitches = {int32_t(v[0]), int32_t(v[1])};
        },
        "every motor gets a left switch active at or below LEFT and a right one at or above "
        "RIGHT");
    app.footer(std::string(kDescription) +
               "\n\nMotion at clock f and the motor's PULSDIV and RAMPDIV: V is "
               "f*V/(2^PULSDIV*65536) steps/s,\nA is f^2*A/2^(PULSDIV+RAMPDIV+29) steps/s^2."
               "\nExit status: 0 after SIGINT or SIGTERM, 1 if the device cannot be "
               "served, 2 on a bad command line.");
}

} // namespace

CommandLineResult ParseCommandLine(std::span<const std::string_view> args) {
    CommandLine cl;
    CLI::App app("", "vrx630-sim");
    DefineOptions(app, cl);
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        cl.help = true;
    } catch (const CLI::ParseError& e) {
        // The message quotes what was typed, which may hold a line break: it stays one line.
        std::string error = e.what();
        std::replace_if(
            error.begin(), error.end(), [](char c) { return c >= 0 && c < 0x20; }, '?');
        return {std::nullopt, error};
    }
    return {cl, {}};
}

std::string VersionText() {
    return "vrx630-sim " VRX_VERSION "\nCopyright (c) 2026 " VRX_COPYRIGHT_HOLDER
           ". Free software under the MIT licence.\nIt contains CLI11 (BSD 3-Clause), whose "
           "notice comes with it in /usr/share/doc/vrx630-eval/copyright.\n";
}

std::string UsageText() {
    CommandLine cl;
    CLI::App app("", "vrx630-sim");
    DefineOptions(app, cl);
    return app.help();
}

void ApplyToBoard(const CommandLine& options, SimulatedBoard& board) {
    board.Model().SetClockMhz(options.clockMhz);
    BoardPeripherals& peripherals = board.Peripherals();
    if (options.errorFlags) {
        peripherals.SetErrorFlags(Vrx529, (*options.errorFlags)[0]);
        peripherals.SetErrorFlags(Vrx526, (*options.errorFlags)[1]);
    }
    if (options.loadValues) {
        peripherals.PinLoadValue(Vrx529, (*options.loadValues)[0]);
        peripherals.PinLoadValue(Vrx526, (*options.loadValues)[1]);
    }
    if (options.voltageRaw) {
        peripherals.PinVoltage(options.voltageRaw);
    }
    if (options.potentiometerRaw) {
        peripherals.PinPotentiometer(options.potentiometerRaw);
    }
    if (options.modeByte) {
        peripherals.SetModeByte(*options.modeByte);
    }
    if (options.referenceSwitches) {
        for (int m = 0; m < kMotorCount; ++m) {
            board.Model().Motor(m).SetSwitches(
                {(*options.referenceSwitches)[0], (*options.referenceSwitches)[1]});
        }
    }
}

} // namespace vrx::sim
