// Configuration files: what is written reads back the same, and every kind of file that is not
// a configuration is refused with its line and key.
#include "config/config_file.h"

#include <gtest/gtest.h>

#include <string>

namespace vrx {
namespace {

// A [ram] section of `count` rows, the last byte of each row its number.
std::string Rows(int count, const std::string& head = "[ram]\nrows") {
    std::string rows = head + " = [\n";
    for (int i = 0; i < count; ++i) {
        rows +=
            "\"00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 0" + std::to_string(i % 10) + "\",\n";
    }
    return rows + "]\n";
}

// Every field at a value of its own within its range, and every RAM byte.
ChipConfig FullConfig() {
    ChipConfig config;
    const auto& entries = ConfigEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const Field& field = FieldOf(entries[i]);
        config.values[i] = field.min + int32_t(i * 37 % size_t(field.max - field.min + 1));
    }
    for (int address = 0; address < kRamBytes; ++address) {
        config.ram[size_t(address)] = uint8_t(address * 7 + 3);
    }
    return config;
}

TEST(ConfigFile, AFullConfigurationReadsBackAsItWasWritten) {
    const ChipConfig written = FullConfig();
    const std::string text =
        ConfigText(written, {"vrx630ctl\t1.0.0.0", "VRX630 \"test\" board \\"});
    const ParsedConfig read = ParseConfig(text);
    ASSERT_FALSE(read.error) << read.error->message << "\n" << text;
    EXPECT_EQ(read.config.values, written.values);
    EXPECT_EQ(read.config.ram, written.ram);
    // One key a line, in register order; bit lists as binary of the field's width.
    EXPECT_NE(text.find("[motor2]\nV_MIN = "), std::string::npos) << text;
    EXPECT_NE(text.find("\nREF_CONF = 0b"), std::string::npos);
    EXPECT_NE(text.find("\nUSTEP_RES = "), std::string::npos);
    EXPECT_NE(text.find("\nSPI_COVER_LEN = "), std::string::npos);
    EXPECT_EQ(text.find("RAMP_MODE"), std::string::npos);
    EXPECT_EQ(text.find("INTERRUPT_FLAGS"), std::string::npos);
}

TEST(ConfigFile, KeysAndSectionsInAnyCaseAndWhatIsLeftOutStaysUnset) {
    // Any text in a comment; a byte-order mark, as Windows editors write one.
    const ParsedConfig read =
        ParseConfig("\xEF\xBB\xBF# Pr\xC3\xBC"
                    "fstand \xEF\xB9\xBF\n[File]\nFormat = 1 # \xE2\x80\x9Cmine\xE2\x80\x9D\n"
                    "board = \"a # b\" \n[Motor2]\na_max = 0b111\nref_conf = 0b0101\n" +
                    Rows(8, "[RAM]\nRows"));
    ASSERT_FALSE(read.error) << read.error->message;
    const auto aMax = FindEntry(ConfigSection::Motor2, "A_MAX");
    const auto refConf = FindEntry(ConfigSection::Motor2, "REF_CONF");
    ASSERT_TRUE(aMax && refConf);
    for (size_t i = 0; i < read.config.values.size(); ++i) {
        if (i == *aMax) {
            EXPECT_EQ(read.config.values[i], 7);
        } else if (i == *refConf) {
            EXPECT_EQ(read.config.values[i], 5);
        } else {
            EXPECT_FALSE(read.config.values[i]) << ConfigEntries()[i].key;
        }
    }
    EXPECT_EQ(read.config.ram[127], 0x07);
}

struct Refused {
    const char* what;
    std::string text;
    int line;
    const char* says; // part of the message
};

void PrintTo(const Refused& c, std::ostream* os) {
    *os << c.what;
}

class RefusedFile : public testing::TestWithParam<Refused> {};

TEST_P(RefusedFile, NamesTheLineAndTheKeyAndTakesNothing) {
    const ParsedConfig read = ParseConfig(GetParam().text);
    ASSERT_TRUE(read.error);
    EXPECT_EQ(read.error->line, GetParam().line) << read.error->message;
    const std::string text = ConfigErrorText("setup.toml", *read.error);
    EXPECT_NE(text.find(GetParam().says), std::string::npos) << text;
    for (const auto& value : read.config.values) {
        EXPECT_FALSE(value);
    }
    EXPECT_EQ(text.rfind(GetParam().line > 0 ? "setup.toml, line " : "setup.toml: ", 0), 0u)
        << text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFile,
    testing::Values(
        Refused{"not TOML", "[motor1]\nA_MAX = = 1\n", 2, "not TOML"},
        Refused{"a letter beyond ASCII where a value starts", "[motor1]\nA_MAX = \xC3\xA9\n", 2,
                "line 2, column 9: a character that is not ASCII"},
        Refused{"a quoted key of other letters",
                "[motor1]\n\"Pr\xC3\xBC"
                "f\" = 1\n",
                2, "column 4: a character that is not ASCII"},
        Refused{"a section of other letters", "[\xC3\xB6]\n", 1,
                "line 1, column 2: a character that is not ASCII"},
        Refused{"a no-break space in a header", "[file]\nformat = 1\n[\xC2\xA0motor1]\n", 3,
                "not ASCII"},
        Refused{"curly quotes from a word processor",
                "[\xE2\x80\x9Cmotor1\xE2\x80\x9D]\nA_MAX = 1\n", 1, "not ASCII"},
        Refused{"a letter beyond ASCII in a string, a # before it",
                "[file]\nformat = 1\nboard = \"#\xC3\xA9\"\n", 3, "column 11: a character"},
        Refused{"a letter beyond ASCII after a multi-line string",
                "[file]\nformat = 1\nboard = \"\"\"a\n#\"\"\" \xC3\xA9\n", 4, "not ASCII"},
        Refused{"a brace closing a list, which the parser asserts on",
                "[file]\nformat = 1\n[ram]\nrows = [\"00 00\", }\n", 0, "not TOML"},
        Refused{"an empty file", "", 0, "not a configuration file: [file] format is missing"},
        Refused{"no [file] section", "[motor1]\nA_MAX = 1\n", 0, "[file] format is missing"},
        Refused{"[file] without format", "[file]\nboard = \"x\"\n", 0, "format is missing"},
        Refused{"no RAM rows", "[file]\nformat = 1\n[ram]\nrows = []\n", 4, "holds 0 of the 8"},
        Refused{"one RAM row", "[file]\nformat = 1\n" + Rows(1), 4, "holds 1 of the 8"},
        Refused{"an empty [ram]", "[file]\nformat = 1\n[ram]\n", 3, "[ram] has no rows"},
        Refused{"unknown section", "[file]\nformat = 1\n[motor4]\nA_MAX = 1\n", 3, "[motor4]"},
        Refused{"unknown key", "[motor1]\nV_MIN = 1\nSPEED = 3\n", 3, "SPEED"},
        Refused{"a key of another section", "[global]\nA_MAX = 3\n", 2, "A_MAX"},
        Refused{"wrong type", "[motor1]\nA_MAX = \"fast\"\n", 2, "A_MAX must be a whole number"},
        Refused{"a boolean flag", "[global]\nREFMUX = true\n", 2, "REFMUX"},
        Refused{"out of range", "[motor2]\n\nA_MAX = 5000\n", 3, "A_MAX = 5000 is outside 0..2047"},
        Refused{"above range", "[motor3]\nP_DIV = 16\n", 2, "outside 0..15"},
        Refused{"negative", "[motor3]\nV_MAX = -1\n", 2, "outside 0..2047"},
        Refused{"moves a motor", "[motor1]\nX_TARGET = 100\n", 2, "X_TARGET moves the motor"},
        Refused{"the ramp mode", "[motor1]\nramp_mode = 2\n", 2, "RAMP_MODE moves the motor"},
        Refused{"only reports", "[motor1]\nINTERRUPT_FLAGS = 0\n", 2, "only reports"},
        Refused{"the cover telegram", "[global]\nSPI_COVER_TELEGRAM = 1\n", 2,
                "SPI_COVER_TELEGRAM"},
        Refused{"format 2", "[file]\nformat = 2\n", 2, "format must be 1"},
        Refused{"a key of [file]", "[file]\nformat = 1\nauthor = \"me\"\n", 3, "author"},
        Refused{"a key outside any section", "A_MAX = 100\n", 1, "not a section"},
        Refused{"the same key twice", "[motor1]\nA_MAX = 1\na_max = 2\n", 3, "twice"},
        Refused{"a short RAM row", "[ram]\nrows = [\"00 01\"]\n", 2, "row 1"},
        Refused{"a RAM byte of three digits", "[ram]\nrows = [\n\"000 01\"]\n", 3, "row 1"},
        Refused{"a RAM byte that is not hex",
                "[ram]\nrows = [\"ZZ 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\"]\n", 2,
                "row 1"},
        Refused{"nine RAM rows", Rows(9), 11, "more than 8 rows"},
        Refused{"rows not a list", "[ram]\nrows = 5\n", 2, "list of strings"},
        Refused{"larger than 1 MiB", "#" + std::string(kMaxConfigFileBytes, 'x'), 0,
                "larger than 1 MiB"}));

} // namespace
} // namespace vrx
