// Runs the vrx630-sim program itself: device path on stdout, link, signals, exit status.

#include "child_process.h"
#include "serial_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

namespace vrx::sim {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// vrx630-sim with its stdout and stderr on pipes.
class SimProcess : public test::ChildProcess {
public:
    explicit SimProcess(std::vector<std::string> args)
        : ChildProcess(VRX630_SIM_PATH, std::move(args)) {}
};

TEST(SimExecutable, ServesTheDeviceItPrintsAndEndsCleanlyOnSignals) {
    char pattern[] = "/tmp/vrx-sim-exe-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    const std::string link = (dir / "board").string();
    for (int signal : {SIGTERM, SIGINT}) {
        SimProcess sim(
            {"--variant", "zepha", "--link", link, "--trace", (dir / "trace.txt").string()});
        const std::string device = sim.Line(false, 5s);
        ASSERT_FALSE(device.empty());
        EXPECT_EQ(fs::read_symlink(link).string(), device);

        SerialClient client;
        ASSERT_TRUE(client.Open(link));
        EXPECT_EQ(client.Transfer({0xFF}, 10, 2s),
                  (std::vector<uint8_t>{'Z', 'E', 'P', 'H', 'A', ' ', 'V', '1', '.', '2'}));
        client.Close();

        ASSERT_TRUE(sim.Signal(signal));
        EXPECT_EQ(sim.Wait(5s), 0) << "signal " << signal;
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
        EXPECT_GT(fs::file_size(dir / "trace.txt"), 0u);
    }
    fs::remove_all(dir);
}

TEST(SimExecutable, ALinkIsTakenOverOnlyWhenItsDeviceIsGone) {
    char pattern[] = "/tmp/vrx-sim-exe-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    const std::string link = (dir / "board").string();
    fs::create_symlink(dir / "gone", link); // left by a simulator that was killed
    SimProcess first({"--link", link});
    const std::string device = first.Line(false, 5s);
    ASSERT_FALSE(device.empty()) << first.Line(true, 1s);
    EXPECT_EQ(fs::read_symlink(link).string(), device);
    {
        SimProcess second({"--link", link});
        EXPECT_EQ(second.Wait(5s), 2);
        EXPECT_EQ(second.Line(true, 1s), "vrx630-sim: " + link + " is in use: it links to " +
                                             device +
                                             ", which is there (another vrx630-sim serving it?)");
    }
    EXPECT_EQ(fs::read_symlink(link).string(), device) << "kept for the first";
    ASSERT_TRUE(first.Signal(SIGTERM));
    EXPECT_EQ(first.Wait(5s), 0);
    fs::remove_all(dir);
}

TEST(SimExecutable, BadCommandLineGivesOneLineOnStderrAndStatusTwo) {
    SimProcess sim({"--delay", "soon"});
    EXPECT_EQ(sim.Wait(5s), 2);
    const std::string error = sim.Line(true, 1s);
    EXPECT_EQ(error.rfind("vrx630-sim: --delay: invalid value 'soon'", 0), 0u) << error;
    EXPECT_TRUE(sim.Line(true, 1s).empty()); // nothing more
}

TEST(SimExecutable, HelpAndVersionExitWithStatusZero) {
    SimProcess help({"--help"});
    EXPECT_EQ(help.Line(false, 5s).rfind("Usage: vrx630-sim", 0), 0u);
    EXPECT_EQ(help.Wait(5s), 0);
    SimProcess version({"--version"});
    EXPECT_EQ(version.Line(false, 5s), "vrx630-sim " VRX_VERSION);
    EXPECT_NE(version.Line(false, 5s).find("under the MIT licence"), std::string::npos);
    EXPECT_NE(version.Line(false, 5s).find("CLI11"), std::string::npos);
    EXPECT_EQ(version.Wait(5s), 0);
}

} // namespace
} // namespace vrx::sim
