// Runs the vrx630-sim program itself: device path on stdout, link, signals, exit status.

#include "serial_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace vrx::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// A running vrx630-sim with its stdout and stderr on pipes.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args) {
        int out[2];
        int err[2];
        if (::pipe(out) != 0 || ::pipe(err) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        args.insert(args.begin(), VRX630_SIM_PATH);
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, VRX630_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }

    ~SimProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }

    // Text of the stream up to the first newline or its end, within the timeout.
    std::string Line(bool fromStderr, std::chrono::milliseconds timeout) {
        const int fd = fromStderr ? err_ : out_;
        const Clock::time_point deadline = Clock::now() + timeout;
        std::string text;
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd pfd{fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&pfd, 1, int(left.count())) <= 0) {
                return text;
            }
            char c;
            if (::read(fd, &c, 1) != 1 || c == '\n') {
                return text;
            }
            text += c;
        }
    }

    // Exit status, or -1 if the program did not end within the timeout.
    int Wait(std::chrono::milliseconds timeout) {
        if (pid_ <= 0) {
            return -1;
        }
        const Clock::time_point deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(5ms);
        }
        return -1;
    }

    bool Signal(int signal) { return pid_ > 0 && ::kill(pid_, signal) == 0; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
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

TEST(SimExecutable, BadCommandLineGivesOneLineOnStderrAndStatusTwo) {
    SimProcess sim({"--delay", "soon"});
    EXPECT_EQ(sim.Wait(5s), 2);
    const std::string error = sim.Line(true, 1s);
    EXPECT_EQ(error.rfind("vrx630-sim: invalid value 'soon' for --delay", 0), 0u) << error;
    EXPECT_TRUE(sim.Line(true, 1s).empty()); // nothing more
}

TEST(SimExecutable, HelpExitsWithStatusZero) {
    SimProcess sim({"--help"});
    EXPECT_EQ(sim.Line(false, 5s).rfind("Usage: vrx630-sim", 0), 0u);
    EXPECT_EQ(sim.Wait(5s), 0);
}

} // namespace
} // namespace vrx::sim
