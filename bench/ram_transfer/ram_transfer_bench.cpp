// Measures a full read and a full write of the VRX630's RAM (64 words) through the program's
// RAM page against the simulated board with 19200-baud wire timing, running as its own process
// (vrx630-sim). Each word is a 5-byte telegram frame and a 4-byte answer, so the bytes alone
// take 64 x 9 x 10 bits / 19200 baud = 300 ms on the wire; the figure of merit is the ratio of
// the measured time to that (goal: at most 1.05).

#include "chip/ram_table.h"
#include "registers/ram_page.h"
#include "support/wired_program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double kWireMs = 64.0 * 9 * 10 * 1000 / 19200;

// Milliseconds one click of the button takes; the transfers run inside the click.
double TimeClick(QPushButton* button) {
    QElapsedTimer timer;
    timer.start();
    button->click();
    return double(timer.nsecsElapsed()) / 1e6;
}

void Report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("%-6s median %.1f ms (min %.1f, max %.1f) = %.3f x wire time %.0f ms (goal <= "
                "1.05)\n",
                what, median, ms.front(), ms.back(), median / kWireMs, kWireMs);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    vrx::bench::WiredProgram wired;
    if (!wired.Start()) {
        return 1;
    }
    wired.WaitUntilActive();
    vrx::ProgramWindows& program = *wired.program;
    program.main.findChild<QPushButton*>(QStringLiteral("BtnCmd630"))->click();
    program.registers.findChild<QTabWidget*>(QStringLiteral("PageControl"))->setCurrentIndex(4);
    auto* page = program.registers.findChild<vrx::RamPage*>(QStringLiteral("TabRAM"));
    vrx::RamTable table;
    for (int n = 0; n < vrx::kRamBytes; ++n) {
        table.SetByte(n, uint8_t(n));
    }
    page->ShowTable(table);

    std::vector<double> reads;
    std::vector<double> writes;
    for (int round = 0; round < rounds; ++round) {
        writes.push_back(TimeClick(page->findChild<QPushButton*>(QStringLiteral("BtnWriteRAM"))));
        vrx::bench::Pump(100);
        reads.push_back(TimeClick(page->findChild<QPushButton*>(QStringLiteral("BtnReadRAM"))));
        vrx::bench::Pump(100);
    }
    const bool intact = page->Table().Cell(127) == "7F";
    std::printf("board: %s, table read back %s\n", wired.State().toUtf8().constData(),
                intact ? "intact" : "DIFFERENT");
    Report("read", reads);
    Report("write", writes);
    return intact ? 0 : 1;
}
