// Measures, in one run against the simulated board with 19200-baud wire timing (vrx630-sim in
// its own process, so the processor time measured is the program's alone):
//
//   - a bare termios poller (bench/bare_poller) polling the same registers the same way, at the
//     10 ms tick and back to back: the least a program can spend on polling;
//   - the program's polling cycle at the tick: polls per second and processor time per poll,
//     and the ratio to the bare poller;
//   - the same with fast polling ("Poll as fast as the board answers");
//   - the same at the tick while recording every pass into a CSV file, and the resident memory
//     at the recording's start and end.
//
// Each figure is the median of one-second slices.
//
// The wire's own bound for a 5-byte request and a 4-byte reply at 19200 baud is about 213 polls
// per second. Goals: at the tick about 100 polls/s at most 2 x the bare poller's processor time;
// fast polling at least 200 polls/s at no more processor time per poll; recording under 5 %.
//
//   poll_rate_bench [SECONDS]      each phase SECONDS long (default 10)

#include "support/wired_program.h"

#include "controls/file_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The scheduler's exact run time of all the process's threads; the tick-sampled figures of
// getrusage are too coarse for a process that wakes hundreds of times a second.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// How often the process's threads went to sleep and were woken so far: the part of the cost of
// polling that does not depend on how busy the machine is.
long Wakeups() {
    long total = 0;
    for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs)) {
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(task));
        if (!status.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
            if (line.startsWith("voluntary_ctxt_switches:")) {
                total += line.mid(24).trimmed().toLong();
            }
        }
    }
    return total;
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

struct Phase {
    long polls = 0;
    double elapsed = 0;
    double cpu = 0;
    long wakeups = 0;
    double WakeupsPerPoll() const { return polls > 0 ? double(wakeups) / double(polls) : 0; }
    double Rate() const { return double(polls) / elapsed; }
    double CpuShare() const { return 100.0 * cpu / elapsed; }
    double MsPerPoll() const { return polls > 0 ? 1000.0 * cpu / double(polls) : 0; }
};

// The slice of median processor share: this machine shares its cores with others, and a
// median of one-second slices is steadier than the total.
Phase Median(std::vector<Phase> slices) {
    std::sort(slices.begin(), slices.end(),
              [](const Phase& a, const Phase& b) { return a.CpuShare() < b.CpuShare(); });
    return slices.empty() ? Phase{} : slices[slices.size() / 2];
}

Phase Measure(const long& polls, int seconds) {
    std::vector<Phase> slices;
    for (int second = 0; second < seconds; ++second) {
        const long pollsBefore = polls;
        const double cpuBefore = CpuSeconds();
        const long wakeupsBefore = Wakeups();
        QElapsedTimer wall;
        wall.start();
        vrx::bench::Pump(1000);
        slices.push_back({polls - pollsBefore, double(wall.elapsed()) / 1000.0,
                          CpuSeconds() - cpuBefore, Wakeups() - wakeupsBefore});
    }
    return Median(slices);
}

// The bare poller on the board's port, one second a run; it prints "polls N seconds S cpu C".
Phase BarePoller(const QString& device, int seconds, int intervalMs) {
    std::vector<Phase> slices;
    for (int second = 0; second < seconds; ++second) {
        QProcess poller;
        poller.start(QStringLiteral(VRX_BARE_POLLER),
                     {device, QStringLiteral("1"), QString::number(intervalMs)});
        poller.waitForFinished(10000);
        const QStringList words = QString::fromLocal8Bit(poller.readAllStandardOutput()).split(' ');
        if (words.size() < 8) {
            std::fprintf(stderr, "the bare poller did not run\n");
            return {};
        }
        slices.push_back(
            {words[1].toLong(), words[3].toDouble(), words[5].toDouble(), words[7].toLong()});
    }
    return Median(slices);
}

void Print(const char* what, const Phase& phase) {
    std::printf("%-30s %6.1f polls/s, cpu %5.2f %% of one core, %.3f ms and %.1f wake-ups per "
                "poll\n",
                what, phase.Rate(), phase.CpuShare(), phase.MsPerPoll(), phase.WakeupsPerPoll());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;

    vrx::bench::WiredProgram wired;
    if (!wired.StartBoard()) {
        return 1;
    }
    const Phase bareTick = BarePoller(wired.device, seconds, 10);
    const Phase bareFast = BarePoller(wired.device, seconds, 0);
    Print("bare poller, 10 ms tick:", bareTick);
    Print("bare poller, back to back:", bareFast);

    vrx::bench::MessageCloser messages;
    wired.OpenProgram();
    vrx::ProgramWindows& program = *wired.program;
    long polls = 0;
    vrx::bench::CountPolls(program, polls);
    wired.WaitUntilActive();
    vrx::bench::Pump(2000); // first-use costs (fonts, caches) out of the way
    std::printf("board: %s\n", wired.State().toUtf8().constData());

    const Phase tick = Measure(polls, seconds);
    Print("program, 10 ms tick:", tick);
    std::printf("  = %.2f x the bare poller's processor time (goal <= 2)\n",
                tick.cpu / tick.elapsed / (bareTick.cpu / bareTick.elapsed));

    auto* fastPoll = program.main.findChild<QCheckBox*>(QStringLiteral("CheckFastPoll"));
    fastPoll->setChecked(true);
    const Phase fast = Measure(polls, seconds);
    fastPoll->setChecked(false);
    Print("program, fast polling:", fast);
    std::printf("  = %.2f x the bare poller back to back per poll; %.2f x the tick's cost per poll "
                "(goals: >= 200 polls/s, <= 1)\n",
                fast.MsPerPoll() / bareFast.MsPerPoll(), fast.MsPerPoll() / tick.MsPerPoll());

    QTemporaryDir dir;
    vrx::ChooseFile = [&dir](QWidget*, const vrx::FileDialogRequest&) {
        return dir.filePath(QStringLiteral("run.csv"));
    };
    auto* record = program.main.findChild<QPushButton*>(QStringLiteral("BtnRecord"));
    record->click();
    const long memoryBefore = ResidentKb();
    const Phase recording = Measure(polls, seconds);
    const long memoryAfter = ResidentKb();
    record->click();
    Print("program, tick and recording:", recording);
    std::printf("  recording adds %.1f %% to the cpu of polling (goal < 5 %%); %lld bytes "
                "recorded; resident memory %ld kB -> %ld kB\n",
                100.0 * (recording.CpuShare() - tick.CpuShare()) / tick.CpuShare(),
                static_cast<long long>(QFileInfo(dir.filePath(QStringLiteral("run.csv"))).size()),
                memoryBefore, memoryAfter);
    return 0;
}
