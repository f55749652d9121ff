// An exported configuration as firmware uses it: the header built as C99 and as C++17 with every
// warning an error, its words sent to a simulated board at reset, after which the chip holds the
// file; and the words are, one for one, the writes a load of the file sends to a chip at reset.
#include "child_process.h"
#include "config/config_entries.h"
#include "ctl/ctl_run.h"
#include "sim/pty_board.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vrx::ctl {
namespace {

using namespace std::chrono_literals;

// vrx630ctl in-process: its exit status, with what it printed in `out`.
int Ctl(const std::vector<std::string>& args, std::string& out) {
    std::ostringstream o;
    std::ostringstream e;
    const int status = Run(args, o, e);
    out = o.str() + e.str();
    return status;
}

// The words of the write telegrams the board received ("#" frames whose first byte has no
// read flag).
std::vector<uint32_t> WordsWritten(const std::vector<uint8_t>& wire) {
    std::vector<uint32_t> words;
    for (size_t i = 0; i + 5 <= wire.size(); ++i) {
        if (wire[i] != 0x23) {
            continue;
        }
        const uint32_t word = uint32_t(wire[i + 1]) << 24 | uint32_t(wire[i + 2]) << 16 |
                              uint32_t(wire[i + 3]) << 8 | wire[i + 4];
        if ((wire[i + 1] & 1) == 0) {
            words.push_back(word);
        }
        i += 4;
    }
    return words;
}

// The child's stderr, for a failure's message.
std::string Errors(test::ChildProcess& child) {
    std::string text;
    for (std::string line; !(line = child.Line(true, 1s)).empty();) {
        text += line + "\n";
    }
    return text;
}

TEST(ConfigExport, FirmwareBuiltFromTheHeaderBringsAChipAtResetToTheFile) {
    const std::string header = testing::TempDir() + "vrx630_config.h";
    std::string printed;
    ASSERT_EQ(Ctl({"config", "export", VRX_EXAMPLE_CONFIG, "--output", header}, printed), 0)
        << printed;
    const struct {
        const char* compiler;
        const char* language;
        const char* standard;
    } builds[] = {{VRX_CC, "c", "-std=c99"}, {VRX_CXX, "c++", "-std=c++17"}};
    for (const auto& build : builds) {
        const std::string program =
            testing::TempDir() + "send_words_" + (build.language[1] ? "cxx" : "c");
        test::ChildProcess compiler(build.compiler, {"-x", build.language, build.standard, "-Wall",
                                                     "-Wextra", "-pedantic", "-Werror",
                                                     "-DVRX_EXPORT_HEADER=\"" + header + "\"",
                                                     VRX_SEND_WORDS_SOURCE, "-o", program});
        ASSERT_EQ(compiler.Wait(120s), 0) << build.standard << "\n" << Errors(compiler);

        sim::PtyBoard board;
        ASSERT_TRUE(board.Start()) << board.ErrorText();
        test::ChildProcess firmware(program, {board.DevicePath()});
        ASSERT_EQ(firmware.Wait(60s), 0) << Errors(firmware);
        EXPECT_EQ(
            Ctl({"--port", board.DevicePath(), "config", "diff", VRX_EXAMPLE_CONFIG}, printed), 0);
        EXPECT_EQ(printed, "") << build.standard;
    }
}

TEST(ConfigExport, TheWordsAreTheWritesOfALoadOnAChipAtReset) {
    std::string hex;
    ASSERT_EQ(Ctl({"config", "export", VRX_EXAMPLE_CONFIG, "--format", "HEX"}, hex), 0) << hex;
    std::vector<uint32_t> exported;
    std::istringstream lines(hex);
    for (std::string line; std::getline(lines, line);) {
        ASSERT_EQ(line.size(), 8u) << line;
        exported.push_back(uint32_t(std::stoul(line, nullptr, 16)));
    }
    // The file differs from reset in every register and RAM word: a load writes them all.
    EXPECT_EQ(exported.size(), ConfigRegisters().size() + kRamWords);

    sim::PtyBoard board;
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    std::string printed;
    ASSERT_EQ(Ctl({"--port", board.DevicePath(), "config", "load", VRX_EXAMPLE_CONFIG}, printed), 0)
        << printed;
    EXPECT_EQ(WordsWritten(board.Trace().Bytes()), exported);
}

} // namespace
} // namespace vrx::ctl
