#include "child_process.h"

#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vrx::test {

using Clock = std::chrono::steady_clock;

ChildProcess::ChildProcess(const std::string& program, std::vector<std::string> args) {
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
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ::close(out_);
    ::close(err_);
}

std::string ChildProcess::Line(bool fromStderr, std::chrono::milliseconds timeout) {
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

int ChildProcess::Wait(std::chrono::milliseconds timeout) {
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
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return -1;
}

bool ChildProcess::Signal(int signal) {
    return pid_ > 0 && ::kill(pid_, signal) == 0;
}

void ChildProcess::CloseStdout() {
    ::close(out_);
    out_ = -1;
}

} // namespace vrx::test
