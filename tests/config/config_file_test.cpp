// Configuration files: what is written reads back the same, and every kind of file that is not
// a configuration is refused with its line and key.
#include "config/config_file.h"

#include <gtest/gtest.h>

#include <string>

namespace vrx {
namespace {

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
    const ParsedConfig read = ParseConfig("# Pr\xC3\xBC"
                                          "fstand \xEF\xB9\xBF\n[file]\nboard = \"\xC2\xA1\"\n"
                                          "[Motor2]\na_max = 0b111\nref_conf = 0b0101\n"
                                          "[RAM]\nRows = [\"00 01 02 03 04 05 06 07 08 09 0a 0b "
                                          "0c 0d 0e ff\"]\n");
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
    EXPECT_EQ(read.config.ram[15], 0xFF);
    EXPECT_FALSE(read.config.ram[16]);
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
    EXPECT_NE(read.error->message.find(GetParam().says), std::string::npos) << read.error->message;
    for (const auto& value : read.config.values) {
        EXPECT_FALSE(value);
    }
    const std::string text = ConfigErrorText("setup.toml", *read.error);
    EXPECT_EQ(text.rfind(GetParam().line > 0 ? "setup.toml, line " : "setup.toml: ", 0), 0u)
        << text;
}

std::string Rows(int count) {
    std::string rows = "[ram]\nrows = [\n";
    for (int i = 0; i < count; ++i) {
        rows += "\"00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\",\n";
    }
    return rows + "]\n";
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFile,
    testing::Values(
        Refused{"not TOML", "[motor1]\nA_MAX = = 1\n", 2, "not TOML"},
        Refused{"not TOML: a letter where a value starts", "[motor1]\nA_MAX = \xC3\xA9\n", 2,
                "not TOML"},
        Refused{"a quoted key of other letters",
                "[motor1]\n\"Pr\xC3\xBC"
                "f\" = 1\n",
                2, "has no field"},
        Refused{"unknown section", "[file]\nformat = 1\n[motor4]\nA_MAX = 1\n", 3, "[motor4]"},
        Refused{"unknown key", "[motor1]\nV_MIN = 1\nSPEED = 3\n", 3, "SPEED"},
        Refused{"a key of another section", "[global]\nA_MAX = 3\n", 2, "A_MAX"},
        Refused{"wrong type", "[motor1]\nA_MAX = \"fast\"\n", 2, "A_MAX must be a whole number"},
        Refused{"a boolean flag", "[global]\nREFMUX = true\n", 2, "REFMUX"},
        Refused{"out of range", "[motor2]\n\nA_MAX = 5000\n", 3, "A_MAX = 5000 is outside 0..2047"},
        Refused{"above range", "[motor3]\nP_DIV = 14\n", 2, "outside 0..13"},
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
