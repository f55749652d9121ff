#include "ctl/ctl_command_line.h"

#include "chip/register_map.h"
#include "chip/register_names.h"
#include "ctl/ctl_errors.h"
#include "ctl/register_help.h"
#include "protocol/field_text.h"
#include "protocol/motor_commands.h"
#include "protocol/pass_watch.h"

#include <CLI/CLI.hpp>

namespace vrx::ctl {

namespace {

// A whole number within [min, max], handed on as decimal so CLI11 converts it as such (its own
// conversion would read a leading 0 as octal).
CLI::Validator WholeNumber(long long min, long long max) {
    return CLI::Validator(
        [min, max](std::string& text) {
            int64_t value = 0;
            std::string problem = NumberProblem(text, min, max, value);
            if (problem.empty()) {
                text = std::to_string(value);
            }
            return problem;
        },
        std::to_string(min) + ".." + std::to_string(max));
}

CLI::Validator WholeNumber(ValueRange range) {
    return WholeNumber(range.min, range.max);
}

CLI::Validator HexByte() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const auto byte = ParseHexByte(text);
            if (!byte) {
                return "\"" + text + "\" is not a hexadecimal byte 00..FF";
            }
            text = std::to_string(*byte);
            return {};
        },
        "00..FF");
}

CLI::Validator UnitFraction() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            return ParseUnitFraction(text) ? "" : "\"" + text + "\" is not a number from -1 to 1";
        },
        "-1..1");
}

CLI::Validator CName() {
    return CLI::Validator([](std::string& text) { return ExportNameProblem(text); }, "");
}

CLI::Validator ExportFormatName() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const std::string format = NormalName(text);
            if (format != "C" && format != "HEX") {
                return "\"" + text + "\" is no format: c or hex";
            }
            text = format == "C" ? "c" : "hex";
            return {};
        },
        "");
}

// For a positional: its help text names the range, its usage line only the name.
CLI::Validator Unlabelled(CLI::Validator validator) {
    validator.description("");
    return validator;
}

// 1..3, or "all" when `all` is given; stored 0..2, "all" as nothing.
CLI::Option* MotorNumber(CLI::App* app, const std::string& name, std::optional<int>& motor,
                         const std::string& help, bool all = false) {
    const bool positional = !name.starts_with("--");
    const CLI::Validator number = WholeNumber(1, kMotorCount);
    const CLI::Validator motorOrAll(
        [all, number](std::string& text) -> std::string {
            if (all && NormalName(text) == "ALL") {
                text = "all";
                return {};
            }
            return number(text);
        },
        positional ? "" : number.get_description());
    return app
        ->add_option_function<std::string>(
            name,
            [&motor](const std::string& text) {
                motor = text == "all" ? std::nullopt : std::optional<int>(std::stoi(text) - 1);
            },
            help)
        ->type_name(positional ? "" : "N")
        ->transform(motorOrAll);
}

CLI::Option* OptionalNumber(CLI::App* app, const std::string& name, const std::string& typeName,
                            std::optional<int>& into, ValueRange range, const std::string& help) {
    return app
        ->add_option_function<int>(
            name, [&into](const int& value) { into = value; }, help)
        ->type_name(typeName)
        ->transform(WholeNumber(range));
}

// A ramp mode by its name, in any case, handed on as its number.
CLI::Validator RampMode() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            int mode = 0;
            std::string problem = RampModeProblem(text, mode);
            if (problem.empty()) {
                text = std::to_string(mode);
            }
            return problem;
        },
        "RAMP|SOFTMODE|VELOCITY|HOLD");
}

// The selected command, "ram" with its own.
std::string SelectedCommand(const CLI::App& app) {
    std::string command;
    for (const CLI::App* sub = &app; !sub->get_subcommands().empty();) {
        sub = sub->get_subcommands().front();
        command += (command.empty() ? "" : " ") + sub->get_name();
    }
    return command;
}

// The words after `help`, as the command whose help to show.
std::string HelpOf(CLI::App& app, const std::vector<std::string>& words) {
    CLI::App* shown = &app;
    std::string prefix;
    for (const std::string& word : words) {
        prefix += (prefix.empty() ? "" : " ") + shown->get_name();
        try {
            shown = shown->get_subcommand(word);
        } catch (const CLI::OptionNotFound&) {
            throw UsageError("no command \"" + word + "\" (vrx630ctl --help lists them)");
        }
    }
    return shown->help(prefix);
}

} // namespace

bool Invocation::NeedsBoard() const {
    return help.empty() && command != "ports" && command != "config export" &&
           (command != "ram shape" || write || !output.empty());
}

Invocation ParseCommandLine(const std::vector<std::string>& args) {
    Invocation inv;
    CLI::App app("Drives the VRX630 evaluation board from scripts, with the telegrams the "
                 "program's windows send.",
                 "vrx630ctl");
    app.set_help_flag("-h,--help", "show the help of the program, or of the command before it");
    app.set_version_flag("--version",
                         "vrx630ctl " VRX_VERSION "\nCopyright (c) 2026 " VRX_COPYRIGHT_HOLDER
                         ". Free software under the MIT licence.\nIt contains CLI11 (BSD "
                         "3-Clause), nlohmann/json (MIT) and toml++ (MIT), whose notices come "
                         "with it:\n/usr/share/doc/vrx630-eval/copyright on Debian, the licenses "
                         "folder of the installation on Windows.",
                         "show the version and the licences, and exit");
    app.require_subcommand(0, 1);
    app.fallthrough(); // the global options may also follow the command
    auto* port =
        app.add_option("--port", inv.port,
                       "the board's serial device, COM1..COM256, or a port on the network: "
                       "rfc2217://HOST:PORT, socket://HOST:PORT")
            ->type_name("DEVICE");
    app.add_option("--simulated", inv.simulated,
                   "serve a simulated board of this variant in the tool: plain, zepha, balsen, "
                   "516, 52x or 880")
        ->type_name("VARIANT")
        ->excludes(port);
    app.add_flag("--json", inv.json,
                 "one JSON object per line for each result, and for an error on stderr");
    app.add_option("--clock", inv.clockMhz,
                   "the board's clock in MHz (default 16), for velocities in steps/s and "
                   "accelerations in steps/s²")
        ->type_name("MHZ")
        ->transform(WholeNumber(kMinClockMhz, kMaxClockMhz));

    app.add_subcommand("ports", "the serial ports present: the path that opens each (a by-id "
                                "path for a USB adapter), its device now, and its description");
    app.add_subcommand("identify", "the board variant and its identification bytes");
    app.add_subcommand("status", "each motor's X_ACTUAL, V_ACTUAL, A_ACTUAL, V_TARGET and the "
                                 "status bits");

    auto* get = app.add_subcommand("get", "read one register, decoded field by field");
    get->add_option("REGISTER", inv.words, "a register, or one of its fields")
        ->type_name("")
        ->required()
        ->expected(1);
    MotorNumber(get, "--motor", inv.motor, "the motor of a motor register (default 1)");

    auto* set = app.add_subcommand(
        "set", "write one register; the fields not given keep the value the chip holds");
    set->add_option("REGISTER", inv.words,
                    "the register, then FIELD=VALUE for each field to change (a single value "
                    "may stand alone); the register may be left out when the first FIELD names "
                    "it. Values are decimal, 0x hexadecimal or 0b binary")
        ->type_name("REGISTER FIELD=VALUE ...")
        ->required();
    MotorNumber(set, "--motor", inv.motor, "the motor of a motor register (default 1)");
    set->add_flag("--force", inv.force,
                  "write a value outside the range the program advises, if the chip holds it "
                  "(P_MUL 0, PULSDIV 15)");

    auto* move = app.add_subcommand(
        "move", "program a motor as the motor panel's Go does; parameters not given keep the "
                "values the chip holds");
    MotorNumber(move, "N", inv.motor, "the motor, 1..3")->required();
    move->add_option("--mode", inv.move.mode, "the ramp mode")
        ->required()
        ->type_name("MODE")
        ->transform(RampMode());
    for (const MoveOption& option : kMoveOptions) {
        OptionalNumber(move, kCommandLineOptions.Option(option.name), std::string(option.valueName),
                       inv.move.*option.value, option.range, std::string(option.help));
    }
    for (const PhysicalMoveOption& option : kPhysicalMoveOptions) {
        move->add_option_function<double>(
                kCommandLineOptions.Option(option.name),
                [&inv, &option](const double& value) { inv.move.*option.value = value; },
                std::string(option.help) + "; instead of " +
                    kCommandLineOptions.Option(option.rawName))
            ->type_name(std::string(option.valueName));
    }
    move->add_flag("--wait", inv.move.wait,
                   "return when the motor has arrived (or stands, for VELOCITY 0); status 1 "
                   "when it stands still for 2 s without arriving");
    move->add_flag("--force", inv.move.force,
                   "go on with an A_MAX below the smallest advisable value for the dividers");

    auto* stop = app.add_subcommand("stop", "stop a motor or all three, as the Stop buttons do");
    MotorNumber(stop, "MOTOR", inv.motor, "the motor, 1..3, or all", true)->required();

    auto* ram = app.add_subcommand("ram", "the chip's 128-byte RAM and its .630 files");
    ram->require_subcommand(1);
    ram->add_subcommand("read", "read the whole RAM into a .630 file")
        ->add_option("FILE", inv.words, "the .630 file written")
        ->type_name("")
        ->required()
        ->expected(1);
    ram->add_subcommand("write", "write a .630 file into the RAM")
        ->add_option("FILE", inv.words, "the .630 file read")
        ->type_name("")
        ->required()
        ->expected(1);
    auto* shape = ram->add_subcommand(
        "shape", "calculate the microstep wave table (RAM 40..7F) and print it");
    shape
        ->add_option("SIGMA", inv.sigma,
                     "the shape, -1..1: -1 a triangle, 0 a sine, +1 a trapezoid")
        ->required()
        ->type_name("")
        ->check(Unlabelled(UnitFraction()));
    shape->add_flag("--write", inv.write, "write the table into the RAM");
    shape->add_option("--output", inv.output, "keep the whole RAM with the table in a .630 file")
        ->type_name("FILE");

    auto* config = app.add_subcommand(
        "config", "the chip's whole set-up (every setting register and the RAM) and TOML files");
    config->require_subcommand(1);
    config->add_subcommand("save", "read the chip's configuration into a file")
        ->add_option("FILE", inv.words, "the configuration file written")
        ->type_name("")
        ->required()
        ->expected(1);
    config
        ->add_subcommand("diff", "one line per field in which the chip differs from the file; "
                                 "nothing when they match")
        ->add_option("FILE", inv.words, "the configuration file compared")
        ->type_name("")
        ->required()
        ->expected(1);
    auto* load = config->add_subcommand(
        "load", "check the file, write what differs (global registers, motors 1..3, the RAM) "
                "and read the chip back to verify; prints what it wrote as diff does");
    load->add_option("FILE", inv.words, "the configuration file applied")
        ->type_name("")
        ->required()
        ->expected(1);
    load->add_flag("--dry-run", inv.dryRun, "print what would be written and write nothing");
    auto* exporting = config->add_subcommand(
        "export", "write the words that take a chip from reset to the file's configuration, as "
                  "a C header or in hexadecimal, for firmware; the comments give steps/s at the "
                  "--clock; needs no board");
    exporting->add_option("FILE", inv.words, "the configuration file exported")
        ->type_name("")
        ->required()
        ->expected(1);
    exporting->add_option("--output", inv.output, "write it into this file (default: print it)")
        ->type_name("FILE");
    exporting
        ->add_option("--name", inv.exporting.name,
                     "the C name of the array (default vrx630_config); NAME_WORDS counts its words")
        ->type_name("NAME")
        ->check(CName());
    exporting->add_flag_callback(
        "--no-ram", [&inv] { inv.exporting.ram = false; },
        "leave the RAM out: the registers alone");
    exporting
        ->add_option_function<std::string>(
            "--format",
            [&inv](const std::string& text) {
                inv.exporting.format = text == "hex" ? ExportFormat::Hex : ExportFormat::C;
            },
            "c, a header for C and C++ (default), or hex, one word per line in hexadecimal")
        ->type_name("c|hex")
        ->transform(ExportFormatName());

    auto* raw = app.add_subcommand("raw", "send one telegram as typed and print the answer");
    for (size_t i = 0; i < inv.raw.size(); ++i) {
        raw->add_option_function<int>(
               "B" + std::to_string(i), [&inv, i](const int& b) { inv.raw[i] = uint8_t(b); },
               "byte " + std::to_string(i) + " in hexadecimal, 00..FF")
            ->required()
            ->type_name("")
            ->transform(Unlabelled(HexByte()));
    }

    auto* watch = app.add_subcommand("watch", "one CSV line per interval: the time and every "
                                              "motor's values, until the count or Ctrl+C");
    watch
        ->add_option("--interval", inv.intervalMs,
                     "milliseconds between lines (default 100); 0 reads back to back")
        ->type_name("MS")
        ->transform(WholeNumber(0, kMaxWatchIntervalMs));
    auto* count = watch->add_option("--count", inv.count, "lines to print (default: until Ctrl+C)")
                      ->type_name("N")
                      ->transform(WholeNumber(1, kMaxWatchCount));
    watch
        ->add_option_function<std::string>(
            "--trigger",
            [&inv](const std::string& text) { inv.trigger = ParseTrigger(text, "--trigger"); },
            "only the passes around the first time CONDITION becomes true, time_ms counted from "
            "it: arrived:N (X_ACTUAL = X_TARGET of motor N), switch:N (its reference switch), "
            "above:N:LEVEL or below:N:LEVEL (|V_ACTUAL| crossing LEVEL, raw, or steps/s as "
            "1907steps); then the watch ends")
        ->type_name("CONDITION")
        ->excludes(count);
    watch->add_option("--pre-ms", inv.preMs, "with --trigger: milliseconds before it (default 500)")
        ->type_name("MS")
        ->transform(WholeNumber(0, kMaxWatchIntervalMs));
    watch
        ->add_option("--post-ms", inv.postMs,
                     "with --trigger: milliseconds after it (default 2000)")
        ->type_name("MS")
        ->transform(WholeNumber(0, kMaxWatchIntervalMs));
    watch->add_flag("--units", inv.units,
                    "each motor's V_ACTUAL, A_ACTUAL and V_TARGET also in steps/s and steps/s², "
                    "at the dividers read at the start and the --clock");

    std::vector<std::string> helpWords;
    auto* help = app.add_subcommand("help", "show the help of the program or of one command");
    help->add_option("COMMAND", helpWords, "the command, e.g. move or ram shape");

    // Only the program's own help lists the registers (made when shown); a command's help
    // stays short.
    app.footer([] {
        return RegisterHelp() +
               "\nExit status: 0 done, 1 the board does not answer or refuses, 2 a usage error.";
    });

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        inv.help = app.help();
        return inv;
    } catch (const CLI::CallForVersion& e) {
        inv.help = std::string(e.what()) + "\n";
        return inv;
    } catch (const CLI::ExtrasError& e) {
        if (SelectedCommand(app).empty() && !app.remaining().empty() &&
            !app.remaining().front().starts_with("-")) {
            throw UsageError("no command \"" + app.remaining().front() +
                             "\" (vrx630ctl --help lists them)");
        }
        throw UsageError(e.what());
    } catch (const CLI::ParseError& e) {
        throw UsageError(e.what());
    }
    inv.command = SelectedCommand(app);
    if (inv.command.empty()) {
        throw UsageError("no command (vrx630ctl --help lists them)");
    }
    if (inv.command == "help") {
        inv.help = HelpOf(app, helpWords);
    }
    inv.exporting.clockMhz = inv.clockMhz;
    return inv;
}

} // namespace vrx::ctl
