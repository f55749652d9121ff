#pragma once
// A program of the build run as a child process with its stdout and stderr on pipes, for the
// tests of the command-line programs themselves: their output, signals and exit status.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vrx::test {

class ChildProcess {
public:
    ChildProcess(const std::string& program, std::vector<std::string> args);
    ~ChildProcess(); // kills a child still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Text of the stream up to the next newline or its end, within the timeout.
    std::string Line(bool fromStderr, std::chrono::milliseconds timeout);
    // Exit status (128 + the signal for a child killed by one), or -1 if the program did not
    // end within the timeout.
    int Wait(std::chrono::milliseconds timeout);
    bool Signal(int signal);
    // Closes our end of the child's stdout, as a reader that has read enough does (`| head -1`).
    void CloseStdout();

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
};

} // namespace vrx::test
