#include "serial/posix_serial_backend.h"

#include "serial/drain_output.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace vrx {

namespace {

// How long after its byte arrives a sleeping thread typically runs again.
constexpr long kWakeLatencyNs = 60000;

speed_t StandardSpeed(int baud) {
    switch (baud) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return 0;
    }
}

void SetModemLine(int fd, int line, bool on) {
    // Pseudo-terminals and some adapters refuse modem-line control; that is not an error.
    (void)ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

} // namespace

PosixSerialBackend::~PosixSerialBackend() {
    Close();
}

bool PosixSerialBackend::Open(const std::string& device, int& error) {
    Close();
    error = 0;
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    if (!isatty(fd)) {
        error = ENOTTY;
        ::close(fd);
        return false;
    }
    // TIOCEXCL does not hold against root, so a lock keeps a second program out as well.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return false;
    }
    (void)ioctl(fd, TIOCEXCL);
    termios original{};
    savedTermios_.reset();
    if (tcgetattr(fd, &original) == 0) {
        savedTermios_ = original;
    }
    serial_rs485 rs485{};
    savedRs485_.reset();
    if (ioctl(fd, TIOCGRS485, &rs485) == 0) {
        savedRs485_ = rs485;
    }
    // Bytes left over from an earlier session would be taken for the next reply.
    tcflush(fd, TCIOFLUSH);
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        error = errno;
        ::close(fd);
        return false;
    }
    fd_ = fd;
    stop_ = false;
    lost_ = lostReported_ = false;
    errors_ = 0;
    rx_.Clear();
    txPending_.clear();
    rtsRaised_ = false;
    rtsToggleByHand_ = false;
    modemLinesWork_ = ioctl(fd_, TIOCMGET, &lastModem_) == 0;
    return true;
}

void PosixSerialBackend::Close() {
    if (fd_ >= 0) {
        const bool lost = [this] {
            std::lock_guard lock(mutex_);
            return lost_;
        }();
        if (!lost) {
            DrainOutput(*this);
        }
        if (savedRs485_) {
            (void)ioctl(fd_, TIOCSRS485, &*savedRs485_);
        }
        if (savedTermios_) {
            (void)tcsetattr(fd_, TCSANOW, &*savedTermios_);
        }
        savedTermios_.reset();
        savedRs485_.reset();
        (void)ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
        wakeFd_ = -1;
    }
    std::lock_guard lock(mutex_);
    rx_.Clear();
    txPending_.clear();
}

void PosixSerialBackend::SetQueueSizes(int readSize, int /*writeSize*/) {
    // The driver's queues are fixed on POSIX; the read size bounds the component's own queue.
    std::lock_guard lock(mutex_);
    rx_.SetLimit(readSize);
}

bool PosixSerialBackend::Apply(const LineSettings& s) {
    if (fd_ < 0) {
        return false;
    }
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;

    const int baud = BaudRateValue(s.baudRate);
    const speed_t speed = StandardSpeed(baud);
    if (speed != 0) {
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
    }

    tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (s.parity) {
    case paNone:
        break;
    case paOdd:
        tio.c_cflag |= PARENB | PARODD;
        break;
    case paEven:
        tio.c_cflag |= PARENB;
        break;
    case paMark:
        tio.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case paSpace:
        tio.c_cflag |= PARENB | CMSPAR;
        break;
    }
    if (s.stopbits == sb10) {
        tio.c_cflag &= ~CSTOPB;
    } else {
        tio.c_cflag |= CSTOPB; // 1.5 stop bits exist only with 5 data bits; two is the nearest
    }
    static constexpr tcflag_t kSizes[] = {CS5, CS5, CS6, CS7, CS8}; // termios knows no 4 bits
    tio.c_cflag = (tio.c_cflag & ~CSIZE) | kSizes[s.databits];

    tio.c_iflag &= ~(INPCK | IGNPAR | PARMRK);
    if (s.options & osParityCheck) {
        tio.c_iflag |= INPCK;
    }

    if (s.flowControl != fcDefault) {
        tio.c_cflag &= ~CRTSCTS;
        tio.c_iflag &= ~(IXON | IXOFF | IXANY);
        if (s.flowControl == fcCTS) {
            tio.c_cflag |= CRTSCTS;
        } else if (s.flowControl == fcSoftware) {
            tio.c_iflag |= IXON | IXOFF;
            tio.c_cc[VSTART] = s.xonChar;
            tio.c_cc[VSTOP] = s.xoffChar;
        }
    }
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) {
        return false;
    }
    if (speed == 0) {
        (void)SetCustomBaudRate(fd_, baud);
    }
    std::lock_guard lock(mutex_);
    settings_ = s;
    ApplyFlowLines(s.flowControl);
    return true;
}

void PosixSerialBackend::ApplyFlowLines(TFlowControl flow) {
    rtsToggleByHand_ = false;
    if (flow == fcDefault) {
        return;
    }
    SetModemLine(fd_, TIOCM_DTR, true);
    if (flow == fcRTSToggle) {
        serial_rs485 rs485{};
        rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
        if (ioctl(fd_, TIOCSRS485, &rs485) != 0) {
            // No driver support: raise RTS around each write ourselves, where there is an RTS
            // line at all. On a line without modem control (a pseudo-terminal) it would only
            // wake the reader after every write for nothing.
            rtsToggleByHand_ = modemLinesWork_;
            SetModemLine(fd_, TIOCM_RTS, false);
        }
    } else if (flow != fcCTS) {
        SetModemLine(fd_, TIOCM_RTS, true);
    }
}

int PosixSerialBackend::Write(const uint8_t* data, int count) {
    if (fd_ < 0 || count < 0) {
        return -1;
    }
    std::lock_guard lock(mutex_);
    if (!txPending_.empty()) {
        FlushPendingLocked();
        if (!txPending_.empty()) {
            return 0;
        }
    }
    if (count == 0) {
        return 0;
    }
    if (rtsToggleByHand_) {
        SetModemLine(fd_, TIOCM_RTS, true);
        rtsRaised_ = true;
    }
    ssize_t n = ::write(fd_, data, static_cast<size_t>(count));
    if (n < 0) {
        if (errno != EAGAIN && errno != EINTR) {
            if (errno == EIO || errno == ENXIO || errno == ENODEV || errno == EPIPE) {
                lost_ = true; // hung up or unplugged: the reader reports it
                Kick();
            }
            return -1;
        }
        n = 0;
    }
    if (n == count) {
        if (rtsRaised_) {
            Kick(); // the reader drops RTS once the bytes have left
        }
        return count;
    }
    txPending_.assign(data + n, data + count);
    Kick();
    return 0;
}

void PosixSerialBackend::FlushPendingLocked() {
    while (!txPending_.empty()) {
        const ssize_t n = ::write(fd_, txPending_.data(), txPending_.size());
        if (n <= 0) {
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                txPending_.clear(); // the device failed; the reader reports it
            }
            return;
        }
        txPending_.erase(txPending_.begin(), txPending_.begin() + n);
    }
}

bool PosixSerialBackend::HungUpNowLocked() const {
    pollfd device{fd_, POLLIN, 0};
    return ::poll(&device, 1, 0) > 0 && (device.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

bool PosixSerialBackend::DeviceLost() {
    if (fd_ < 0) {
        return false;
    }
    std::lock_guard lock(mutex_);
    pollfd device{fd_, 0, 0};
    return lost_ ||
           (::poll(&device, 1, 0) > 0 && (device.revents & (POLLHUP | POLLERR | POLLNVAL)));
}

int PosixSerialBackend::Read(uint8_t* data, int count) {
    if (fd_ < 0 || count < 0) {
        return -1;
    }
    std::lock_guard lock(mutex_);
    return rx_.Take(data, count);
}

int PosixSerialBackend::InQueueCount() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(rx_.Size());
}

int PosixSerialBackend::OutQueueCount() {
    if (fd_ < 0) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    FlushPendingLocked();
    int inDriver = 0;
    if (ioctl(fd_, TIOCOUTQ, &inDriver) != 0) {
        inDriver = 0;
    }
    return static_cast<int>(txPending_.size()) + inDriver;
}

void PosixSerialBackend::PurgeIn() {
    std::lock_guard lock(mutex_);
    if (fd_ >= 0) {
        tcflush(fd_, TCIFLUSH);
    }
    rx_.Clear();
}

void PosixSerialBackend::PurgeOut() {
    std::lock_guard lock(mutex_);
    if (fd_ >= 0) {
        tcflush(fd_, TCOFLUSH);
    }
    txPending_.clear();
}

uint32_t PosixSerialBackend::TakeErrors() {
    std::lock_guard lock(mutex_);
    return std::exchange(errors_, 0);
}

void PosixSerialBackend::Kick() {
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        (void)!::write(wakeFd_, &one, sizeof one);
    }
}

void PosixSerialBackend::InterruptWait() {
    stop_ = true;
    Kick();
}

TSerialEvents PosixSerialBackend::DrainInputLocked() {
    TSerialEvents events = 0;
    uint8_t buf[512];
    bool gotAny = false;
    for (;;) {
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) {
            gotAny = true;
            events |= rx_.Append(buf, size_t(n), settings_, errors_);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            return events;
        }
        if (n == 0 && gotAny) {
            return events; // with VMIN 0 an empty read only means the queue is drained
        }
        if (n == 0 && !HungUpNowLocked()) {
            // Readable at the poll yet nothing now: what came was purged meanwhile (PurgeIn
            // between the poll and this read, which another thread's command may do).
            return events;
        }
        // Readable yet nothing to read on a line that hangs up, or EIO: the other end is gone.
        lost_ = true;
        return events;
    }
}

TSerialEvents PosixSerialBackend::CheckModemLines() {
    int now = 0;
    if (!modemLinesWork_ || ioctl(fd_, TIOCMGET, &now) != 0) {
        return 0;
    }
    const int changed = now ^ lastModem_;
    lastModem_ = now;
    TSerialEvents events = 0;
    if (changed & TIOCM_CTS)
        events |= evCTS;
    if (changed & TIOCM_DSR)
        events |= evDSR;
    if ((changed & TIOCM_RNG) && !(now & TIOCM_RNG))
        events |= evRing; // trailing edge
    if (changed & TIOCM_CD)
        events |= evRlsd;
    return events;
}

void PosixSerialBackend::DropRtsWhenSent() {
    int queued = 0;
    if (ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0) {
        return;
    }
    unsigned int lsr = 0;
    if (ioctl(fd_, TIOCSERGETLSR, &lsr) == 0 && !(lsr & TIOCSER_TEMT)) {
        return; // the last byte is still in the shift register
    }
    std::lock_guard lock(mutex_);
    if (txPending_.empty()) {
        SetModemLine(fd_, TIOCM_RTS, false);
        rtsRaised_ = false;
    }
}

void PosixSerialBackend::SettleInput() {
    // As a UART's receive FIFO does, a burst of bytes is reported once it pauses rather than
    // byte by byte: the reader waits until no byte has come for four, later two, character
    // times, taking each byte as it comes. A reply then costs one hand-off to the
    // user-interface thread instead of four. Once the queue holds the trigger count (the whole
    // reply the owner waits for) it is reported at once, without waiting for the pause.
    int baud = 0;
    {
        std::lock_guard lock(mutex_); // Apply may change the settings meanwhile
        baud = BaudRateValue(settings_.baudRate);
    }
    const long charNs = 10L * 1000000000L / (baud > 0 ? baud : 19200);
    // The sleeps below are timed to the line; the default timer slack of 50 us would make
    // every reply late by that much.
    static thread_local const bool precise = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)precise;
    timespec settle{0, 4 * charNs};
    bool slept = false;
    for (int burst = 0; burst < 64; ++burst) {
        long missing = 0;
        {
            std::lock_guard lock(mutex_);
            const int trigger = rxTrigger_;
            if (trigger > 0 && rx_.Size() >= size_t(trigger)) {
                return;
            }
            missing = trigger > 0 ? long(trigger) - long(rx_.Size()) : 0;
        }
        if (missing > 1 && !slept) {
            // The bytes still awaited cannot come faster than the line carries them: sleep that
            // long once rather than wake for each, as a receive FIFO's trigger level does. What
            // has not come by then is awaited byte by byte, up to a pause, as below. The sleep
            // ends a wake-up's latency early: the first byte was taken that much after it came,
            // and waking after the last one would delay the reply by as much again.
            const long ns = std::min(missing, 16L) * charNs - std::min(kWakeLatencyNs, charNs / 2);
            const timespec rest{ns / 1000000000L, ns % 1000000000L};
            pollfd wake{wakeFd_, POLLIN, 0};
            if (::ppoll(&wake, 1, &rest, nullptr) != 0) {
                return; // told to wake
            }
            slept = true;
            // Drained only when something came: an empty read of a tty that polls readable is
            // how a device that went away shows, so a read without data would look like one.
            pollfd device{fd_, POLLIN, 0};
            if (::poll(&device, 1, 0) > 0 && (device.revents & POLLIN)) {
                std::lock_guard lock(mutex_);
                DrainInputLocked();
                if (lost_) {
                    return;
                }
            }
            continue;
        }
        // The input has been drained, so the device polls readable only for a new byte.
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (::ppoll(fds, 2, &settle, nullptr) <= 0 || (fds[1].revents & POLLIN) ||
            !(fds[0].revents & POLLIN)) {
            return; // the line is quiet, or told to wake: report what has come
        }
        std::lock_guard lock(mutex_);
        DrainInputLocked();
        if (lost_) {
            return;
        }
        settle = {0, 2 * charNs};
    }
}

TSerialEvents PosixSerialBackend::WaitEvent(TSerialEvents monitored) {
    constexpr TSerialEvents kModemEvents = evCTS | evDSR | evRing | evRlsd;
    for (;;) {
        if (stop_ || fd_ < 0 || lostReported_) {
            return 0;
        }
        bool pendingOut = false;
        {
            std::lock_guard lock(mutex_);
            pendingOut = !txPending_.empty();
        }
        pollfd fds[2] = {{fd_, static_cast<short>(POLLIN | (pendingOut ? POLLOUT : 0)), 0},
                         {wakeFd_, POLLIN, 0}};
        int timeout = -1;
        if (rtsRaised_) {
            timeout = 1;
        } else if ((monitored & kModemEvents) && modemLinesWork_) {
            timeout = 50; // modem lines have no pollable change notification
        }
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0 && errno != EINTR) {
            lost_ = true;
        }
        if (fds[1].revents & POLLIN) {
            uint64_t value = 0;
            (void)!::read(wakeFd_, &value, sizeof value);
            if (stop_) {
                return 0;
            }
        }
        TSerialEvents events = 0;
        {
            std::lock_guard lock(mutex_);
            if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
                events |= DrainInputLocked();
            }
            if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                lost_ = true;
            }
            if (pendingOut && (fds[0].revents & POLLOUT)) {
                FlushPendingLocked();
                if (txPending_.empty()) {
                    events |= evTxEmpty;
                }
            }
            if (lost_) {
                errors_ |= ceDeviceLost;
                lostReported_ = true;
                events |= evError;
            }
        }
        if ((events & evRxChar) && !lost_) {
            SettleInput();
        }
        if (rtsRaised_) {
            DropRtsWhenSent();
        }
        events |= CheckModemLines();
        events &= monitored;
        if (events != 0 || lostReported_) {
            return events;
        }
    }
}

std::unique_ptr<SerialBackend> MakeDeviceBackend() {
    return std::make_unique<PosixSerialBackend>();
}

} // namespace vrx
