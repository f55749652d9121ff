// Fast polling through ser2net on 127.0.0.1 against the same board on its pseudo-terminal, in
// one run: the program's windows poll vrx630-sim with 19200-baud wire timing as fast as it
// answers, first on the board's device, then through ser2net by RFC 2217, then as raw TCP.
// Each figure is the median of one-second slices. Goal: through the network at least 95 % of
// the direct polls per second.
//
//   network_port_bench [SECONDS]      each phase SECONDS long (default 10); needs ser2net

#include "support/wired_program.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

uint16_t FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// Polls per second of the program on `port` with fast polling: the median of one-second slices.
double FastPollRate(vrx::bench::WiredProgram& wired, const QString& port, int seconds) {
    wired.program.reset();
    vrx::bench::Pump(500); // ser2net lets go of the device a moment after the last client closed
    wired.device = port;
    wired.OpenProgram();
    vrx::ProgramWindows& program = *wired.program;
    long polls = 0;
    vrx::bench::CountPolls(program, polls);
    wired.WaitUntilActive();
    program.main.findChild<QCheckBox*>(QStringLiteral("CheckFastPoll"))->setChecked(true);
    vrx::bench::Pump(1000);
    std::vector<double> rates;
    for (int second = 0; second < seconds; ++second) {
        const long before = polls;
        QElapsedTimer wall;
        wall.start();
        vrx::bench::Pump(1000);
        rates.push_back(double(polls - before) * 1000.0 / double(wall.elapsed()));
    }
    program.main.findChild<QCheckBox*>(QStringLiteral("CheckFastPoll"))->setChecked(false);
    std::printf("  %-32s %s\n", qPrintable(port), qPrintable(wired.State()));
    std::sort(rates.begin(), rates.end());
    return rates[rates.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    vrx::bench::MessageCloser messages;

    vrx::bench::WiredProgram wired;
    if (!wired.StartBoard()) {
        return 1;
    }
    const QString device = wired.device;
    const uint16_t rfc2217 = FreeLoopbackPort();
    const uint16_t raw = FreeLoopbackPort() == rfc2217 ? rfc2217 + 1 : FreeLoopbackPort();
    QTemporaryDir dir;
    QFile yaml(dir.filePath(QStringLiteral("ser2net.yaml")));
    yaml.open(QIODevice::WriteOnly);
    yaml.write(QStringLiteral("%YAML 1.1\n---\n"
                              "connection: &rfc\n  accepter: telnet(rfc2217),tcp,127.0.0.1,%1\n"
                              "  connector: serialdev,%3,19200n81,local\n"
                              "  options:\n    chardelay: false\n"
                              "connection: &raw\n  accepter: tcp,127.0.0.1,%2\n"
                              "  connector: serialdev,%3,19200n81,local\n"
                              "  options:\n    chardelay: false\n")
                   .arg(rfc2217)
                   .arg(raw)
                   .arg(device)
                   .toUtf8());
    yaml.close();
    QProcess ser2net;
    ser2net.start(QStringLiteral("ser2net"),
                  {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"),
                   yaml.fileName(), QStringLiteral("-P"),
                   dir.filePath(QStringLiteral("ser2net.pid"))});
    if (!ser2net.waitForStarted(5000)) {
        std::fprintf(stderr, "ser2net did not start (Debian package ser2net)\n");
        return 1;
    }
    vrx::bench::Pump(500);

    const double direct = FastPollRate(wired, device, seconds);
    const double network =
        FastPollRate(wired, QStringLiteral("rfc2217://127.0.0.1:%1").arg(rfc2217), seconds);
    const double socket =
        FastPollRate(wired, QStringLiteral("socket://127.0.0.1:%1").arg(raw), seconds);
    wired.program.reset();
    ser2net.terminate();
    ser2net.waitForFinished(3000);
    std::printf("fast polling, polls/s (median of %d one-second slices):\n", seconds);
    std::printf("  on the pseudo-terminal     %6.1f\n", direct);
    std::printf("  through ser2net, RFC 2217  %6.1f  = %.1f %% of direct (goal >= 95 %%)\n",
                network, 100.0 * network / direct);
    std::printf("  through ser2net, raw TCP   %6.1f  = %.1f %% of direct\n", socket,
                100.0 * socket / direct);
    return 0;
}
