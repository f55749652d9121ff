// vrx630ctl run in-process against a simulated board on a pseudo-terminal: its output in both
// forms, its exit status, and what it refuses before anything goes on the wire.
#include "ctl/ctl_commands.h"
#include "ctl/ctl_run.h"
#include "ctl/stop_request.h"
#include "protocol/pass_row.h"
#include "serial/serial_line.h"
#include "sim/pty_board.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <span>
#include <sstream>
#include <thread>

namespace vrx::ctl {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Frame = std::vector<uint8_t>;

class CtlTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(board.Start()) << board.ErrorText(); }

    // Runs vrx630ctl on the board; the board's trace starts after the detection.
    int Ctl(std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", board.DevicePath()});
        out.str("");
        err.str("");
        board.ClearTrace();
        return ctl::Run(args, out, err);
    }
    // The telegram frames the command sent (the detection burst holds none).
    std::vector<Frame> Frames() {
        const std::vector<uint8_t> wire = board.Trace().Bytes();
        std::vector<Frame> frames;
        for (size_t i = 0; i + 5 <= wire.size(); ++i) {
            if (wire[i] == 0x23) {
                frames.emplace_back(wire.begin() + long(i) + 1, wire.begin() + long(i) + 5);
                i += 4;
            }
        }
        return frames;
    }
    // A file in the test's folder with the text.
    static std::string File(const std::string& name, const std::string& text) {
        const std::string path = testing::TempDir() + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    sim::PtyBoard board;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CtlTest, ResultsForPeopleAndAsJson) {
    ASSERT_EQ(ctl::Run({"--version"}, out, err), 0) << err.str();
    EXPECT_TRUE(out.str().starts_with("vrx630ctl " VRX_VERSION "\n")) << out.str();
    EXPECT_NE(out.str().find("MIT licence"), std::string::npos);
    out.str("");
    // The ports as the program lists them, COM1 to COM9 first; no board needed.
    ASSERT_EQ(ctl::Run({"ports"}, out, err), 0) << err.str();
    EXPECT_TRUE(out.str().starts_with("COM1  /dev/ttyS0\nCOM2  /dev/ttyS1\n")) << out.str();
    ASSERT_EQ(Ctl({"set", "A_MAX", "1000", "--motor", "2"}), 0) << err.str();
    EXPECT_EQ(out.str(), "register  A_MAX\nmotor     2\ntelegram  2C 00 03 E8\nA_MAX     1000\n");
    ASSERT_EQ(Ctl({"--json", "get", "P_DIV", "--motor", "2"}), 0) << err.str();
    EXPECT_EQ(out.str(), "{\"register\":\"P_MUL / P_DIV\",\"motor\":2,\"data\":\"000000\","
                         "\"P_MUL\":0,\"P_DIV\":0}\n");
    ASSERT_EQ(Ctl({"--json", "raw", "2d", "00", "00", "00"}), 0) << err.str();
    EXPECT_TRUE(out.str().ends_with("\"answer\":\"15 00 03 E8\"}\n")) << out.str();
    ASSERT_EQ(Ctl({"identify"}), 0);
    EXPECT_TRUE(out.str().starts_with("board           VRX630 board\n")) << out.str();
    // A bit list is taken and shown as a bit string; the GUI's text with 0b in front.
    ASSERT_EQ(Ctl({"set", "INTERRUPT_MASK=0b00000101", "INTERRUPT_FLAGS=0x3"}), 0) << err.str();
    EXPECT_EQ(Frames().back(), (Frame{0x16, 0, 0x05, 0x03}));
    ASSERT_EQ(Ctl({"get", "INTERRUPT_MASK"}), 0) << err.str();
    EXPECT_NE(out.str().find("INTERRUPT_MASK   0b00000101\nINTERRUPT_FLAGS  0b00000011\n"),
              std::string::npos)
        << out.str();
}

TEST_F(CtlTest, SetKeepsTheFieldsItDoesNotName) {
    ASSERT_EQ(Ctl({"set", "P_MUL", "P_MUL=200", "P_DIV=5"}), 0) << err.str();
    ASSERT_EQ(Ctl({"set", "P_DIV=3"}), 0) << err.str();
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], (Frame{0x13, 0, 0, 0}));   // read first
    EXPECT_EQ(frames[1], (Frame{0x12, 0, 200, 3})); // P_MUL kept
}

TEST_F(CtlTest, MoveKeepsTheParametersItIsNotGiven) {
    ASSERT_EQ(Ctl({"set", "A_MAX=1000"}), 0) << err.str();
    ASSERT_EQ(Ctl({"move", "1", "--mode", "RAMP", "--target", "100"}), 0) << err.str();
    const auto frames = Frames();
    ASSERT_GE(frames.size(), 3u);
    // V_MIN, V_MAX and A_MAX are read before anything is written, and written back as read.
    EXPECT_EQ(std::vector<Frame>(frames.begin(), frames.begin() + 3),
              (std::vector<Frame>{{0x05, 0, 0, 0}, {0x07, 0, 0, 0}, {0x0D, 0, 0, 0}}));
    EXPECT_NE(std::find(frames.begin(), frames.end(), Frame{0x0C, 0, 0x03, 0xE8}), frames.end());
    EXPECT_EQ(frames.back(), (Frame{0x00, 0, 0, 100}));
}

TEST_F(CtlTest, RefusalsSendNothing) {
    // Whole files but for one fault each, which a lenient reader would load as zeros.
    const std::string line = "00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F\r\n";
    const auto ram = [&](const std::string& name, const std::string& third, int lines = 8) {
        std::string text;
        for (int row = 0; row < lines; ++row) {
            text += row == 2 ? third : line;
        }
        return File(name, text);
    };
    const std::string spaced =
        ram("spaced.630", "00,01, 2,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F\n");
    const std::string zz = ram("zz.630", "00,ZZ,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F\n");
    const std::string shortLine = ram("short-line.630", "00,01,02,03\r\n");
    const std::string sevenLines = ram("seven-lines.630", line, 7);
    const std::string noDir = testing::TempDir() + "no/such/dir/ram.630";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"set", "V_MIN=5000"}, 2, "V_MIN: 5000 is out of range 0..2047"},
        {{"set", "A_ACTUAL=1"}, 2, "A_ACTUAL cannot be written"},
        {{"set", "A_MAX"}, 2, "set A_MAX needs FIELD=VALUE"},
        {{"set", "INTERRUPT_MASK", "INTERRUPT_MASK=00000101"}, 2, "write 0b00000101 for bits"},
        {{"get", "NO_SUCH"}, 2, "no register \"NO_SUCH\""},
        {{"get", "SPI_COVER_TELEGRAM", "--motor", "1"}, 2, "is a global register"},
        {{"move", "4", "--mode", "RAMP"}, 2, "N: 4 is out of range 1..3"},
        {{"move", "1", "--mode", "JUMP"}, 2, "\"JUMP\" is not a ramp mode"},
        {{"move", "1", "--mode", "VELOCITY", "--velocity", "2048"},
         2,
         "--velocity: 2048 is out of range -2047..2047"},
        {{"move", "1", "--mode", "VELOCITY", "--velocity", "4096"}, 2, "4096 is out of range"},
        {{"move", "1", "--mode", "RAMP", "--target", "010x"}, 2, "\"010x\" is not a whole number"},
        {{"raw", "1", "2", "3"}, 2, "B3 is required"},
        {{"raw", "GG", "00", "00", "00"}, 2, "B0: \"GG\" is not a hexadecimal byte"},
        {{"ram", "shape", "2"}, 2, "\"2\" is not a number from -1 to 1"},
        {{"ram", "write", spaced}, 2, "line 3, field 3: \" 2\" is not a two-digit"},
        {{"ram", "write", zz}, 2, "line 3, field 2: \"ZZ\""},
        {{"ram", "write", shortLine}, 2, "line 3, field 5: only 4 bytes, sixteen needed"},
        {{"ram", "write", sevenLines}, 2, "line 8, field 1: missing"},
        {{"ram", "write", noDir}, 2, "cannot read " + noDir},
        {{"ram", "read", noDir}, 2, "cannot write " + noDir},
        {{"ram", "shape", "0", "--output", noDir}, 2, "cannot write " + noDir},
        {{"frobnicate"}, 2, "no command \"frobnicate\""},
        {{"config", "export", "x.toml", "--name", "int"}, 2, "--name: \"int\" is a keyword"},
        {{"config", "export", "x.toml", "--format", "pdf"}, 2, "\"pdf\" is no format: c or hex"},
        {{"--clock", "0", "status"}, 2, "--clock: 0 is out of range 1..32"},
        {{"move", "1", "--mode", "RAMP", "--vmax", "5", "--vmax-steps", "10"},
         2,
         "--vmax and --vmax-steps both give V_MAX: give one of them"},
        // VELOCITY writes |velocity| as V_MAX, HOLD no A_MAX: shown, they would lie.
        {{"move", "1", "--mode", "VELOCITY", "--velocity", "9", "--vmax-steps", "9000"},
         2,
         "--vmax-steps is not sent in VELOCITY mode"},
        {{"move", "1", "--mode", "HOLD", "--velocity", "5", "--amax-steps", "100"},
         2,
         "--amax-steps is not sent in HOLD mode"},
        {{"move", "1", "--mode", "VELOCITY", "--target", "5"},
         2,
         "--target is not sent in VELOCITY mode"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Ctl(c.args), c.status) << c.message;
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_TRUE(Frames().empty()) << c.message;
    }
}

TEST_F(CtlTest, FilesAreCheckedBeforeThePortIsOpened) {
    const std::string missing = testing::TempDir() + "missing.toml";
    std::filesystem::remove(missing);
    const std::string config = File("out-of-range.toml", "[motor1]\nA_MAX = 99999\n");
    const std::string ram = File("two-bytes.630", "00,01\n");
    const std::string noDir = testing::TempDir() + "no/such/dir/x.toml";
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"config", "load", missing}, "cannot read " + missing + ": No such file or directory"},
        {{"config", "diff", config}, config + ", line 2, column 9: "},
        {{"config", "export", config, "--output", noDir}, "cannot write " + noDir},
        {{"config", "export", config}, config + ", line 2, column 9: "},
        {{"config", "save", noDir}, "cannot write " + noDir + ": No such file or directory"},
        {{"ram", "write", ram}, ram + " is not a .630 file"},
        {{"ram", "read", noDir}, "cannot write " + noDir + ": No such file or directory"},
        {{"ram", "shape", "0", "--write", "--output", noDir}, "cannot write " + noDir},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Ctl(c.args), 2) << c.message;
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_TRUE(board.Trace().Bytes().empty()) << "not even the detection: " << c.message;
    }
}

TEST_F(CtlTest, ATooSmallAccelerationIsRefusedUnlessForced) {
    const std::vector<std::string> move = {"move",   "1", "--mode", "RAMP", "--target", "100",
                                           "--vmin", "0", "--vmax", "100",  "--amax",   "0"};
    EXPECT_EQ(Ctl(move), 2);
    EXPECT_NE(err.str().find("below the smallest advisable value 1"), std::string::npos);
    EXPECT_EQ(Frames(), (std::vector<Frame>{{0x19, 0, 0, 0}})); // nothing written
    auto forced = move;
    forced.push_back("--force");
    EXPECT_EQ(Ctl(forced), 0) << err.str();
    EXPECT_EQ(Frames().back(), (Frame{0x00, 0, 0, 100}));
}

TEST_F(CtlTest, AMoveThatWouldSendNothingUsableIsRefused) {
    const Frame readDividers{0x19, 0, 0, 0};
    const struct {
        std::string dividers;
        std::vector<std::string> values;
        std::string message;
    } cases[] = {
        // Rounded to 0, the motor would never start.
        {"PULSDIV=7",
         {"--vmax-steps", "0.1"},
         "--vmax-steps: 0.1 steps/s is below the smallest step, 1.907 steps/s at PULSDIV 7 and "
         "16 MHz"},
        {"PULSDIV=0",
         {"--amax-steps", "5000"},
         "--amax-steps: 5,000 steps/s² is below the "
         "smallest step, 476,837 steps/s² at PULSDIV 0, "
         "RAMPDIV 0 and 16 MHz"},
        // The advisable minimum 4096 lies beyond A_MAX: the dividers are what can change.
        {"RAMPDIV=13",
         {"--amax", "2047"},
         "no A_MAX is advisable for PULSDIV 0 and RAMPDIV 13: it would take 4096, more than "
         "A_MAX holds (2047); a RAMPDIV of at most PULSDIV + 11 (here 11)"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Ctl({"set", "PULSDIV", "PULSDIV=0", "RAMPDIV=0"}), 0) << err.str();
        ASSERT_EQ(Ctl({"set", c.dividers}), 0) << err.str();
        std::vector<std::string> move = {"move", "1", "--mode", "RAMP", "--target", "100"};
        move.insert(move.end(), c.values.begin(), c.values.end());
        EXPECT_EQ(Ctl(move), 2) << c.message;
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(Frames().back(), readDividers) << "nothing written: " << c.message;
    }
}

TEST_F(CtlTest, StepRatesFollowTheClockAndTheDividersReadFromTheChip) {
    ASSERT_EQ(Ctl({"set", "PULSDIV", "PULSDIV=7", "RAMPDIV=7"}), 0) << err.str();
    ASSERT_EQ(Ctl({"set", "V_MAX=500"}), 0) << err.str(); // not what the move below sends
    const auto stepRate = [&](const std::string& clock) {
        EXPECT_EQ(Ctl({"--json", "--clock", clock, "get", "V_MAX"}), 0) << err.str();
        return nlohmann::json::parse(out.str()).at("V_MAX_STEPS_S").get<double>();
    };
    EXPECT_DOUBLE_EQ(stepRate("16"), 16e6 * 500 / (128 * 2048 * 32));
    EXPECT_DOUBLE_EQ(stepRate("32"), 2 * stepRate("16"));

    // 1,907 steps/s at PULSDIV 7 is V_MAX 1000, sent after the dividers are read.
    ASSERT_EQ(Ctl({"move", "1", "--mode", "RAMP", "--target", "100", "--vmax-steps", "1907",
                   "--amax", "1000"}),
              0)
        << err.str();
    EXPECT_NE(out.str().find("V_MAX          1000\nV_MAX_STEPS_S  1,907 steps/s\n"),
              std::string::npos)
        << out.str();
    auto frames = Frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), (Frame{0x19, 0, 0, 0}));
    EXPECT_NE(std::find(frames.begin(), frames.end(), Frame{0x06, 0, 0x03, 0xE8}), frames.end());
    // 5,000 steps/s is beyond V_MAX 2047 there: refused once the dividers are read.
    EXPECT_EQ(Ctl({"move", "1", "--mode", "RAMP", "--target", "0", "--vmax-steps", "5000"}), 2);
    EXPECT_NE(err.str().find("--vmax-steps: 5,000 steps/s fits no V_MAX: 0..2047 is 0 to 3,904 "
                             "steps/s at PULSDIV 7 and 16 MHz"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(Frames(), (std::vector<Frame>{{0x19, 0, 0, 0}}));

    ASSERT_EQ(Ctl({"watch", "--units", "--count", "2", "--interval", "0"}), 0) << err.str();
    std::istringstream lines(out.str());
    std::string header, row;
    std::getline(lines, header);
    std::getline(lines, row);
    EXPECT_EQ(header, PassCsvHeader(true));
    EXPECT_TRUE(header.ends_with(",STATUS,V_ACTUAL_1_STEPS_S,A_ACTUAL_1_STEPS_S2,"
                                 "V_TARGET_1_STEPS_S,V_ACTUAL_2_STEPS_S"
                                 ",A_ACTUAL_2_STEPS_S2,V_TARGET_2_STEPS_S,V_ACTUAL_3_STEPS_S,"
                                 "A_ACTUAL_3_STEPS_S2,V_TARGET_3_STEPS_S"))
        << header;
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), 22) << row;
}

TEST_F(CtlTest, MoveWithWaitReturnsWhenTheMotorHasArrived) {
    ASSERT_EQ(Ctl({"move", "2", "--mode", "RAMP", "--target", "300", "--vmax", "1000", "--amax",
                   "1000", "--wait"}),
              0)
        << err.str();
    EXPECT_TRUE(out.str().ends_with("X_ACTUAL  300\n")) << out.str();
    EXPECT_EQ(board.With([](sim::SimulatedBoard& b) { return b.Model().Motor(1).XActual(); }), 300);
}

TEST_F(CtlTest, MoveWithWaitGivesUpOnAMotorThatStandsStill) {
    const auto start = Clock::now();
    EXPECT_EQ(Ctl({"move", "1", "--mode", "RAMP", "--target", "100", "--vmax", "0", "--amax",
                   "1000", "--wait"}),
              1);
    EXPECT_LT(Clock::now() - start, 3s);
    EXPECT_EQ(err.str(), "vrx630ctl: motor 1 does not move\n");
}

TEST_F(CtlTest, RamFileRoundTripAndWatch) {
    const std::string file = testing::TempDir() + "ctl_ram.630";
    ASSERT_EQ(Ctl({"ram", "shape", "-1", "--write"}), 0) << err.str();
    ASSERT_EQ(Ctl({"ram", "read", file}), 0) << err.str();
    EXPECT_EQ(std::filesystem::file_size(file), 392u);
    ASSERT_EQ(Ctl({"ram", "write", file}), 0) << err.str();
    EXPECT_EQ(Frames().size(), 64u);
    EXPECT_EQ(board.With([](sim::SimulatedBoard& b) { return b.Model().RamWord(48); }),
              0x2020); // the triangle's entries 32 and 33
    // The recorder's header and rows; --interval 0 reads back to back.
    ASSERT_EQ(Ctl({"watch", "--count", "2", "--interval", "0"}), 0) << err.str();
    std::istringstream lines(out.str());
    std::string header, first, second, extra;
    std::getline(lines, header);
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(header, PassCsvHeader());
    EXPECT_EQ(std::count(second.begin(), second.end(), ','), 13);
    EXPECT_FALSE(std::getline(lines, extra));
    EXPECT_EQ(Frames().size(), 24u) << "two passes of twelve reads, nothing between";
}

// A RAMP move of about half a second caught at its arrival: the passes of 200 ms before it with
// time_ms below 0, the arrival at 0, and the passes of 100 ms after it.
TEST_F(CtlTest, AWatchWithATriggerCatchesTheArrival) {
    ASSERT_EQ(Ctl({"set", "PULSDIV", "PULSDIV=7", "RAMPDIV=7"}), 0) << err.str();
    ASSERT_EQ(Ctl({"move", "1", "--mode", "RAMP", "--target", "1000", "--vmin", "1", "--vmax",
                   "1000", "--amax", "1000"}),
              0)
        << err.str();
    ASSERT_EQ(Ctl({"watch", "--trigger", "arrived:1", "--interval", "0", "--pre-ms", "200",
                   "--post-ms", "100"}),
              0)
        << err.str();
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, PassCsvHeader());
    std::vector<std::pair<int, std::string>> rows;
    while (std::getline(lines, line)) {
        rows.emplace_back(std::stoi(line), line);
    }
    ASSERT_GE(rows.size(), 3u);
    EXPECT_GE(rows.front().first, -200);
    EXPECT_LT(rows.front().first, 0);
    // The trigger is the first pass with the arrival's bit, at 0 (passes read in the same
    // millisecond before it are at 0 too). A pass reads X_ACTUAL before the status, so the
    // trigger's own pass may show the last steps still to go; the one after it the target.
    const auto arrived = [](const std::string& row) {
        return (std::stoi(row.substr(row.rfind(',') + 1)) & 1) == 1;
    };
    const auto xActual = [](const std::string& row) {
        return std::stoi(row.substr(row.find(',') + 1));
    };
    const auto arrival =
        std::find_if(rows.begin(), rows.end(), [&](auto& r) { return arrived(r.second); });
    ASSERT_NE(arrival, rows.end());
    ASSERT_NE(arrival, rows.begin());
    ASSERT_NE(arrival + 1, rows.end());
    EXPECT_EQ(arrival->first, 0);
    EXPECT_GE(xActual(arrival->second), 990);
    EXPECT_EQ(xActual((arrival + 1)->second), 1000) << "X_ACTUAL_1 at the target";
    EXPECT_FALSE(arrived((arrival - 1)->second)) << "the pass before: not yet";
    EXPECT_GE(rows.back().first, 100);
    EXPECT_EQ(Ctl({"watch", "--trigger", "arrived:4"}), 2);
    EXPECT_NE(err.str().find("--trigger: \"arrived:4\" names no motor 1..3"), std::string::npos)
        << err.str();
}

TEST_F(CtlTest, EveryJsonLineParsesAndErrorsCarryTheirStatus) {
    const std::string file = testing::TempDir() + "ctl_json.630";
    const std::vector<std::vector<std::string>> commands = {
        {"identify"},
        {"status"},
        {"get", "USTEP_RES", "--motor", "3"},
        {"get", "reference switch inputs"},
        {"set", "SPI_COVER_LEN=4"},
        {"move", "1", "--mode", "HOLD", "--velocity", "0"},
        {"stop", "all"},
        {"raw", "2d", "00", "00", "00"},
        {"watch", "--count", "2", "--interval", "10"},
        {"watch", "--units", "--count", "2", "--interval", "0"},
        {"move", "2", "--mode", "RAMP", "--vmax-steps", "100", "--amax-steps", "1e6"},
        {"ram", "shape", "0"},
        {"ram", "read", file},
        {"ram", "write", file},
        {"get", "NO_SUCH"},
        {"raw", "GG", "00", "00", "00"},
        {"frobnicate", "--json"},
        {"move", "1", "--mode", "RAMP", "--target", "1", "--amax", "0"},
    };
    const std::regex identifier("[A-Za-z_][A-Za-z0-9_]*");
    for (std::vector<std::string> args : commands) {
        const std::string what = args[0];
        args.insert(args.begin(), "--json");
        const int status = Ctl(args);
        std::istringstream lines(out.str());
        int results = 0;
        for (std::string line; std::getline(lines, line); ++results) {
            const auto object = nlohmann::json::parse(line);
            ASSERT_TRUE(object.is_object()) << line;
            for (const auto& item : object.items()) {
                EXPECT_TRUE(std::regex_match(item.key(), identifier)) << item.key();
            }
        }
        if (status == 0) {
            EXPECT_GT(results, 0) << what;
            EXPECT_EQ(err.str(), "") << what;
            continue;
        }
        const auto error = nlohmann::json::parse(err.str());
        EXPECT_EQ(error.size(), 2u) << err.str();
        EXPECT_TRUE(error.at("error").is_string()) << err.str();
        EXPECT_EQ(error.at("exit_status"), status) << err.str();
    }
}

TEST_F(CtlTest, ASilentBoardAndAPortInUseAreReported) {
    SerialLine holder;
    int error = 0;
    ASSERT_TRUE(holder.Open(board.DevicePath(), LineSettings(), error));
    EXPECT_EQ(Ctl({"status"}), 1);
    EXPECT_NE(err.str().find("in use by another program"), std::string::npos) << err.str();
    holder.Close();

    sim::LineOptions silent;
    silent.silent = true;
    board.SetOptions(silent);
    EXPECT_EQ(Ctl({"status"}), 1);
    EXPECT_EQ(err.str(), "vrx630ctl: the board does not respond\n");
}

TEST_F(CtlTest, AStopRequestEndsTheWaitForASilentBoard) {
    sim::LineOptions silent;
    silent.silent = true;
    board.SetOptions(silent);
    std::thread request([] {
        std::this_thread::sleep_for(200ms); // well into the reply timeout of two seconds
        g_stopRequested = true;
    });
    const auto start = Clock::now();
    EXPECT_EQ(Ctl({"status"}), 1);
    EXPECT_LT(Clock::now() - start, 1s);
    request.join();
    g_stopRequested = false;
    EXPECT_EQ(err.str(), "vrx630ctl: interrupted\n");
}

// A stop request raised as the board receives write number kStopAtWrite: Ctrl+C while a command
// writes to a board that answers at once.
class CtlStopTest : public CtlTest {
protected:
    static constexpr int kStopAtWrite = 21;

    void SetUp() override {
        board.SetReceiveObserver([this](std::span<const sim::TraceEntry> entries) {
            for (const sim::TraceEntry& e : entries) {
                if (frameLeft > 0) {
                    // A write's first byte is even; the stop comes before its answer goes out.
                    if (frameLeft-- == 4 && (e.byte & 1) == 0 && ++writes == kStopAtWrite) {
                        g_stopRequested = true;
                    }
                } else if (e.byte == 0x23) {
                    frameLeft = 4;
                }
            }
        });
        CtlTest::SetUp();
    }
    void TearDown() override { g_stopRequested = false; }

    int frameLeft = 0;
    std::atomic<int> writes{0};
};

TEST_F(CtlStopTest, AStopBetweenWritesEndsALoadOrRamWriteSayingHowFarItGot) {
    // Every RAM word differs from the chip's zeros, by its low byte in the configuration.
    std::string row, line;
    for (int i = 0; i < 16; ++i) {
        row += std::string(i ? " " : "") + (i % 2 ? "00" : "5A");
        line += std::string(i ? "," : "") + "5A";
    }
    std::string rows, lines;
    for (int i = 0; i < 8; ++i) {
        rows += std::string(i ? ", " : "") + "\"" + row + "\"";
        lines += line + "\n";
    }
    const std::string config =
        File("ram-5a.toml", "[file]\nformat = 1\n[ram]\nrows = [" + rows + "]\n");
    const std::string ram = File("ram-5a.630", lines);
    const struct {
        std::vector<std::string> args;
        int linesPerWrite; // on stdout, for each write the board took
        std::string left;
    } cases[] = {
        {{"config", "load", config},
         1,
         " of 64 writes; the chip is partly configured (config diff " + config +
             " shows what differs)"},
        {{"ram", "write", ram},
         0,
         " of 64 words; the RAM is partly written (ram write " + ram + " writes it again)"},
    };
    for (const auto& c : cases) {
        writes = 0;
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "--json");
        EXPECT_EQ(Ctl(args), 1) << err.str();
        g_stopRequested = false;
        const auto error = nlohmann::json::parse(err.str());
        const int written = error.at("written");
        EXPECT_EQ(error.at("planned"), 64) << err.str();
        EXPECT_EQ(error.at("error"), "interrupted after " + std::to_string(written) + c.left);
        // The write on the line when the stop came is the last; its answer may be in or not.
        const auto frames = Frames();
        EXPECT_EQ(std::count_if(frames.begin(), frames.end(),
                                [](const Frame& f) { return (f[0] & 1) == 0; }),
                  kStopAtWrite);
        EXPECT_TRUE(written == kStopAtWrite || written == kStopAtWrite - 1) << written;
        const std::string shown = out.str();
        EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), c.linesPerWrite * written) << shown;
    }
}

TEST_F(CtlTest, ConfigSaveDiffAndLoadWriteOnlyWhatDiffers) {
    const std::string path = testing::TempDir() + "bench.toml";
    ASSERT_EQ(Ctl({"set", "A_MAX=1000", "--motor", "2"}), 0) << err.str();
    ASSERT_EQ(Ctl({"config", "save", path}), 0) << err.str();
    ASSERT_EQ(Ctl({"set", "A_MAX=50", "--motor", "2"}), 0) << err.str();
    const auto writes = [&] {
        std::vector<Frame> frames = Frames();
        std::erase_if(frames, [](const Frame& f) { return (f[0] & 1) != 0; });
        return frames;
    };

    ASSERT_EQ(Ctl({"config", "diff", path}), 0) << err.str();
    EXPECT_EQ(out.str(), "motor2.A_MAX  chip 50  file 1000\n");
    ASSERT_EQ(Ctl({"--json", "config", "load", "--dry-run", path}), 0) << err.str();
    EXPECT_EQ(
        nlohmann::json::parse(out.str()),
        nlohmann::json::parse(R"({"section":"motor2","field":"A_MAX","chip":50,"file":1000})"));
    EXPECT_TRUE(writes().empty());
    ASSERT_EQ(Ctl({"config", "load", path}), 0) << err.str();
    EXPECT_EQ(out.str(), "motor2.A_MAX  chip 50  file 1000\n");
    EXPECT_EQ(writes(), (std::vector<Frame>{{0x2C, 0, 0x03, 0xE8}}));
    ASSERT_EQ(Ctl({"config", "diff", path}), 0) << err.str();
    EXPECT_EQ(out.str(), "") << "the chip matches the file";

    const std::string bad = File("bad.toml", "[motor2]\nA_MAX = 7\nX_TARGET = 5\n");
    EXPECT_EQ(Ctl({"config", "load", bad}), 2);
    EXPECT_EQ(err.str(), "vrx630ctl: " + bad +
                             ", line 3, column 1: [motor2] X_TARGET moves the motor; a "
                             "configuration does "
                             "not hold it.\n");
    EXPECT_TRUE(Frames().empty());
}

TEST_F(CtlTest, WhatTheChipHoldsIsSavedLoadedBackAndSetWithForce) {
    // Beyond the advised ranges: all twelve telegram bits of V_MAX, PULSDIV 15, P_MUL 0.
    ASSERT_EQ(Ctl({"raw", "06", "00", "0F", "FF"}), 0) << err.str();
    EXPECT_EQ(Ctl({"set", "PULSDIV=15"}), 2);
    EXPECT_NE(err.str().find("PULSDIV: 15 is out of range 0..13; the chip holds it: --force"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(Ctl({"set", "PULSDIV=16", "--force"}), 2) << "beyond the field's four bits";
    ASSERT_EQ(Ctl({"set", "PULSDIV=15", "--force"}), 0) << err.str();
    ASSERT_EQ(Ctl({"set", "P_MUL=0", "P_DIV=0", "--force"}), 0) << err.str();
    // V_MAX means the eleven bits the chip keeps: 2047, not 4095.
    ASSERT_EQ(Ctl({"--json", "get", "V_MAX"}), 0) << err.str();
    EXPECT_DOUBLE_EQ(nlohmann::json::parse(out.str()).at("V_MAX_STEPS_S").get<double>(),
                     16e6 * 2047 / (32768.0 * 2048 * 32));

    const std::string path = testing::TempDir() + "edges.toml";
    ASSERT_EQ(Ctl({"config", "save", path}), 0) << err.str();
    ASSERT_EQ(Ctl({"config", "load", path}), 0) << err.str();
    EXPECT_EQ(out.str(), "") << "what save writes, load restores, and nothing differs";
}

TEST_F(CtlTest, PortsInBothFormsAndAByIdPathOpensAsAnyDevice) {
    const std::vector<SerialPortInfo> ports = {
        {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "/dev/ttyUSB0",
         "FTDI FT232R USB UART (A1B2C3)", "FTDI FT232R USB UART (A1B2C3) on ttyUSB0"},
        {"/dev/ttyACM0", "/dev/ttyACM0", "", "/dev/ttyACM0"}};
    Output people(out, false);
    Ports(ports, people);
    EXPECT_EQ(out.str(),
              "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0  "
              "/dev/ttyUSB0  FTDI FT232R USB UART (A1B2C3)\n/dev/ttyACM0  /dev/ttyACM0\n");
    out.str("");
    Output json(out, true);
    Ports(ports, json);
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    const nlohmann::json expected = {{"port", ports[0].port},
                                     {"device", "/dev/ttyUSB0"},
                                     {"description", "FTDI FT232R USB UART (A1B2C3)"}};
    EXPECT_EQ(nlohmann::json::parse(line), expected);

    // A by-id link opens the device it points at.
    const std::string link = testing::TempDir() + "usb-VRX630_kit_0001-if00-port0";
    std::filesystem::remove(link);
    std::filesystem::create_symlink(board.DevicePath(), link);
    std::vector<std::string> args = {"--port", link, "identify"};
    out.str("");
    EXPECT_EQ(ctl::Run(args, out, err), 0) << err.str();
    EXPECT_TRUE(out.str().starts_with("board           VRX630 board\n")) << out.str();
}

TEST(Ctl, HelpListsTheRegistersWithTheirFieldsAndShapesNeedNoBoard) {
    std::ostringstream out, err;
    EXPECT_EQ(ctl::Run({"--help"}, out, err), 0);
    EXPECT_NE(out.str().find("P_MUL / P_DIV           P_MUL=128..255 P_DIV=0..13\n"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("INTERRUPT_MASK=0b00000000..0b11111111"), std::string::npos);
    EXPECT_NE(out.str().find("SPI_COVER_POS=0..63 SPI_COVER_LEN=0..31"), std::string::npos);
    out.str("");
    EXPECT_EQ(ctl::Run({"help", "move"}, out, err), 0);
    EXPECT_NE(out.str().find("--amax A:0..2047"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find("P_MUL"), std::string::npos); // one command's options only
    out.str("");
    EXPECT_EQ(ctl::Run({"ram", "shape", "--help"}, out, err), 0);
    EXPECT_NE(out.str().find("--output FILE"), std::string::npos) << out.str();
    out.str("");
    EXPECT_EQ(ctl::Run({"ram", "shape", "1"}, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("2B 2D 2D"), std::string::npos);
    EXPECT_EQ(ctl::Run({"status"}, out, err), 2);
}

} // namespace
} // namespace vrx::ctl
