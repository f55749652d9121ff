// The yardstick of the poll-rate benchmark: the least a program can do to poll the board as the
// polling cycle does. Plain POSIX on a raw 19200-baud line, no threads, no event loop: send the
// read telegram of the next always-polled register, wait in poll() for its 4-byte reply, and,
// paced, wait for the next 10 ms tick before sending again.
//
//   bare_poller DEVICE SECONDS INTERVAL_MS     INTERVAL_MS 0: the next poll leaves at once
//
// Prints "polls N seconds S cpu C wakeups W": the polls answered, the wall time, the processor
// time and the times the process went to sleep and was woken (voluntary context switches).

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

double Seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Reads exactly `count` bytes, or fails after 2 s of silence.
bool ReadReply(int fd, uint8_t* reply, int count) {
    int got = 0;
    while (got < count) {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, 2000) <= 0) {
            return false;
        }
        const ssize_t n = read(fd, reply + got, size_t(count - got));
        if (n <= 0) {
            return false;
        }
        got += int(n);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bare_poller DEVICE SECONDS INTERVAL_MS\n");
        return 2;
    }
    const int fd = open(argv[1], O_RDWR | O_NOCTTY);
    if (fd < 0) {
        std::perror(argv[1]);
        return 1;
    }
    termios line{};
    tcgetattr(fd, &line);
    cfmakeraw(&line);
    cfsetspeed(&line, B19200);
    tcsetattr(fd, TCSANOW, &line);
    tcflush(fd, TCIOFLUSH);

    // The read telegrams of the twelve always-polled registers, in the cycle's order.
    const uint8_t registers[] = {0x03, 0x09, 0x0B, 0x0F, 0x23, 0x29,
                                 0x2B, 0x2F, 0x43, 0x49, 0x4B, 0x4F};
    const double seconds = std::atof(argv[2]);
    const long intervalNs = std::atol(argv[3]) * 1000000L;
    const double wallStart = Seconds(CLOCK_MONOTONIC);
    const double cpuStart = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    rusage startUsage{};
    getrusage(RUSAGE_SELF, &startUsage);
    const long wakeupsStart = startUsage.ru_nvcsw;
    timespec tick{};
    clock_gettime(CLOCK_MONOTONIC, &tick);
    long polls = 0;
    for (size_t next = 0; Seconds(CLOCK_MONOTONIC) - wallStart < seconds; ++next) {
        const uint8_t frame[5] = {0x23, registers[next % sizeof registers], 0, 0, 0};
        if (write(fd, frame, sizeof frame) != ssize_t(sizeof frame)) {
            break;
        }
        uint8_t reply[4];
        if (ReadReply(fd, reply, 4)) {
            ++polls;
        }
        if (intervalNs > 0) {
            // The next tick after the reply, as a periodic timer would fire.
            const long nowNs = long(Seconds(CLOCK_MONOTONIC) * 1e9);
            long tickNs = tick.tv_sec * 1000000000L + tick.tv_nsec;
            while (tickNs <= nowNs) {
                tickNs += intervalNs;
            }
            tick.tv_sec = tickNs / 1000000000L;
            tick.tv_nsec = tickNs % 1000000000L;
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &tick, nullptr);
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("polls %ld seconds %.3f cpu %.4f wakeups %ld\n", polls,
                Seconds(CLOCK_MONOTONIC) - wallStart, Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart,
                usage.ru_nvcsw - wakeupsStart);
    close(fd);
    return 0;
}
