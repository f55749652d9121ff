#include "sim/cli/command_line.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <vector>

namespace vrx::sim {

namespace {

constexpr int kMaxMs = 600000;
constexpr int32_t kPositionMin = -8388608;
constexpr int32_t kPositionMax = 8388607;

std::optional<long long> ParseNumber(std::string_view text, long long min, long long max) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    value = negative ? -value : value;
    if (value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::array<long long, 2>> ParsePair(std::string_view text, long long min,
                                                  long long max) {
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    const auto first = ParseNumber(text.substr(0, comma), min, max);
    const auto second = ParseNumber(text.substr(comma + 1), min, max);
    if (!first || !second) {
        return std::nullopt;
    }
    return std::array<long long, 2>{*first, *second};
}

using Handler = std::function<std::optional<std::string>(CommandLine&, std::string_view)>;

struct OptionDef {
    std::string_view name;
    std::string_view valueName; // empty: a switch without value
    std::string_view help;
    Handler apply;
};

std::string Invalid(std::string_view name, std::string_view value, std::string_view expected) {
    return "invalid value '" + std::string(value) + "' for --" + std::string(name) + ": expected " +
           std::string(expected);
}

// A handler storing a number from min to max through `store`.
template <class Store>
Handler Number(std::string_view name, long long min, long long max, Store store) {
    return [=](CommandLine& cl, std::string_view value) -> std::optional<std::string> {
        const auto number = ParseNumber(value, min, max);
        if (!number) {
            return Invalid(name, value,
                           "a whole number from " + std::to_string(min) + " to " +
                               std::to_string(max));
        }
        store(cl, *number);
        return std::nullopt;
    };
}

template <class Store>
Handler Pair(std::string_view name, long long min, long long max, Store store) {
    return [=](CommandLine& cl, std::string_view value) -> std::optional<std::string> {
        const auto pair = ParsePair(value, min, max);
        if (!pair) {
            return Invalid(name, value,
                           "two numbers from " + std::to_string(min) + " to " +
                               std::to_string(max) + " separated by a comma");
        }
        store(cl, *pair);
        return std::nullopt;
    };
}

Handler Flag(std::function<void(CommandLine&)> set) {
    return [set](CommandLine& cl, std::string_view) -> std::optional<std::string> {
        set(cl);
        return std::nullopt;
    };
}

Handler Text(std::string_view name, std::function<void(CommandLine&, std::string_view)> set) {
    return [=](CommandLine& cl, std::string_view value) -> std::optional<std::string> {
        if (value.empty()) {
            return Invalid(name, value, "a non-empty text");
        }
        set(cl, value);
        return std::nullopt;
    };
}

const std::vector<OptionDef>& Options() {
    static const std::vector<OptionDef> options = {
        {"variant", "NAME", "board to play: plain, zepha, balsen, 516, 52x or 880 (default plain)",
         [](CommandLine& cl, std::string_view value) -> std::optional<std::string> {
             const auto variant = ParseVariant(value);
             if (!variant) {
                 return Invalid("variant", value, "plain, zepha, balsen, 516, 52x or 880");
             }
             cl.variant = *variant;
             return std::nullopt;
         }},
        {"link", "PATH",
         "make PATH a symbolic link to the device (a stale link is replaced; removed at exit)",
         Text("link", [](CommandLine& cl, std::string_view v) { cl.linkPath = v; })},
        {"trace", "FILE", "write every received byte with its time in ms to FILE",
         Text("trace", [](CommandLine& cl, std::string_view v) { cl.tracePath = v; })},
        {"wire-timing", "", "bytes take their time on the line: 10 bits at 19200 baud",
         Flag([](CommandLine& cl) { cl.line.wireTiming = true; })},
        {"silent", "", "fault: never reply", Flag([](CommandLine& cl) { cl.line.silent = true; })},
        {"drop-every", "N", "fault: lose every Nth reply",
         Number("drop-every", 1, 1000000,
                [](CommandLine& cl, long long n) { cl.line.dropEvery = int(n); })},
        {"delay", "MS", "fault: send every reply MS milliseconds late",
         Number("delay", 0, kMaxMs,
                [](CommandLine& cl, long long n) { cl.line.delayMs = int(n); })},
        {"split", "GAP_MS", "fault: send replies as two bytes, a gap of GAP_MS, then the rest",
         Number("split", 0, kMaxMs,
                [](CommandLine& cl, long long n) { cl.line.splitGapMs = int(n); })},
        {"extra-byte", "", "fault: send one extra byte after every reply",
         Flag([](CommandLine& cl) { cl.line.extraByte = true; })},
        {"ident-delay", "MS", "fault: send the identification MS milliseconds late",
         Number("ident-delay", 0, kMaxMs,
                [](CommandLine& cl, long long n) { cl.line.identDelayMs = int(n); })},
        {"hangup-after", "N",
         "fault: answer N telegram frames and queries, then hang up at the next one",
         Number("hangup-after", 0, 1000000000,
                [](CommandLine& cl, long long n) { cl.line.hangUpAfter = int(n); })},
        {"wrong-ident", "TEXT", "fault: answer the identification request with TEXT as given",
         Text("wrong-ident",
              [](CommandLine& cl, std::string_view v) { cl.line.wrongIdent = std::string(v); })},
        {"error-flags", "F529,F526", "error-flag bytes of the VRX529 and VRX526 (0..255 each)",
         Pair("error-flags", 0, 255,
              [](CommandLine& cl, std::array<long long, 2> v) {
                  cl.errorFlags = {uint8_t(v[0]), uint8_t(v[1])};
              })},
        {"load", "L529,L526", "pin the load values of the VRX529 and VRX526 (0..7 each)",
         Pair("load", 0, 7,
              [](CommandLine& cl, std::array<long long, 2> v) {
                  cl.loadValues = {uint8_t(v[0]), uint8_t(v[1])};
              })},
        {"voltage", "RAW", "pin the supply voltage reading (0..65535, 1023 is 38 V)",
         Number("voltage", 0, 65535,
                [](CommandLine& cl, long long n) { cl.voltageRaw = uint16_t(n); })},
        {"potentiometer", "RAW", "pin the potentiometer reading (0..65535)",
         Number("potentiometer", 0, 65535,
                [](CommandLine& cl, long long n) { cl.potentiometerRaw = uint16_t(n); })},
        {"mode", "BYTE", "VRX880 mode byte (0..255; default 4: enabled, three-phase)",
         Number("mode", 0, 255, [](CommandLine& cl, long long n) { cl.modeByte = uint8_t(n); })},
        {"ref-switches", "LEFT,RIGHT",
         "every motor gets a left switch active at or below LEFT and a right one at or above "
         "RIGHT",
         Pair("ref-switches", kPositionMin, kPositionMax,
              [](CommandLine& cl, std::array<long long, 2> v) {
                  cl.referenceSwitches = {int32_t(v[0]), int32_t(v[1])};
              })},
        {"help", "", "show this text and exit", Flag([](CommandLine& cl) { cl.help = true; })},
    };
    return options;
}

const OptionDef* FindOption(std::string_view name) {
    for (const OptionDef& def : Options()) {
        if (def.name == name) {
            return &def;
        }
    }
    return nullptr;
}

} // namespace

CommandLineResult ParseCommandLine(std::span<const std::string_view> args) {
    CommandLine cl;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "-h") {
            cl.help = true;
            continue;
        }
        if (arg.size() < 3 || arg.substr(0, 2) != "--") {
            return {std::nullopt, "unexpected argument '" + std::string(arg) + "' (see --help)"};
        }
        std::string_view name = arg.substr(2);
        std::optional<std::string_view> inlineValue;
        if (const size_t eq = name.find('='); eq != std::string_view::npos) {
            inlineValue = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        const OptionDef* def = FindOption(name);
        if (def == nullptr) {
            return {std::nullopt, "unknown option '--" + std::string(name) + "' (see --help)"};
        }
        std::string_view value;
        if (def->valueName.empty()) {
            if (inlineValue) {
                return {std::nullopt, "option --" + std::string(name) + " takes no value"};
            }
        } else if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return {std::nullopt, "option --" + std::string(name) + " needs a value " +
                                      std::string(def->valueName)};
        }
        if (auto error = def->apply(cl, value)) {
            return {std::nullopt, *error};
        }
    }
    return {cl, {}};
}

std::string UsageText() {
    std::string text =
        "Usage: vrx630-sim [OPTION]...\n"
        "Serves a simulated VRX630 evaluation board on a pseudo-terminal, prints the device path\n"
        "and runs until SIGINT or SIGTERM. Open the path like a serial port (19200 8N1).\n\n";
    for (const OptionDef& def : Options()) {
        std::string left = "  --" + std::string(def.name);
        if (!def.valueName.empty()) {
            left += " " + std::string(def.valueName);
        }
        left.resize(std::max<size_t>(left.size() + 2, 28), ' ');
        text += left + std::string(def.help) + "\n";
    }
    text += "\nMotion: one velocity unit is 2 steps/s, one acceleration unit 10 velocity units/s.\n"
            "Exit status: 0 after SIGINT or SIGTERM, 1 if the device cannot be served, 2 on a "
            "bad command line.\n";
    return text;
}

void ApplyToBoard(const CommandLine& options, SimulatedBoard& board) {
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
