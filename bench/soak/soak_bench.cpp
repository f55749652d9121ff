// Runs the program for a long time against vrx630-sim playing the VRX52x kit with 19200-baud
// wire timing (or, given "own", against the program's own "Simulated board (VRX52x kit)" in
// its process, polling as fast as the board answers), with everything busy at once: the three
// motors moving back and forth, the register window shown and cycling through its pages, the plot
// window shown and the kit's driver window open. Every 10 s it prints the resident memory, the
// polls per second of the last interval and the reply timeouts so far.
//
// Goals: resident memory grows by less than 2 MB from the first sample to the last, beyond what
// the plot window's history takes by design (every pass, up to a day of fast polling), polls
// per second stay within 2 % of each other, and no reply times out. The exit code is 0 only
// when all three are met.

#include "support/resident_memory.h"
#include "support/wired_program.h"

#include "chip/telegram.h"
#include "controls/spin_edit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <vector>

namespace {

constexpr int kSampleMs = 10000;
// Both periods divide the sample interval, so every interval holds the same work.
constexpr int kMoveMs = 5000;
constexpr int kPageMs = 2000;
constexpr int kMoveSteps = 5000;
constexpr long kMaxGrowthKb = 2048;
constexpr double kMaxRateSpread = 0.02;

// The machine's one-minute load average: polls lost to a busy machine show here.
double LoadAverage() {
    std::ifstream loadavg("/proc/loadavg");
    double load = 0;
    loadavg >> load;
    return load;
}

template <class T = QWidget> T* Find(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (found == nullptr) {
        std::fprintf(stderr, "no widget %s\n", name.toUtf8().constData());
        std::exit(2);
    }
    return found;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const bool own = argc > 2 && std::string_view(argv[2]) == "own";

    vrx::bench::WiredProgram wired;
    if (own) {
        wired.StartOwn(QStringLiteral("Simulated board (VRX52x kit)"));
    } else if (!wired.Start(QStringLiteral("52x"))) {
        return 1;
    }
    vrx::ProgramWindows& program = *wired.program;
    vrx::BoardLink& link = program.main.Link();

    long polls = 0;
    link.OnPollReply = [&polls, distribute = link.OnPollReply](const vrx::Answer& reply) {
        ++polls;
        distribute(reply);
    };
    long timeouts = 0;
    link.OnReplyTimeout = [&timeouts, report = link.OnReplyTimeout] {
        ++timeouts;
        report();
    };
    wired.WaitUntilActive();
    // The first poll may meet the identification on the line (see WiredProgram); the soak
    // counts only what happens once the board is active.
    const long startupTimeouts = timeouts;
    timeouts = 0;

    QWidget& main = program.main;
    {
        // Dividers 7/7, as a bench motor has them: the moves take seconds, not milliseconds.
        const auto suspension = program.main.Link().SuspendPolling();
        for (int motor = 0; motor < vrx::kMotorCount; ++motor) {
            program.main.Link().Transfer(
                vrx::Telegram::Make(vrx::RegisterByte(unsigned(motor), 12, false), 0x007700));
        }
    }
    for (int motor = 1; motor <= 3; ++motor) {
        Find<vrx::TSpinEdit>(main, QStringLiteral("EditVMax%1").arg(motor))->setValue(1000);
        Find<vrx::TSpinEdit>(main, QStringLiteral("EditAMax%1").arg(motor))->setValue(100);
    }
    Find<QPushButton>(main, QStringLiteral("BtnCmd630"))->click();
    Find<QPushButton>(main, QStringLiteral("BtnGraphics"))->click();
    Find<QPushButton>(main, QStringLiteral("BtnVRX640"))->click();
    if (!Find(main, QStringLiteral("FormVRX52x"))->isVisible()) {
        std::fprintf(stderr, "the driver window did not open (board: %s)\n",
                     wired.State().toUtf8().constData());
        return 1;
    }

    int direction = 1;
    const auto move = [&] {
        direction = -direction;
        for (int motor = 1; motor <= 3; ++motor) {
            Find<vrx::TSpinEdit>(main, QStringLiteral("EditXTarget%1").arg(motor))
                ->setValue(direction * kMoveSteps * motor);
        }
        Find<QPushButton>(main, QStringLiteral("BtnGoAll"))->click();
    };
    QTimer moves;
    QObject::connect(&moves, &QTimer::timeout, move);
    auto* pages = Find<QTabWidget>(program.registers, QStringLiteral("PageControl"));
    QTimer paging;
    QObject::connect(&paging, &QTimer::timeout, [pages] {
        pages->setCurrentIndex((pages->currentIndex() + 1) % pages->count());
    });

    std::printf("board: %s, timeouts while starting: %ld\n", wired.State().toUtf8().constData(),
                startupTimeouts);
    // Motor 1's position shows that the motors keep moving.
    std::printf("%8s %10s %10s %10s %10s %10s %9s %9s %6s\n", "time/s", "rss/kB", "growth/kB",
                "plot/kB", "net/kB", "polls/s", "timeouts", "x1", "load");
    auto* position = Find<QLabel>(main, QStringLiteral("StaticXAct1"));
    std::vector<long> resident;
    std::vector<long> net; // the growth beyond the plot history's
    const auto plotKb = [&program] { return long(program.graphics.History().HeldBytes() / 1024); };
    const long plotAtFirst = plotKb();
    std::vector<double> rates;
    QElapsedTimer clock;
    long pollsBefore = polls;
    qint64 msBefore = 0;
    QTimer sampling;
    QObject::connect(&sampling, &QTimer::timeout, [&] {
        const qint64 ms = clock.elapsed();
        const double rate = double(polls - pollsBefore) * 1000.0 / double(ms - msBefore);
        pollsBefore = polls;
        msBefore = ms;
        resident.push_back(vrx::bench::ResidentKb());
        const long plot = plotKb() - plotAtFirst;
        net.push_back(resident.back() - resident.front() - plot);
        rates.push_back(rate);
        std::printf("%8.0f %10ld %10ld %10ld %10ld %10.1f %9ld %9s %6.2f\n", double(ms) / 1000.0,
                    resident.back(), resident.back() - resident.front(), plot, net.back(), rate,
                    timeouts, position->text().toUtf8().constData(), LoadAverage());
        std::fflush(stdout);
    });

    clock.start();
    moves.start(kMoveMs);
    paging.start(kPageMs);
    sampling.start(kSampleMs);
    move();
    vrx::bench::Pump(minutes * 60000 + kSampleMs / 2);
    moves.stop();
    paging.stop();
    sampling.stop();

    if (rates.empty()) {
        return 1;
    }
    const long growth = net.back();
    const auto [low, high] = std::minmax_element(rates.begin(), rates.end());
    const double spread = (*high - *low) / *high;
    std::printf("memory: %ld kB at first, %ld kB at last, %ld kB of it the plot's history; "
                "growth beyond it %ld kB (goal < %ld)\n",
                resident.front(), resident.back(), plotKb() - plotAtFirst, growth, kMaxGrowthKb);
    std::printf("polls/s: min %.1f, max %.1f, spread %.2f %% (goal <= %.0f %%)\n", *low, *high,
                spread * 100.0, kMaxRateSpread * 100.0);
    std::printf("timeouts: %ld (goal 0)\n", timeouts);
    return growth < kMaxGrowthKb && spread <= kMaxRateSpread && timeouts == 0 ? 0 : 1;
}
