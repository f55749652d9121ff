#include "serial/network_serial_backend.h"

#include <algorithm>
#include <cerrno>
#include <thread>
#include <utility>

namespace vrx {

namespace {

using Clock = std::chrono::steady_clock;

// How long a server that says nothing is given to close a connection it does not take, before
// the client speaks (ser2net says "Port already in use" and closes at once).
constexpr uint32_t kEarlyCloseMs = 150;
// How long, and how often, a port the server calls in use is asked again.
constexpr uint32_t kBusyRetryMs = 1200;
constexpr uint32_t kBusyPauseMs = 100;
constexpr uint32_t kSendBoundMs = 2000;
constexpr uint32_t kBoardBaud = 19200;

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

LineSettings BoardLine() {
    LineSettings line;
    line.baudRate = cbr19200;
    line.flowControl = fcNone;
    return line;
}

uint8_t DataSizeValue(TDatabits bits) {
    return bits == da4 ? 5 : uint8_t(bits + 4); // da5..da8 are 5..8 bits
}

uint8_t ParityValue(TParity parity) {
    return uint8_t(parity + 1); // NONE, ODD, EVEN, MARK, SPACE are 1..5
}

uint8_t StopSizeValue(TStopbits stop) {
    return stop == sb10 ? 1 : stop == sb20 ? 2 : 3;
}

uint8_t FlowValue(TFlowControl flow) {
    switch (flow) {
    case fcSoftware:
        return 2;
    case fcCTS:
        return 3;
    default:
        return kControlNoFlow; // RTS toggling is driven around each write
    }
}

bool SameLine(const LineSettings& a, const LineSettings& b) {
    return a.baudRate == b.baudRate && a.databits == b.databits && a.parity == b.parity &&
           a.stopbits == b.stopbits && FlowValue(a.flowControl) == FlowValue(b.flowControl);
}

std::string Trimmed(std::string text) {
    const auto printable = [](char c) { return c > ' ' && c < 127; };
    const auto first = std::find_if(text.begin(), text.end(), printable);
    const auto last = std::find_if(text.rbegin(), text.rend(), printable).base();
    return first < last ? std::string(first, last) : std::string();
}

} // namespace

NetworkSerialBackend::~NetworkSerialBackend() {
    Close();
}

bool NetworkSerialBackend::Refuse(int& error, int code, std::string reason) {
    error = code;
    failure_ = std::move(reason);
    socket_.Close();
    telnet_.reset();
    name_.reset();
    return false;
}

bool NetworkSerialBackend::Open(const std::string& device, int& error) {
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::milliseconds(kOpenBoundMs);
    // A port whose last client has just gone, or whose device another port of the server has
    // just let go, is still "in use" for a moment while the server closes it: that is asked
    // again for a while before it counts.
    const auto busyEnd = start + std::chrono::milliseconds(kBusyRetryMs);
    while (!OpenOnce(device, deadline, error)) {
        if (error != EBUSY || Clock::now() + std::chrono::milliseconds(kBusyPauseMs) >= busyEnd) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kBusyPauseMs));
    }
    return true;
}

bool NetworkSerialBackend::OpenOnce(const std::string& device, Clock::time_point deadline,
                                    int& error) {
    Close();
    error = 0;
    failure_.clear();
    std::string problem;
    name_ = ParseNetworkPortName(device, problem);
    if (!name_) {
        return Refuse(error, EINVAL, problem);
    }
    std::string reason;
    if (!socket_.Connect(name_->host, name_->port, name_->Server(),
                         uint32_t(std::max(RemainingMs(deadline), 1)), error, reason)) {
        return Refuse(error, error, reason);
    }
    {
        std::lock_guard lock(mutex_);
        rx_.Clear();
        errors_ = 0;
        lost_ = lostReported_ = false;
        rtsRaised_ = false;
        sentLine_.reset();
        stop_ = false;
    }
    if (name_->scheme == NetworkScheme::Rfc2217) {
        return Negotiate(deadline, error);
    }
    return AwaitRefusal(deadline, kEarlyCloseMs, error);
}

template <typename Enough>
bool NetworkSerialBackend::ReadDuringOpen(Clock::time_point deadline, std::string& said,
                                          bool answer, int quietMs, Enough enough) {
    uint8_t buffer[512];
    bool heard = false;
    while (!enough()) {
        const int left = RemainingMs(deadline);
        const int wait = heard && quietMs >= 0 ? std::min(left, quietMs) : left;
        if (left <= 0 || socket_.Wait(wait) != TcpSocket::Ready::Readable) {
            return true;
        }
        for (;;) {
            const long n = socket_.Receive(buffer, sizeof buffer);
            if (n == TcpSocket::kNothingYet) {
                break;
            }
            if (n <= 0) {
                if (telnet_) {
                    const std::vector<uint8_t> data = telnet_->TakeData();
                    said.append(data.begin(), data.end());
                }
                return false;
            }
            heard = true;
            if (!telnet_) {
                said.append(buffer, buffer + n);
                continue;
            }
            telnet_->Receive(buffer, size_t(n));
            std::lock_guard lock(mutex_);
            if (answer && !FlushTelnetLocked()) {
                return false;
            }
        }
    }
    return true;
}

bool NetworkSerialBackend::AwaitRefusal(Clock::time_point deadline, uint32_t silentMs, int& error) {
    // A server that greets (ser2net's telnet options) is heard out until it pauses; one that
    // waits for the client is given `silentMs`.
    constexpr int kPauseMs = 30;
    const auto end = std::min(deadline, Clock::now() + std::chrono::milliseconds(silentMs));
    std::string said;
    if (!ReadDuringOpen(end, said, false, kPauseMs, [] { return false; })) {
        return ServerClosed(said, error);
    }
    return true;
}

bool NetworkSerialBackend::ServerClosed(const std::string& said, int& error) {
    const std::string text = Trimmed(said);
    if (text.find("in use") != std::string::npos) {
        return Refuse(error, EBUSY, "in use by another client of " + name_->Server());
    }
    return Refuse(error, ECONNRESET,
                  "the server at " + name_->Server() + " closed the connection" +
                      (text.empty() ? std::string() : ": " + text.substr(0, 200)));
}

bool NetworkSerialBackend::Negotiate(Clock::time_point deadline, int& error) {
    if (!ComPortClient::Available()) {
        return Refuse(error, EPROTONOSUPPORT,
                      "this build has no rfc2217:// ports (it was made without libtelnet); open "
                      "the server's raw TCP port as socket://HOST:PORT");
    }
    telnet_ = std::make_unique<ComPortClient>();
    const auto negotiationEnd =
        std::min(deadline, Clock::now() + std::chrono::milliseconds(kNegotiationMs));
    if (!AwaitRefusal(negotiationEnd, kEarlyCloseMs, error)) {
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        telnet_->Start();
        SendLineLocked(BoardLine());
        if (!FlushTelnetLocked()) {
            return ServerClosed({}, error);
        }
    }
    const auto answered = [this] {
        return telnet_->ProtocolError() ||
               (telnet_->Agreed() && telnet_->Reply(ComPortCommand::SetBaudRate) &&
                telnet_->Reply(ComPortCommand::SetDataSize) &&
                telnet_->Reply(ComPortCommand::SetParity) &&
                telnet_->Reply(ComPortCommand::SetStopSize));
    };
    std::string said;
    if (!ReadDuringOpen(negotiationEnd, said, true, -1, answered)) {
        return ServerClosed(said, error);
    }
    const std::string server = "the server at " + name_->Server();
    if (telnet_->ProtocolError()) {
        return Refuse(error, EPROTO, server + " broke the telnet protocol");
    }
    if (!answered()) {
        return Refuse(error, ETIMEDOUT,
                      server + " did not answer the negotiation within " +
                          std::to_string(kNegotiationMs / 1000) +
                          " s (a raw TCP port opens as socket://" + name_->Server() + ")");
    }
    const auto one = [this](ComPortCommand command) {
        const auto reply = telnet_->Reply(command);
        return reply->size() == 1 ? int((*reply)[0]) : -1;
    };
    if (telnet_->BaudReply() != kBoardBaud) {
        return Refuse(error, EINVAL, server + " did not take 19200 baud");
    }
    if (one(ComPortCommand::SetDataSize) != 8 || one(ComPortCommand::SetParity) != kParityNone ||
        one(ComPortCommand::SetStopSize) != kStopSizeOne) {
        return Refuse(error, EINVAL, server + " did not take 8 data bits, no parity, 1 stop bit");
    }
    // Serial data that came meanwhile is what was on the line before: never a reply.
    telnet_->TakeData();
    return true;
}

void NetworkSerialBackend::Close() {
    socket_.Close();
    std::lock_guard lock(mutex_);
    telnet_.reset();
    name_.reset();
    rx_.Clear();
    rtsRaised_ = false;
}

bool NetworkSerialBackend::IsOpen() const {
    return socket_.IsOpen();
}

void NetworkSerialBackend::SetQueueSizes(int readSize, int /*writeSize*/) {
    std::lock_guard lock(mutex_);
    rx_.SetLimit(readSize);
}

void NetworkSerialBackend::SendLineLocked(const LineSettings& line) {
    if (!telnet_ || (sentLine_ && SameLine(*sentLine_, line))) {
        return;
    }
    telnet_->SendBaudRate(uint32_t(BaudRateValue(line.baudRate)));
    telnet_->Send(ComPortCommand::SetDataSize, DataSizeValue(line.databits));
    telnet_->Send(ComPortCommand::SetParity, ParityValue(line.parity));
    telnet_->Send(ComPortCommand::SetStopSize, StopSizeValue(line.stopbits));
    telnet_->Send(ComPortCommand::SetControl, FlowValue(line.flowControl));
    sentLine_ = line;
}

bool NetworkSerialBackend::FlushTelnetLocked() {
    if (!telnet_) {
        return true;
    }
    const std::vector<uint8_t> out = telnet_->TakeOutgoing();
    if (!out.empty() && !socket_.SendAll(out.data(), out.size(), kSendBoundMs)) {
        lost_ = true;
        socket_.Wake();
        return false;
    }
    return true;
}

bool NetworkSerialBackend::Apply(const LineSettings& settings) {
    if (!IsOpen()) {
        return false;
    }
    std::lock_guard lock(mutex_);
    settings_ = settings;
    // The line the local port toggles RTS on: here the server's, through SET-CONTROL.
    rtsToggle_ = telnet_ != nullptr && settings.flowControl == fcRTSToggle;
    SendLineLocked(settings);
    return FlushTelnetLocked();
}

int NetworkSerialBackend::Write(const uint8_t* data, int count) {
    if (!IsOpen() || count < 0) {
        return -1;
    }
    std::lock_guard lock(mutex_);
    if (lost_) {
        return -1;
    }
    if (count == 0) {
        return 0;
    }
    bool sent = false;
    if (telnet_) {
        if (rtsToggle_ && !rtsRaised_) {
            telnet_->Send(ComPortCommand::SetControl, kControlRtsOn);
        }
        telnet_->SendData(data, size_t(count));
        sent = FlushTelnetLocked();
    } else {
        sent = socket_.SendAll(data, size_t(count), kSendBoundMs);
        if (!sent) {
            lost_ = true;
            socket_.Wake();
        }
    }
    if (!sent) {
        return -1;
    }
    if (rtsToggle_) {
        // Dropped once the bytes have had their time on the server's line.
        const int baud = std::max(BaudRateValue(settings_.baudRate), 110);
        const auto wireUs = std::chrono::microseconds(int64_t(count) * 10 * 1000000 / baud);
        rtsDropAt_ = std::max(rtsRaised_ ? rtsDropAt_ : Clock::time_point{},
                              Clock::now() + wireUs + std::chrono::milliseconds(1));
        rtsRaised_ = true;
        socket_.Wake(); // the reader times the drop
    }
    return count;
}

int NetworkSerialBackend::Read(uint8_t* data, int count) {
    if (!IsOpen() || count < 0) {
        return -1;
    }
    std::lock_guard lock(mutex_);
    return rx_.Take(data, count);
}

int NetworkSerialBackend::InQueueCount() {
    std::lock_guard lock(mutex_);
    return int(rx_.Size());
}

void NetworkSerialBackend::PurgeIn() {
    std::lock_guard lock(mutex_);
    rx_.Clear();
    if (telnet_ && !lost_) {
        // Goes out with the next write, in its segment: the server purges before the bytes that
        // follow, and a command costs one message instead of two.
        telnet_->Send(ComPortCommand::PurgeData, kPurgeReceive);
    }
}

void NetworkSerialBackend::PurgeOut() {
    std::lock_guard lock(mutex_);
    if (telnet_ && !lost_) {
        telnet_->Send(ComPortCommand::PurgeData, kPurgeTransmit);
        FlushTelnetLocked();
    }
}

uint32_t NetworkSerialBackend::TakeErrors() {
    std::lock_guard lock(mutex_);
    return std::exchange(errors_, 0);
}

bool NetworkSerialBackend::DeviceLost() {
    std::lock_guard lock(mutex_);
    return lost_;
}

void NetworkSerialBackend::InterruptWait() {
    stop_ = true;
    socket_.Wake();
}

TSerialEvents NetworkSerialBackend::PumpLocked() {
    TSerialEvents events = 0;
    uint8_t buffer[1024];
    for (;;) {
        const long n = socket_.Receive(buffer, sizeof buffer);
        if (n == TcpSocket::kNothingYet) {
            return events;
        }
        if (n <= 0) {
            lost_ = true; // the server closed the connection, or it failed
            return events;
        }
        if (!telnet_) {
            events |= rx_.Append(buffer, size_t(n), settings_, errors_);
            continue;
        }
        telnet_->Receive(buffer, size_t(n));
        const std::vector<uint8_t> data = telnet_->TakeData();
        if (!data.empty()) {
            events |= rx_.Append(data.data(), data.size(), settings_, errors_);
        }
        if (!FlushTelnetLocked() || telnet_->ProtocolError()) {
            lost_ = true;
            return events;
        }
    }
}

int NetworkSerialBackend::RtsWaitMs() {
    std::lock_guard lock(mutex_);
    if (!rtsRaised_) {
        return -1;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(rtsDropAt_ - Clock::now());
    return left.count() <= 0 ? 0 : int((left.count() + 999) / 1000);
}

void NetworkSerialBackend::SettleInput() {
    // A reply crosses ser2net in pieces as the device delivers it: wait for the rest of what the
    // owner waits for, up to a pause of a few character times, so it is handed over once.
    for (int piece = 0; piece < 64; ++piece) {
        {
            std::lock_guard lock(mutex_);
            const int trigger = rxTrigger_;
            if (trigger <= 0 || rx_.Size() >= size_t(trigger) || lost_) {
                return;
            }
        }
        if (socket_.Wait(3) != TcpSocket::Ready::Readable) {
            return;
        }
        std::lock_guard lock(mutex_);
        PumpLocked();
    }
}

TSerialEvents NetworkSerialBackend::WaitEvent(TSerialEvents monitored) {
    for (;;) {
        if (stop_ || !IsOpen() || lostReported_) {
            return 0;
        }
        const TcpSocket::Ready ready = socket_.Wait(RtsWaitMs());
        if (stop_) {
            return 0;
        }
        TSerialEvents events = 0;
        {
            std::lock_guard lock(mutex_);
            if (ready == TcpSocket::Ready::Readable) {
                events |= PumpLocked();
            } else if (ready == TcpSocket::Ready::Failed) {
                lost_ = true;
            }
            if (rtsRaised_ && Clock::now() >= rtsDropAt_ && !lost_) {
                telnet_->Send(ComPortCommand::SetControl, kControlRtsOff);
                FlushTelnetLocked();
                rtsRaised_ = false;
            }
            if (lost_) {
                errors_ |= ceDeviceLost;
                lostReported_ = true;
                events |= evError;
            }
        }
        if ((events & evRxChar) && !lostReported_) {
            SettleInput();
        }
        events &= monitored;
        if (events != 0 || lostReported_) {
            return events;
        }
    }
}

} // namespace vrx
