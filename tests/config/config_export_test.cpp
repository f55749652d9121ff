// The export of a configuration for firmware: the digest that names its source, the names it
// takes, what each word's comment says, and the export of the example file kept whole.
#include "config/config_commands.h"
#include "config/config_export.h"
#include "config/sha256.h"
#include "protocol/command_errors.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace vrx {
namespace {

TEST(Sha256, KnownDigestsAcrossThePaddingBoundaries) {
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {std::string(119, 'a'), "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sha256Hex(c.message), c.digest) << c.message.size() << " bytes";
    }
}

TEST(ConfigExport, NamesAreCIdentifiersThatNeitherLanguageReserves) {
    const struct {
        std::string name;
        const char* problem; // a part of it; empty: taken
    } cases[] = {
        {"vrx630_config", ""},
        {"axis_2", ""},
        {"A", ""},
        {std::string(57, 'n'), ""},
        {"", "is not a C identifier"},
        {"9lives", "is not a C identifier"},
        {"bench-config", "is not a C identifier"},
        {"caf\xC3\xA9", "is not a C identifier"},
        {std::string(58, 'n'), "is longer than 57 characters"},
        {"int", "is a keyword of C or C++"},
        {"class", "is a keyword of C or C++"},
        {"_config", "is reserved"},
        {"my__words", "is reserved"},
        {"config_t", "ends in _t"},
    };
    for (const auto& c : cases) {
        const std::string problem = ExportNameProblem(c.name);
        if (*c.problem == '\0') {
            EXPECT_EQ(problem, "") << c.name;
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << c.name << ": " << problem;
        }
    }
}

// A configuration from a file's text, which must be taken.
ChipConfig Parsed(const std::string& text) {
    const ParsedConfig parsed = ParseConfig("[file]\nformat = 1\n" + text);
    EXPECT_FALSE(parsed.error) << (parsed.error ? parsed.error->message : "");
    return parsed.config;
}

// The line of the export that holds `start`, from there on.
std::string LineWith(const std::string& text, const std::string& start) {
    const size_t at = text.find(start);
    return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
}

TEST(ConfigExport, EachWordSaysItsFieldsAndItsStepsPerSecondAtTheClock) {
    const ChipConfig config = Parsed("[motor1]\nV_MAX = 1000\nA_MAX = 1000\nREF_CONF = 0b0011\n"
                                     "[motor2]\nPULSDIV = 5\nRAMPDIV = 7\nV_MIN = 1000\n"
                                     "A_MAX = 1000\n");
    const struct {
        int clockMhz;
        std::string line; // the word's line, from its word on
    } cases[] = {
        // PULSDIV 0 and RAMPDIV 0 at reset: f = 16 MHz * 1000 / 65536
        {16, "0x06000"
             "3E8u, /* motor 1 register 3: V_MAX 1000 = 244,141 steps/s */"},
        {16, "0x0C00"
             "03E8u, /* motor 1 register 6: A_MAX 1000 = 476,837,158 steps/s^2 */"},
        {16, "0x14000300u, /* motor 1 register 10: REF_CONF 0b0011, RAMP_MODE 0 */"},
        // A_MAX and V_MIN are written before the dividers that they are told at.
        {16, "0x240003E8u, /* motor 2 register 2: V_MIN 1000 = 7,629 steps/s */"},
        {16, "0x2C0003E8u, /* motor 2 register 6: A_MAX 1000 = 116,415 steps/s^2 */"},
        {32, "0x240003E8u, /* motor 2 register 2: V_MIN 1000 = 15,259 steps/s */"},
        {32, "0x2C0003E8u, /* motor 2 register 6: A_MAX 1000 = 465,661 steps/s^2 */"},
        {16, "0x38005700u, /* motor 2 register 12: PULSDIV 5, RAMPDIV 7, USTEP_RES 0 */"},
        {16, "0x80000000u, /* RAM word 0: byte 0x00 = 0x00, byte 0x01 = 0x00 */"},
    };
    for (const auto& c : cases) {
        ExportOptions options;
        options.clockMhz = c.clockMhz;
        const std::string text = ExportText(config, {"bench.toml", "ab12"}, options);
        const std::string word = c.line.substr(0, c.line.find(','));
        EXPECT_EQ(LineWith(text, word), c.line) << c.clockMhz << " MHz";
    }
}

TEST(ConfigExport, TheOpeningCommentHoldsAnyNameSafely) {
    const std::string text =
        ExportText(ChipConfig(), {"odd*/name\n.toml", {}}, ExportOptions{"board_setup"});
    EXPECT_NE(text.find("from odd* /name?.toml\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("*/"), text.find("\n */\n") + 2) << "the first end is the comment's own";
    EXPECT_NE(text.find("#define board_setup_WORDS 93\n"), std::string::npos);
    EXPECT_NE(text.find("static const uint32_t board_setup[board_setup_WORDS] = {"),
              std::string::npos);
    EXPECT_THROW(ExportText(ChipConfig(), {}, ExportOptions{"int"}), std::invalid_argument);
}

TEST(ConfigExport, TheExampleFileExportsAsKept) {
    std::ifstream golden(VRX_EXPORT_GOLDEN, std::ios::binary);
    ASSERT_TRUE(golden) << VRX_EXPORT_GOLDEN;
    std::ostringstream kept;
    kept << golden.rdbuf();
    std::string expected = kept.str();
    // The version is the one part that changes from release to release.
    const std::string token = "@VERSION@";
    expected.replace(expected.find(token), token.size(), VRX_VERSION);
    EXPECT_EQ(ExportConfigFile(VRX_EXAMPLE_CONFIG, {}), expected);

    ExportOptions hex;
    hex.format = ExportFormat::Hex;
    hex.ram = false;
    const std::string words = ExportConfigFile(VRX_EXAMPLE_CONFIG, hex);
    EXPECT_EQ(std::count(words.begin(), words.end(), '\n'), 29);
    EXPECT_EQ(words.substr(0, 9), expected.substr(expected.find("0x") + 2, 8) + "\n");
    EXPECT_THROW(ExportConfigFile(VRX_EXAMPLE_CONFIG, ExportOptions{"9x"}), UsageError);
}

} // namespace
} // namespace vrx
