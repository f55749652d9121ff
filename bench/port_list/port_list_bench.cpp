// Measures the cost of the port list's refresh while no port is open, the time it runs (while
// a port is open it does not run at all):
//  - one look at the device folders, as each refresh makes it: the port list of this machine's
//    /dev, and of a device folder with eight adapters, each behind a by-id link;
//  - that look with the comparison against the combo box, which is all a refresh does while
//    nothing changes, taken once a second: the share of one core;
//  - the main window idle with no port open for the given seconds (default 10), its port list
//    kept up to date from /dev: the processor time of the whole program per second.
// Goal: the refresh under 1 % of a core.

#include "app/port_combo.h"
#include "app/program_windows.h"
#include "serial/port_discovery.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <time.h>

#include <cstdio>
#include <functional>

namespace {

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void Pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Microseconds of processor time per call, over `calls` calls.
double MicrosPerCall(int calls, const std::function<void()>& call) {
    const double start = CpuSeconds();
    for (int i = 0; i < calls; ++i) {
        call();
    }
    return (CpuSeconds() - start) * 1e6 / calls;
}

// A device folder with eight adapters, each a device and a by-id link to it, as udev makes them.
void MakeAdapters(const QString& dev) {
    QDir(dev).mkpath(QStringLiteral("serial/by-id"));
    for (int i = 0; i < 8; ++i) {
        const QString device = QStringLiteral("ttyUSB%1").arg(i);
        QFile(QDir(dev).filePath(device)).open(QIODevice::WriteOnly);
        QFile::link(
            QStringLiteral("../../") + device,
            QDir(dev).filePath(
                QStringLiteral("serial/by-id/usb-FTDI_FT232R_USB_UART_A%1-if00-port0").arg(i)));
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    constexpr int kCalls = 2000;

    QTemporaryDir dir;
    const QString fake = dir.filePath(QStringLiteral("dev"));
    MakeAdapters(fake);
    std::printf("ports listed: %zu in /dev, %zu in the folder with eight adapters\n",
                vrx::ListSerialPorts().size(), vrx::ListSerialPortsIn(fake.toStdString()).size());
    const double devLook = MicrosPerCall(kCalls, [] { vrx::ListSerialPorts(); });
    const double fakeLook =
        MicrosPerCall(kCalls, [&] { vrx::ListSerialPortsIn(fake.toStdString()); });
    std::printf("one look at /dev: %.1f us; with eight adapters: %.1f us\n", devLook, fakeLook);

    QComboBox combo;
    combo.setEditable(true);
    vrx::ShowPortChoices(combo, vrx::PortChoices(fake));
    const double refresh =
        MicrosPerCall(kCalls, [&] { vrx::ShowPortChoices(combo, vrx::PortChoices(fake)); });
    std::printf("refresh, nothing changed, eight adapters: %.1f us = %.4f %% of a core at one "
                "refresh a second (goal < 1 %%)\n",
                refresh, refresh / 1e6 * 100);

    vrx::TFormMain::Options options;
    options.settingsPath = dir.filePath(QStringLiteral("Eval630.ini"));
    vrx::ProgramWindows program(options);
    program.main.show();
    Pump(1000); // shown and settled
    const double cpuBefore = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    Pump(seconds * 1000);
    const double elapsed = double(wall.elapsed()) / 1000.0;
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("main window idle, no port open, list kept from /dev: %.4f s in %.2f s = %.3f %% "
                "of a core, everything included\n",
                cpu, elapsed, 100.0 * cpu / elapsed);
    program.main.close();
    return 0;
}
