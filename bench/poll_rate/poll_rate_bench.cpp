// Measures, in one run, how many polls per second the program's polling cycle completes against
// the simulated board with 19200-baud wire timing, and how much processor time the program
// spends per second of polling. The board runs as its own process (vrx630-sim), so the CPU
// time measured is the program's alone: the run time of all threads of this process.
//
// The design's bound is one poll per 10 ms tick (100 per second); the wire's own bound for a
// 5-byte request and a 4-byte reply at 19200 baud is about 213 per second.
//
// A second half of the run records every pass into a CSV file, as "Record..." does, and shows
// what the recording adds to the processor time, and the resident memory at its start and end.
//
//   poll_rate_bench [SECONDS]      each half SECONDS long (default 10)

#include "support/wired_program.h"

#include "controls/file_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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

// Resident memory of the process in kB.
long ResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

struct Half {
    long polls;
    double elapsed;
    double cpu;
};

Half Measure(const long& polls, int seconds) {
    const long pollsBefore = polls;
    const double cpuBefore = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    vrx::bench::Pump(seconds * 1000);
    return {polls - pollsBefore, double(wall.elapsed()) / 1000.0, CpuSeconds() - cpuBefore};
}

void Print(const char* what, const Half& half) {
    std::printf("%s: %ld polls in %.2f s = %.1f polls/s, cpu %.3f s = %.2f %% of one core\n", what,
                half.polls, half.elapsed, double(half.polls) / half.elapsed, half.cpu,
                100.0 * half.cpu / half.elapsed);
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

    const Half plain = Measure(polls, seconds);
    std::printf("board: %s\n", wired.State().toUtf8().constData());
    Print("polling", plain);

    QTemporaryDir dir;
    vrx::ChooseFile = [&dir](QWidget*, const vrx::FileDialogRequest&) {
        return dir.filePath(QStringLiteral("run.csv"));
    };
    auto* record = program.main.findChild<QPushButton*>(QStringLiteral("BtnRecord"));
    record->click();
    const long memoryBefore = ResidentKb();
    const Half recording = Measure(polls, seconds);
    const long memoryAfter = ResidentKb();
    record->click();
    Print("polling and recording", recording);
    const double base = plain.cpu / plain.elapsed;
    const double with = recording.cpu / recording.elapsed;
    std::printf("recording adds %.1f %% to the cpu of polling (target < 5 %%); %lld bytes "
                "recorded; resident memory %ld kB -> %ld kB\n",
                100.0 * (with - base) / base,
                static_cast<long long>(QFileInfo(dir.filePath(QStringLiteral("run.csv"))).size()),
                memoryBefore, memoryAfter);
    return 0;
}
