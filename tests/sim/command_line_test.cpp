#include "sim/cli/command_line.h"
#include "sim/cli/device_link.h"
#include "sim/cli/trace_file_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace vrx::sim {
namespace {

namespace fs = std::filesystem;

CommandLineResult Parse(std::vector<std::string_view> args) {
    return ParseCommandLine(args);
}

struct GoodCase {
    std::vector<std::string_view> args;
    std::function<bool(const CommandLine&)> holds;
    const char* what;
};

TEST(CommandLine, AcceptsEveryOptionWithAGoodValue) {
    const GoodCase cases[] = {
        {{},
         [](const CommandLine& c) {
             return c.variant == BoardVariant::Plain && c.clockMhz == 16 && !c.help;
         },
         "defaults"},
        {{"--variant", "zepha"},
         [](const CommandLine& c) { return c.variant == BoardVariant::Zepha; },
         "variant"},
        {{"--variant=880"},
         [](const CommandLine& c) { return c.variant == BoardVariant::Vrx880Kit; },
         "variant with ="},
        {{"--clock", "32"}, [](const CommandLine& c) { return c.clockMhz == 32; }, "clock"},
        {{"--link", "/tmp/x"}, [](const CommandLine& c) { return c.linkPath == "/tmp/x"; }, "link"},
        {{"--trace", "t.txt"},
         [](const CommandLine& c) { return c.tracePath == "t.txt"; },
         "trace"},
        {{"--wire-timing"}, [](const CommandLine& c) { return c.line.wireTiming; }, "wire timing"},
        {{"--silent"}, [](const CommandLine& c) { return c.line.silent; }, "silent"},
        {{"--drop-every", "3"}, [](const CommandLine& c) { return c.line.dropEvery == 3; }, "drop"},
        {{"--delay", "0x10"},
         [](const CommandLine& c) { return c.line.delayMs == 16; },
         "hex delay"},
        {{"--split", "25"}, [](const CommandLine& c) { return c.line.splitGapMs == 25; }, "split"},
        {{"--extra-byte"}, [](const CommandLine& c) { return c.line.extraByte; }, "extra byte"},
        {{"--ident-delay", "2500"},
         [](const CommandLine& c) { return c.line.identDelayMs == 2500; },
         "ident delay"},
        {{"--hangup-after", "0"},
         [](const CommandLine& c) { return c.line.hangUpAfter == 0; },
         "hang-up"},
        {{"--wrong-ident", "ZEP bad id"},
         [](const CommandLine& c) { return c.line.wrongIdent == "ZEP bad id"; },
         "wrong ident"},
        {{"--error-flags", "255,0x11"},
         [](const CommandLine& c) {
             return c.errorFlags == std::array<uint8_t, 2>{0xFF, 0x11};
         },
         "error flags"},
        {{"--load", "3,7"},
         [](const CommandLine& c) {
             return c.loadValues == std::array<uint8_t, 2>{3, 7};
         },
         "load"},
        {{"--voltage", "1023"},
         [](const CommandLine& c) { return c.voltageRaw == 1023; },
         "voltage"},
        {{"--potentiometer", "65535"},
         [](const CommandLine& c) { return c.potentiometerRaw == 65535; },
         "potentiometer"},
        {{"--mode", "15"}, [](const CommandLine& c) { return c.modeByte == 15; }, "mode"},
        {{"--ref-switches", "-100,2000"},
         [](const CommandLine& c) {
             return c.referenceSwitches == std::array<int32_t, 2>{-100, 2000};
         },
         "switches"},
        {{"--help"}, [](const CommandLine& c) { return c.help; }, "help"},
        {{"-h"}, [](const CommandLine& c) { return c.help; }, "short help"},
        {{"--silent", "--delay", "5", "--variant", "516"},
         [](const CommandLine& c) {
             return c.line.silent && c.line.delayMs == 5 && c.variant == BoardVariant::Vrx516Kit;
         },
         "several"},
    };
    for (const GoodCase& c : cases) {
        const CommandLineResult result = Parse(c.args);
        ASSERT_TRUE(result.options.has_value()) << c.what << ": " << result.error;
        EXPECT_TRUE(c.holds(*result.options)) << c.what;
    }
}

TEST(CommandLine, RejectsBadOptionsAndValuesWithAOneLineMessage) {
    struct BadCase {
        std::vector<std::string_view> args;
        std::string_view message; // a part of the expected message
    };
    const BadCase cases[] = {
        {{"--frobnicate"}, "not expected: --frobnicate"},
        {{"stray"}, "not expected: stray"},
        {{"-x"}, "not expected: -x"},
        {{"--variant", "630"}, "--variant: invalid value '630'"},
        {{"--delay"}, "--delay: 1 required MS missing"},
        {{"--delay", "soon"}, "--delay: invalid value 'soon': expected a whole number"},
        {{"--delay", "-5"}, "--delay: invalid value '-5'"},
        {{"--drop-every", "0"}, "--drop-every: invalid value '0'"},
        {{"--split", "12ms"}, "--split: invalid value '12ms'"},
        {{"--hangup-after", ""}, "--hangup-after: invalid value ''"},
        {{"--wrong-ident", ""}, "--wrong-ident: invalid value ''"},
        {{"--silent=yes"}, "silent was given a disallowed flag override"},
        {{"--error-flags", "256,0"}, "--error-flags: invalid value '256,0'"},
        {{"--load", "3"}, "--load: invalid value '3': expected two numbers"},
        {{"--ref-switches", "0,9000000"}, "--ref-switches: invalid value '0,9000000'"},
        {{"--voltage", "70000"}, "--voltage: invalid value '70000'"},
        {{"--clock", "0"}, "--clock: invalid value '0': expected a whole number from 1 to 32"},
        {{"--clock", "33"}, "--clock: invalid value '33'"},
    };
    for (const BadCase& c : cases) {
        const CommandLineResult result = Parse(c.args);
        EXPECT_FALSE(result.options.has_value()) << c.message;
        EXPECT_NE(result.error.find(c.message), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
}

TEST(CommandLine, HelpExplainsEveryOption) {
    const std::string usage = UsageText();
    for (const char* option :
         {"--variant",     "--clock",         "--link",        "--wire-timing",  "--trace",
          "--silent",      "--drop-every",    "--delay",       "--split",        "--extra-byte",
          "--ident-delay", "--hangup-after",  "--wrong-ident", "--error-flags",  "--load",
          "--voltage",     "--potentiometer", "--mode",        "--ref-switches", "--help"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

TEST(CommandLine, AppliesClockPinnedValuesAndSwitchesToTheBoard) {
    const CommandLineResult result =
        Parse({"--clock", "8", "--error-flags", "1,2", "--load", "4,5", "--voltage", "512",
               "--potentiometer", "99", "--mode", "9", "--ref-switches", "-50,50"});
    ASSERT_TRUE(result.options);
    SimulatedBoard board;
    ApplyToBoard(*result.options, board);
    const BoardPeripherals& p = board.Peripherals();
    EXPECT_EQ(p.ErrorFlags(Vrx529), 1);
    EXPECT_EQ(p.ErrorFlags(Vrx526), 2);
    EXPECT_EQ(p.LoadValue(Vrx529, board.Model()), 4);
    EXPECT_EQ(p.LoadValue(Vrx526, board.Model()), 5);
    EXPECT_EQ(p.VoltageRaw(0), 512);
    EXPECT_EQ(p.PotentiometerRaw(0), 99);
    EXPECT_EQ(p.ModeByte(), 9);
    EXPECT_EQ(board.Model().ClockMhz(), 8);
    for (int m = 0; m < kMotorCount; ++m) {
        EXPECT_EQ(board.Model().Motor(m).Switches().leftAtOrBelow, -50);
        EXPECT_EQ(board.Model().Motor(m).Switches().rightAtOrAbove, 50);
    }
}

// A fresh directory under /tmp for each test, removed afterwards.
class TempDir : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vrx-sim-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

using DeviceLinkTest = TempDir;

TEST_F(DeviceLinkTest, CreatesReplacesAStaleLinkAndRemovesItsOwnLink) {
    const std::string link = (dir_ / "board").string();
    fs::create_symlink("/dev/stale-device", link);
    {
        DeviceLink deviceLink;
        std::string error;
        ASSERT_EQ(deviceLink.Create(link, "/dev/pts/77", error), DeviceLink::Result::Made) << error;
        EXPECT_EQ(fs::read_symlink(link), "/dev/pts/77");
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST_F(DeviceLinkTest, LeavesOtherFilesAndForeignLinksAlone) {
    const std::string file = (dir_ / "file").string();
    std::ofstream(file) << "keep me";
    DeviceLink deviceLink;
    std::string error;
    EXPECT_EQ(deviceLink.Create(file, "/dev/pts/77", error), DeviceLink::Result::Taken);
    EXPECT_NE(error.find("not a symbolic link"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(file));

    const std::string link = (dir_ / "link").string();
    ASSERT_EQ(deviceLink.Create(link, "/dev/pts/77", error), DeviceLink::Result::Made) << error;
    fs::remove(link);
    fs::create_symlink("/dev/someone-else", link); // replaced meanwhile
    deviceLink.Remove();
    EXPECT_EQ(fs::read_symlink(link), "/dev/someone-else");
}

using TraceFileTest = TempDir;

TEST_F(TraceFileTest, WritesOneLinePerByteWithItsTime) {
    const std::string path = (dir_ / "trace.txt").string();
    TraceFileWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Open(path, error)) << error;
    const TraceEntry entries[] = {{0x23, 12.5}, {0x0B, 12.5}, {0xFF, 1234.0004}};
    writer.Write(entries);
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"# time_ms byte", "12.500 0x23", "12.500 0x0B",
                                               "1234.000 0xFF"}));
    TraceFileWriter unwritable;
    EXPECT_FALSE(unwritable.Open((dir_ / "no" / "such" / "dir").string(), error));
}

} // namespace
} // namespace vrx::sim
