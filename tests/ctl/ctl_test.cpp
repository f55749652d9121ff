// vrx630ctl run in-process against a simulated board on a pseudo-terminal: its output in both
// forms, its exit status, and what it refuses before anything goes on the wire.
#include "ctl/ctl_run.h"
#include "serial/serial_line.h"
#include "sim/pty_board.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vrx::ctl {
namespace {

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
    std::vector<std::vector<uint8_t>> Frames() {
        const std::vector<uint8_t> wire = board.Trace().Bytes();
        std::vector<std::vector<uint8_t>> frames;
        for (size_t i = 0; i + 5 <= wire.size(); ++i) {
            if (wire[i] == 0x23) {
                frames.emplace_back(wire.begin() + long(i) + 1, wire.begin() + long(i) + 5);
                i += 4;
            }
        }
        return frames;
    }

    sim::PtyBoard board;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CtlTest, ResultsForPeopleAndAsJson) {
    ASSERT_EQ(Ctl({"set", "A_MAX", "1000", "--motor", "2"}), 0) << err.str();
    EXPECT_EQ(out.str(), "register  A_MAX\nmotor     2\ntelegram  2C 00 03 E8\nA_MAX     1000\n");
    ASSERT_EQ(Ctl({"--json", "get", "P_DIV", "--motor", "2"}), 0) << err.str();
    EXPECT_EQ(out.str(), "{\"register\":\"P_MUL / P_DIV\",\"motor\":2,\"data\":\"000000\","
                         "\"P_MUL\":0,\"P_DIV\":0}\n");
    ASSERT_EQ(Ctl({"--json", "raw", "2d", "00", "00", "00"}), 0) << err.str();
    EXPECT_TRUE(out.str().ends_with("\"answer\":\"15 00 03 E8\"}\n")) << out.str();
    ASSERT_EQ(Ctl({"identify"}), 0);
    EXPECT_TRUE(out.str().starts_with("board           VRX630 board\n")) << out.str();
}

TEST_F(CtlTest, SetKeepsTheFieldsItDoesNotName) {
    ASSERT_EQ(Ctl({"set", "P_MUL", "P_MUL=200", "P_DIV=5"}), 0) << err.str();
    ASSERT_EQ(Ctl({"set", "P_DIV=3"}), 0) << err.str();
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], (std::vector<uint8_t>{0x13, 0, 0, 0}));   // read first
    EXPECT_EQ(frames[1], (std::vector<uint8_t>{0x12, 0, 200, 3})); // P_MUL kept
}

TEST_F(CtlTest, RefusalsSendNothing) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"set", "V_MIN=5000"}, 2, "V_MIN 5000 is out of range 0..2047"},
        {{"set", "A_ACTUAL=1"}, 2, "A_ACTUAL cannot be written"},
        {{"get", "NO_SUCH"}, 2, "no register NO_SUCH"},
        {{"move", "4", "--mode", "RAMP"}, 2, "the motor 4 is out of range 1..3"},
        {{"move", "1", "--mode", "JUMP"}, 2, "no ramp mode JUMP"},
        {{"raw", "1", "2", "3"}, 2, "usage: vrx630ctl raw B0 B1 B2 B3"},
        {{"get", "SPI_COVER_TELEGRAM", "--motor", "1"}, 2, "is a global register"},
        {{"frobnicate"}, 2, "no command frobnicate"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Ctl(c.args), c.status) << c.args[0];
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_TRUE(Frames().empty()) << c.args[0];
    }
}

TEST_F(CtlTest, ATooSmallAccelerationIsRefusedUnlessForced) {
    const std::vector<std::string> move = {"move", "1",      "--mode", "RAMP",   "--target",
                                           "100",  "--vmax", "100",    "--amax", "0"};
    EXPECT_EQ(Ctl(move), 1);
    EXPECT_NE(err.str().find("below the smallest advisable value 1"), std::string::npos);
    EXPECT_EQ(Frames(), (std::vector<std::vector<uint8_t>>{{0x19, 0, 0, 0}})); // nothing written
    auto forced = move;
    forced.push_back("--force");
    EXPECT_EQ(Ctl(forced), 0) << err.str();
    EXPECT_EQ(Frames().back(), (std::vector<uint8_t>{0x00, 0, 0, 100}));
}

TEST_F(CtlTest, MoveWithWaitReturnsWhenTheMotorHasArrived) {
    ASSERT_EQ(Ctl({"move", "2", "--mode", "RAMP", "--target", "300", "--vmax", "1000", "--amax",
                   "1000", "--wait"}),
              0)
        << err.str();
    EXPECT_TRUE(out.str().ends_with("X_ACTUAL  300\n")) << out.str();
    EXPECT_EQ(board.With([](sim::SimulatedBoard& b) { return b.Model().Motor(1).XActual(); }), 300);
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
    ASSERT_EQ(Ctl({"watch", "--count", "2", "--interval", "10"}), 0) << err.str();
    std::istringstream lines(out.str());
    std::string header, first, second, extra;
    std::getline(lines, header);
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_TRUE(header.starts_with("time_ms,X_ACTUAL_1,V_ACTUAL_1,A_ACTUAL_1,V_TARGET_1"));
    EXPECT_EQ(std::count(second.begin(), second.end(), ','), 12);
    EXPECT_FALSE(std::getline(lines, extra));
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

TEST(Ctl, HelpListsTheRegistersAndShapesNeedNoBoard) {
    std::ostringstream out, err;
    EXPECT_EQ(ctl::Run({"--help"}, out, err), 0);
    EXPECT_NE(out.str().find("P_MUL_/_P_DIV"), std::string::npos);
    EXPECT_EQ(ctl::Run({"ram", "shape", "1"}, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("2B 2D 2D"), std::string::npos);
    EXPECT_EQ(ctl::Run({"status"}, out, err), 2);
}

} // namespace
} // namespace vrx::ctl
