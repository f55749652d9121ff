// Measures a full read and a full write of the VRX630's RAM (64 words) through the program's
// RAM page against the simulated board with 19200-baud wire timing, running as its own process
// (vrx630-sim). Each word is a 5-byte telegram frame and a 4-byte answer, so the bytes alone
// take 64 x 9 x 10 bits / 19200 baud = 300 ms on the wire; the figure of merit is the ratio of
// the measured time to that (goal: at most 1.15).

#include "app/program_windows.h"
#include "chip/ram_table.h"
#include "registers/ram_page.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double kWireMs = 64.0 * 9 * 10 * 1000 / 19200;

void Pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

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
                "1.15)\n",
                what, median, ms.front(), ms.back(), median / kWireMs, kWireMs);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QProcess board;
    board.start(QStringLiteral(VRX_SIM_PROGRAM), {QStringLiteral("--wire-timing")});
    if (!board.waitForReadyRead(5000)) {
        std::fprintf(stderr, "the simulated board did not start\n");
        return 1;
    }
    const QString device = QString::fromLocal8Bit(board.readLine()).trimmed();

    vrx::ProgramWindows program;
    program.main.show();
    program.main.findChild<QComboBox*>(QStringLiteral("ComboCOM"))->setEditText(device);
    program.main.findChild<QPushButton*>(QStringLiteral("BtnOpen"))->click();
    auto* state = program.main.findChild<QLabel*>(QStringLiteral("StaticInfo1"));
    for (int waited = 0; waited < 5000 && state->text() != QLatin1String("The board is active.");
         waited += 100) {
        Pump(100);
    }
    Pump(500);
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
        Pump(100);
        reads.push_back(TimeClick(page->findChild<QPushButton*>(QStringLiteral("BtnReadRAM"))));
        Pump(100);
    }
    const bool intact = page->Table().Cell(127) == "7F";
    std::printf("board: %s, table read back %s\n", state->text().toUtf8().constData(),
                intact ? "intact" : "DIFFERENT");
    Report("read", reads);
    Report("write", writes);

    program.main.close();
    board.terminate();
    board.waitForFinished(3000);
    return intact ? 0 : 1;
}
