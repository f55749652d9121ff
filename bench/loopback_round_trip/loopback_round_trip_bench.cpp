// Measures round trips of a telegram through BoardSession and SerialLine against the simulated
// board with 19200-baud wire timing: over the loopback line and, where there are
// pseudo-terminals, over one, side by side in the same run. A read is a 5-byte frame and a
// 4-byte answer, 9 byte times (4.69 ms) on the wire; the figure of merit is the ratio of the
// median round trip to that, which on the loopback should be about what the pseudo-terminal
// gives (goal: at most 1.1).

#include "protocol/board_session.h"
#include "serial/serial_line.h"
#include "sim/loopback_board.h"
#ifndef _WIN32
#include "sim/pty_board.h"
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kWireMs = 9 * vrx::sim::kByteTimeMs;

vrx::sim::LineOptions Timed() {
    vrx::sim::LineOptions options;
    options.wireTiming = true;
    return options;
}

// Opens the line on `device` and prints the median, fastest and slowest of `rounds` reads.
void Measure(const char* what, vrx::SerialLine& line, const std::string& device, int rounds) {
    vrx::LineSettings settings;
    settings.baudRate = vrx::cbr19200;
    int error = 0;
    if (!line.Open(device, settings, error)) {
        std::printf("%-9s cannot open %s (error %d)\n", what, device.c_str(), error);
        return;
    }
    vrx::BoardSession session(line);
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        const Clock::time_point start = Clock::now();
        if (!session.Transfer({0x03, 0, 0, 0})) {
            std::printf("%-9s no answer to read %d\n", what, i);
            return;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("%-9s median %.2f ms (min %.2f, max %.2f) = %.3f x wire time %.2f ms\n", what,
                median, ms.front(), ms.back(), median / kWireMs, kWireMs);
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    vrx::sim::LoopbackBoard loopback(vrx::sim::BoardVariant::Plain, Timed());
    if (!loopback.Start()) {
        std::printf("the loopback board did not start: %s\n", loopback.ErrorText().c_str());
        return 1;
    }
    vrx::SerialLine overLoopback(loopback.Connect());
    Measure("loopback", overLoopback, vrx::sim::LoopbackBoard::kDeviceName, rounds);
#ifndef _WIN32
    vrx::sim::PtyBoard pty(vrx::sim::BoardVariant::Plain, Timed());
    if (!pty.Start()) {
        std::printf("the pseudo-terminal board did not start: %s\n", pty.ErrorText().c_str());
        return 1;
    }
    vrx::SerialLine overPty;
    Measure("pty", overPty, pty.DevicePath(), rounds);
#endif
    return 0;
}
