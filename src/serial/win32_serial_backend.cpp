#include "serial/win32_serial_backend.h"

#include "serial/drain_output.h"
#include "serial/win32_line_settings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <utility>

namespace vrx {

namespace {

constexpr DWORD kMonitoredMask =
    EV_BREAK | EV_CTS | EV_DSR | EV_ERR | EV_RING | EV_RLSD | EV_RXCHAR | EV_RXFLAG | EV_TXEMPTY;

// The errno value for why CreateFile failed, so the reasons read as on POSIX systems.
int OpenErrno(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED: // how Windows refuses a port another program holds
    case ERROR_SHARING_VIOLATION:
        return EBUSY;
    default:
        return EIO;
    }
}

// The component's events for the driver's event mask; line errors and arrivals are found by
// asking the driver, not from the mask.
TSerialEvents MaskEvents(DWORD mask) {
    static constexpr struct {
        DWORD driver;
        TSerialEvents component;
    } kEvents[] = {{EV_BREAK, evBreak}, {EV_CTS, evCTS},   {EV_DSR, evDSR},
                   {EV_RING, evRing},   {EV_RLSD, evRlsd}, {EV_TXEMPTY, evTxEmpty}};
    TSerialEvents events = 0;
    for (const auto& e : kEvents) {
        if (mask & e.driver) {
            events |= e.component;
        }
    }
    return events;
}

// A name for the port's lock, the same for every way of writing the port: COM5, \\.\com5.
std::string PortLockName(std::string device) {
    if (device.starts_with("\\\\.\\")) {
        device.erase(0, 4);
    }
    for (char& c : device) {
        c = c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return "Global\\vrx630-serial-port-" + device;
}

void ClearOverlap(OVERLAPPED& overlap) {
    HANDLE event = overlap.hEvent;
    overlap = OVERLAPPED{};
    overlap.hEvent = event;
    ResetEvent(event);
}

} // namespace

Win32SerialBackend::Win32SerialBackend() {
    wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    waitOverlap_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    readOverlap_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    writeOverlap_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

Win32SerialBackend::~Win32SerialBackend() {
    Close();
    for (HANDLE event : {wake_, waitOverlap_.hEvent, readOverlap_.hEvent, writeOverlap_.hEvent}) {
        if (event != nullptr) {
            CloseHandle(event);
        }
    }
}

bool Win32SerialBackend::Open(const std::string& device, int& error) {
    Close();
    error = 0;
    // Not shared: a second open of the port, from here or another program, is refused.
    const HANDLE handle = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = OpenErrno(GetLastError());
        return false;
    }
    DCB state{};
    state.DCBlength = sizeof state;
    if (!GetCommState(handle, &state)) {
        error = ENOTTY; // a file or another device, not a serial port
        CloseHandle(handle);
        return false;
    }
    // Some drivers (virtual ports, Wine's) let a second handle in: a named object per port
    // keeps a second of our programs out as well, as the lock does on POSIX systems. The
    // system removes it with the last handle, so a crashed program leaves none behind.
    const HANDLE portLock = CreateMutexA(nullptr, FALSE, PortLockName(device).c_str());
    if (portLock == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) {
        error = portLock == nullptr ? EIO : EBUSY;
        if (portLock != nullptr) {
            CloseHandle(portLock);
        }
        CloseHandle(handle);
        return false;
    }
    savedState_ = state;
    COMMTIMEOUTS timeouts{};
    savedTimeouts_.reset();
    if (GetCommTimeouts(handle, &timeouts)) {
        savedTimeouts_ = timeouts;
    }
    // Reads return at once with what has come: only the reader thread reads, to drain the
    // driver's queue into ours, and it must never wait on the line while holding the lock.
    COMMTIMEOUTS immediate{};
    immediate.ReadIntervalTimeout = MAXDWORD;
    SetCommTimeouts(handle, &immediate);
    SetupComm(handle, static_cast<DWORD>(rxLimit_), txSize_);
    SetCommMask(handle, kMonitoredMask);
    // Bytes left over from an earlier session would be taken for the next reply.
    PurgeComm(handle, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);

    std::lock_guard lock(mutex_);
    handle_ = handle;
    portLock_ = portLock;
    stop_ = false;
    ResetEvent(wake_);
    waitPending_ = false;
    writePending_ = false;
    lost_ = lostReported_ = false;
    errors_ = 0;
    rx_.Clear();
    txBuffer_.clear();
    rtsToggleByHand_ = false;
    rtsRaised_ = false;
    return true;
}

void Win32SerialBackend::Close() {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return;
    }
    // The reader has ended by now; what it or a write left pending must finish before the
    // handle goes, since the driver writes into our overlap records.
    EndCommWait();
    DrainOutput(*this); // purges, and so ends a pending write, when the queue does not drain
    {
        std::lock_guard lock(mutex_);
        if (writePending_) {
            CancelIoEx(handle_, &writeOverlap_);
            DWORD ignored = 0;
            GetOverlappedResult(handle_, &writeOverlap_, &ignored, TRUE);
            writePending_ = false;
        }
        if (savedState_) {
            SetCommState(handle_, &*savedState_);
        }
        if (savedTimeouts_) {
            SetCommTimeouts(handle_, &*savedTimeouts_);
        }
        savedState_.reset();
        savedTimeouts_.reset();
        CloseHandle(handle_);
        CloseHandle(portLock_);
        handle_ = INVALID_HANDLE_VALUE;
        portLock_ = nullptr;
        rx_.Clear();
        txBuffer_.clear();
    }
}

void Win32SerialBackend::SetQueueSizes(int readSize, int writeSize) {
    std::lock_guard lock(mutex_);
    rxLimit_ = static_cast<size_t>(std::max(readSize, 16));
    rx_.SetLimit(readSize);
    txSize_ = static_cast<DWORD>(std::max(writeSize, 16));
    if (handle_ != INVALID_HANDLE_VALUE) {
        SetupComm(handle_, static_cast<DWORD>(rxLimit_), txSize_);
    }
}

bool Win32SerialBackend::Apply(const LineSettings& s) {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return false;
    }
    DCB current{};
    current.DCBlength = sizeof current;
    if (!GetCommState(handle_, &current)) {
        return false;
    }
    DCB state = current;
    SetLineSettings(s, RtsToggle::ByDriver, state);
    bool byHand = false;
    if (!SetCommState(handle_, &state)) {
        if (s.flowControl != fcRTSToggle) {
            return false;
        }
        // The driver knows no RTS toggling: RTS stays low and Write raises it around each block.
        state = current;
        SetLineSettings(s, RtsToggle::ByHand, state);
        if (!SetCommState(handle_, &state)) {
            return false;
        }
        byHand = true;
    }
    std::lock_guard lock(mutex_);
    settings_ = s;
    rtsToggleByHand_ = byHand;
    return true;
}

bool Win32SerialBackend::TogglesRtsByHand() {
    std::lock_guard lock(mutex_);
    return rtsToggleByHand_;
}

bool Win32SerialBackend::WritePendingLocked() {
    if (!writePending_) {
        return false;
    }
    DWORD written = 0;
    if (!GetOverlappedResult(handle_, &writeOverlap_, &written, FALSE) &&
        GetLastError() == ERROR_IO_INCOMPLETE) {
        return true;
    }
    writePending_ = false; // done, or failed: a lost device is the reader's to report
    return false;
}

bool Win32SerialBackend::DeviceLost() {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::lock_guard lock(mutex_);
    COMSTAT status{};
    return lost_ || !QueryStatusLocked(status); // a device that is gone refuses even its status
}

int Win32SerialBackend::Write(const uint8_t* data, int count) {
    if (handle_ == INVALID_HANDLE_VALUE || count < 0) {
        return -1;
    }
    std::lock_guard lock(mutex_);
    if (WritePendingLocked() || count == 0) {
        return 0;
    }
    if (rtsToggleByHand_) {
        EscapeCommFunction(handle_, SETRTS); // refused on lines without modem control
        rtsRaised_ = true;
    }
    ++writeCount_;
    txBuffer_.assign(data, data + count);
    ClearOverlap(writeOverlap_);
    int result = -1;
    if (WriteFile(handle_, txBuffer_.data(), static_cast<DWORD>(count), nullptr, &writeOverlap_)) {
        DWORD written = 0;
        GetOverlappedResult(handle_, &writeOverlap_, &written, FALSE);
        result = static_cast<int>(written);
    } else if (GetLastError() == ERROR_IO_PENDING) {
        writePending_ = true;
        result = 0;
    }
    if (rtsRaised_) {
        SetEvent(wake_); // the reader drops RTS once the bytes have left
    }
    return result;
}

int Win32SerialBackend::Read(uint8_t* data, int count) {
    if (handle_ == INVALID_HANDLE_VALUE || count < 0) {
        return -1;
    }
    std::lock_guard lock(mutex_);
    return rx_.Take(data, count);
}

int Win32SerialBackend::InQueueCount() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(rx_.Size());
}

bool Win32SerialBackend::QueryStatusLocked(COMSTAT& status) {
    DWORD commErrors = 0;
    if (!ClearCommError(handle_, &commErrors, &status)) {
        return false;
    }
    errors_ |= LineErrors(commErrors);
    return true;
}

int Win32SerialBackend::OutQueueCount() {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    COMSTAT status{};
    const int inDriver = QueryStatusLocked(status) ? static_cast<int>(status.cbOutQue) : 0;
    // Drivers differ in whether a pending write counts in cbOutQue before it reaches the queue.
    if (WritePendingLocked()) {
        return std::max(inDriver, static_cast<int>(txBuffer_.size()));
    }
    return inDriver;
}

void Win32SerialBackend::PurgeIn() {
    std::lock_guard lock(mutex_);
    if (handle_ != INVALID_HANDLE_VALUE) {
        PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR);
    }
    rx_.Clear();
}

void Win32SerialBackend::PurgeOut() {
    std::lock_guard lock(mutex_);
    if (handle_ == INVALID_HANDLE_VALUE) {
        return;
    }
    PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR);
    if (writePending_) {
        DWORD ignored = 0;
        GetOverlappedResult(handle_, &writeOverlap_, &ignored, TRUE); // aborted by the purge
        writePending_ = false;
    }
}

uint32_t Win32SerialBackend::TakeErrors() {
    std::lock_guard lock(mutex_);
    return std::exchange(errors_, 0);
}

void Win32SerialBackend::InterruptWait() {
    stop_ = true;
    SetEvent(wake_);
}

TSerialEvents Win32SerialBackend::DrainInputLocked() {
    TSerialEvents events = 0;
    for (;;) {
        COMSTAT status{};
        if (!QueryStatusLocked(status)) {
            lost_ = true; // a pulled adapter or a hung-up line refuses even the status
            return events;
        }
        if (status.cbInQue == 0) {
            return events;
        }
        uint8_t buf[512];
        ClearOverlap(readOverlap_);
        const DWORD want = std::min<DWORD>(status.cbInQue, sizeof buf);
        DWORD got = 0;
        if ((!ReadFile(handle_, buf, want, nullptr, &readOverlap_) &&
             GetLastError() != ERROR_IO_PENDING) ||
            !GetOverlappedResult(handle_, &readOverlap_, &got, TRUE)) {
            lost_ = true;
            return events;
        }
        if (got == 0) {
            return events;
        }
        events |= rx_.Append(buf, got, settings_, errors_);
    }
}

DWORD Win32SerialBackend::AwaitCommEvent(bool& failed) {
    failed = false;
    if (!waitPending_) {
        ClearOverlap(waitOverlap_);
        waitMask_ = 0;
        if (WaitCommEvent(handle_, &waitMask_, &waitOverlap_)) {
            return waitMask_;
        }
        if (GetLastError() != ERROR_IO_PENDING) {
            failed = true;
            return 0;
        }
        waitPending_ = true;
    }
    const HANDLE events[] = {waitOverlap_.hEvent, wake_};
    // While RTS is raised by hand the reader looks every millisecond whether the bytes have gone.
    const DWORD timeout = rtsRaised_ ? 1 : INFINITE;
    if (WaitForMultipleObjects(2, events, FALSE, timeout) != WAIT_OBJECT_0) {
        return 0; // woken, or time to look at RTS
    }
    waitPending_ = false;
    DWORD ignored = 0;
    if (!GetOverlappedResult(handle_, &waitOverlap_, &ignored, FALSE)) {
        failed = true; // aborted by a purge, or the device failed: draining tells which
        return 0;
    }
    return waitMask_;
}

void Win32SerialBackend::EndCommWait() {
    if (!waitPending_) {
        return;
    }
    if (!CancelIoEx(handle_, &waitOverlap_) && GetLastError() != ERROR_NOT_FOUND) {
        SetCommMask(handle_, kMonitoredMask); // a mask change also ends a pending wait
    }
    DWORD ignored = 0;
    GetOverlappedResult(handle_, &waitOverlap_, &ignored, TRUE);
    waitPending_ = false;
}

void Win32SerialBackend::DropRtsWhenSent() {
    unsigned writes = 0;
    int baud = 0;
    {
        std::lock_guard lock(mutex_);
        COMSTAT status{};
        if (WritePendingLocked() || !QueryStatusLocked(status) || status.cbOutQue > 0) {
            return;
        }
        writes = writeCount_;
        baud = BaudRateValue(settings_.baudRate);
    }
    // The queue is empty, but the last byte may still be in the UART's shift register.
    Sleep(static_cast<DWORD>(10 * 1000 / baud + 1));
    std::lock_guard lock(mutex_);
    if (writes == writeCount_ && !writePending_) {
        EscapeCommFunction(handle_, CLRRTS);
        rtsRaised_ = false;
    }
}

TSerialEvents Win32SerialBackend::WaitEvent(TSerialEvents monitored) {
    for (;;) {
        if (stop_ || handle_ == INVALID_HANDLE_VALUE || lostReported_) {
            EndCommWait();
            return 0;
        }
        bool failed = false;
        const DWORD mask = AwaitCommEvent(failed);
        if (stop_) {
            EndCommWait();
            return 0;
        }
        TSerialEvents events = MaskEvents(mask);
        {
            // Drained on every wake, whatever the mask says: some drivers report arrivals late
            // or not at all, and a failed wait is told from a lost device only here.
            std::lock_guard lock(mutex_);
            events |= DrainInputLocked();
            if ((mask & EV_ERR) || (errors_ & ~ceRxOver)) {
                events |= evError;
            }
            if (lost_) {
                errors_ |= ceDeviceLost;
                lostReported_ = true;
                events |= evError;
            }
        }
        if (failed && events == 0) {
            Sleep(1); // a driver that fails each wait at once must not make the reader spin
        }
        if (rtsRaised_) {
            DropRtsWhenSent();
        }
        events &= monitored;
        if (events != 0 || lostReported_) {
            return events;
        }
    }
}

std::unique_ptr<SerialBackend> MakeDeviceBackend() {
    return std::make_unique<Win32SerialBackend>();
}

} // namespace vrx
