#include "link/board_link.h"

#include "link/serial_port.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <thread>
#include <vector>

namespace vrx {

PollingSuspension::~PollingSuspension() {
    if (link_ != nullptr) {
        link_->PollingEnabled = remembered_;
    }
}

BoardLink::BoardLink(TSerialPort& port, TickClock clock, QObject* parent)
    : QObject(parent), port_(port), clock_(std::move(clock)) {
    port_.OnRxChar = [this](TSerialPort&, int count) { SerialPortRxChar(count); };
    port_.OnError = [this](TSerialPort&, uint32_t errors) {
        if (errors & ceDeviceLost) {
            PortLost();
        }
    };
    port_.SetRxTrigger(kReplyBytes);
}

BoardLink::~BoardLink() {
    port_.OnRxChar = nullptr;
    port_.OnError = nullptr;
}

bool BoardLink::WaitTxEmpty() {
    // A queue that drains at the line's pace empties within a few character times.
    const auto spinEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(5);
    while (port_.IsOpen() && port_.OutQueueCount() > 0 &&
           std::chrono::steady_clock::now() < spinEnd) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    if (port_.IsOpen() && port_.OutQueueCount() > 0) {
        WaitUntil([this] { return port_.OutQueueCount() == 0; }, replyTimeoutMs_, 1);
    }
    return port_.IsOpen() && port_.OutQueueCount() == 0;
}

bool BoardLink::WriteFrame(const uint8_t* data, int count) {
    return WaitTxEmpty() && port_.Write(data, count) >= 0;
}

void BoardLink::ReportSendError() {
    // A port being closed or lost fails its writes too: that is the loss, which is reported
    // (or waited out) on its own, not a send error.
    if (!port_.IsOpen() || port_.DeviceLost()) {
        return;
    }
    if (!sendErrorShown_ && ReportError) {
        sendErrorShown_ = true;
        ReportError(QStringLiteral("Send error!"));
    }
}

void BoardLink::SendTelegram(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    const std::vector<uint8_t> frame = TelegramFrame({b0, b1, b2, b3}, ZephaFrames, SlowSpi);
    if (!WriteFrame(frame.data(), int(frame.size()))) {
        ReportSendError();
    } else {
        sendErrorShown_ = false;
    }
}

std::optional<Answer> BoardLink::Transfer(const Telegram& t) {
    if (PollingEnabled || !port_.IsOpen() || quitting_) {
        return std::nullopt;
    }
    // A transfer started inside another's wait goes on the line only after that reply, and
    // after the quiet that follows a timeout. The bound covers both.
    WaitUntil([this] { return ReadyToSend(); }, 2 * replyTimeoutMs_);
    if (!port_.IsOpen() || quitting_) {
        return std::nullopt;
    }
    if (!ReadyToSend()) {
        if (stalled_) {
            ReportSendError();
        }
        return std::nullopt;
    }
    PendingTransfer mine;
    transfer_ = &mine;
    AwaitingTransfer = true;
    AnswerReceived = false;
    SendTelegram(t.b0, t.b1, t.b2, t.b3);
    LastSendTick = clock_();
    WaitUntil([&mine] { return mine.done; });
    if (transfer_ == &mine) {
        transfer_ = nullptr; // ended by leaving the application's event loop
    }
    if (!mine.answered) {
        return std::nullopt;
    }
    if (OnTransferAnswered) {
        OnTransferAnswered(t, mine.answer);
    }
    return mine.answer;
}

PollingSuspension BoardLink::SuspendPolling() {
    const bool remembered = PollingEnabled;
    if (PollingEnabled) {
        PollingEnabled = false;
        WaitUntil([this] { return AnswerReceived; });
    }
    return PollingSuspension(this, remembered);
}

void BoardLink::SendBoardBytes(const uint8_t* data, int count) {
    if (WaitTxEmpty() && port_.Write(data, count) >= 0) {
        sendErrorShown_ = false;
    } else if (port_.IsOpen()) {
        ReportSendError();
    }
}

void BoardLink::StartDetection() {
    const uint64_t session = session_;
    port_.PurgeOut();
    // The identification is a command in flight like any other: nothing else goes out and the
    // reply timeout watches it. Only the burst's last byte asks for it, though: what comes
    // before answers nothing.
    Detecting = true;
    identificationAsked_ = false;
    AnswerReceived = false;
    LastSendTick = clock_();
    const uint8_t zero = 0x00;
    for (int i = 0; i < kDetectionZeros; ++i) {
        port_.Write(&zero, 1);
        const bool sent = WaitTxEmpty();
        if (session != session_ || !Detecting) {
            return; // the port was closed (and maybe opened again), or the timeout ended it
        }
        if (!sent) {
            // A line that does not send: the board cannot answer, and the rest of the burst
            // would only wait in vain.
            ReplyTimeout();
            return;
        }
    }
    port_.SetRxTrigger(kIdentificationBytes);
    identificationAsked_ = true;
    port_.Write(&kDetectionEnd, 1);
    LastSendTick = clock_();
}

void BoardLink::SendZEPHASetup() {
    port_.PurgeOut();
    port_.Write(kZephaSetup.data(), int(kZephaSetup.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(kZephaPauseMs));
    WaitTxEmpty();
    port_.Write(kZephaMode.data(), int(kZephaMode.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(kZephaPauseMs));
}

void BoardLink::SerialPortRxChar(int count) {
    const bool inFlight = !AnswerReceived && (!Detecting || identificationAsked_);
    switch (ClassifyArrival(inFlight, Detecting, count)) {
    case Arrival::Discard:
        // Taken, a late reply or noise would answer the next command.
        port_.PurgeIn();
        if (resync_) {
            quietSince_ = clock_();
        }
        return;
    case Arrival::Wait:
        return;
    case Arrival::Take:
        break;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    if (port_.Read(bytes.data(), count) != count) {
        return;
    }
    if (AwaitingTransfer) {
        AwaitingTransfer = false;
        TransferAnswer = {bytes[0], bytes[1], bytes[2], bytes[3]};
        if (transfer_ != nullptr) {
            transfer_->answer = TransferAnswer;
            transfer_->answered = true;
        }
    } else if (Detecting) {
        Identification id{};
        std::copy(bytes.begin(), bytes.end(), id.begin());
        if (OnIdentification) {
            OnIdentification(id);
        }
    } else if (OnPollReply) {
        OnPollReply(Answer{bytes[0], bytes[1], bytes[2], bytes[3]});
    }
    if (OnReplyAccepted) {
        OnReplyAccepted();
    }
    EndCommand();
}

void BoardLink::EndCommand() {
    AnswerReceived = true;
    Detecting = false;
    port_.SetRxTrigger(kReplyBytes);
    if (transfer_ != nullptr) {
        transfer_->done = true;
        transfer_ = nullptr;
    }
    emit answerStateChanged();
}

bool BoardLink::ReplyOverdue() const {
    return !AnswerReceived && TicksSince(clock_(), LastSendTick) > replyTimeoutMs_;
}

void BoardLink::CheckReplyTimeout() {
    if (ReplyOverdue()) {
        ReplyTimeout();
    }
}

void BoardLink::ReplyTimeout() {
    if (OnReplyTimeout) {
        OnReplyTimeout();
    }
    port_.PurgeIn();
    port_.PurgeOut();
    // A transfer that timed out is over: a late reply must not be taken as its answer.
    AwaitingTransfer = false;
    resync_ = true;
    quietSince_ = clock_();
    EndCommand();
}

bool BoardLink::ReadyToSend() {
    if (!AnswerReceived || !port_.IsOpen()) {
        return false;
    }
    if (resync_) {
        if (TicksSince(clock_(), quietSince_) < ResyncQuietMs()) {
            return false;
        }
        resync_ = false;
    }
    return LineDrained();
}

bool BoardLink::LineDrained() {
    const uint32_t now = clock_();
    if (port_.OutQueueCount() == 0) {
        stallSince_.reset();
        stalled_ = false;
        return true;
    }
    if (!stallSince_) {
        stallSince_ = now;
    } else if (!stalled_ && TicksSince(now, *stallSince_) > replyTimeoutMs_) {
        stalled_ = true;
        if (OnLineStalled) {
            OnLineStalled();
        }
    }
    return false;
}

void BoardLink::Close() {
    ++session_;
    port_.Close();
    AwaitingTransfer = false;
    EndCommand();
}

void BoardLink::PortLost() {
    if (OnPortLost) {
        OnPortLost();
    } else {
        Close();
    }
}

void BoardLink::WaitUntil(const std::function<bool()>& done, uint32_t boundMs, int pollMs) {
    if (done()) {
        return;
    }
    const uint32_t start = clock_();
    const auto over = [&] { return boundMs > 0 && TicksSince(clock_(), start) > boundMs; };
    QEventLoop loop;
    const auto check = [&] {
        if (done() || !port_.IsOpen() || over()) {
            loop.quit();
        }
    };
    connect(this, &BoardLink::answerStateChanged, &loop, check);
    // The wait watches the reply timeout itself, so it ends even when no polling timer runs.
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    connect(&watch, &QTimer::timeout, &loop, [&] {
        CheckReplyTimeout();
        check();
    });
    watch.start(pollMs);
    loop.exec();
    if (!done() && port_.IsOpen() && !over()) {
        // The loop was ended from outside: the application is quitting.
        quitting_ = true;
        AwaitingTransfer = false;
        EndCommand();
    }
}

} // namespace vrx
