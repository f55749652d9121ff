// Measures, in one run, how many polls per second the program's polling cycle completes against
// the simulated board with 19200-baud wire timing, and how much processor time the program
// spends per second of polling. The board runs as its own process (vrx630-sim), so the CPU
// time measured is the program's alone: the run time of all threads of this process.
//
// The design's bound is one poll per 10 ms tick (100 per second); the wire's own bound for a
// 5-byte request and a 4-byte reply at 19200 baud is about 213 per second.

#include "support/wired_program.h"

#include <QApplication>
#include <QElapsedTimer>

#include <time.h>

#include <cstdio>

namespace {

// The scheduler's exact run time of all the process's threads; the tick-sampled figures of
// getrusage are too coarse for a process that wakes hundreds of times a second.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;

    vrx::bench::WiredProgram wired;
    if (!wired.Start()) {
        return 1;
    }
    vrx::ProgramWindows& program = *wired.program;

    // Count every distributed poll reply by wrapping the displays of the always-polled slots.
    long polls = 0;
    for (int slot = 0; slot < vrx::kPollSlotCount; ++slot) {
        vrx::PollSlot& s = program.main.Poll().Slot(slot);
        if (s.MainDisplay) {
            s.MainDisplay = [&polls, show = s.MainDisplay](const QString& text) {
                ++polls;
                show(text);
            };
        }
    }
    wired.WaitUntilActive();

    const long pollsBefore = polls;
    const double cpuBefore = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    vrx::bench::Pump(seconds * 1000);
    const double elapsed = double(wall.elapsed()) / 1000.0;
    const double cpu = CpuSeconds() - cpuBefore;
    const long measured = polls - pollsBefore;

    std::printf("board: %s\n", wired.State().toUtf8().constData());
    std::printf("polls: %ld in %.2f s = %.1f polls/s (target >= 95)\n", measured, elapsed,
                double(measured) / elapsed);
    std::printf("cpu: %.3f s in %.2f s = %.2f %% of one core (target <= 3 %%)\n", cpu, elapsed,
                100.0 * cpu / elapsed);
    return 0;
}
