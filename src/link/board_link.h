#pragma once
// BoardLink: the command protocol of the evaluation board on top of the serial port. It frames
// telegrams, sends board commands and the detection burst, takes the replies in the receive
// handler and dispatches them as transfer answers, identifications or poll replies, and keeps
// the link state that the main window and the polling cycle share.
//
// All of it runs on the user-interface thread. Waits run a nested event loop, so timer ticks
// and the receive handler run inside them; waits can nest (a Stop clicked while Go waits), so
// each transfer owns its answer and a transfer never goes on the line while another command is
// in flight.

#include "chip/telegram.h"
#include "protocol/board_frames.h"
#include "protocol/board_identification.h"
#include "serial/tick_clock.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

namespace vrx {

class TSerialPort;
class BoardLink;

// Scope guard of SuspendPolling: restores PollingEnabled on every way out.
class [[nodiscard]] PollingSuspension {
public:
    PollingSuspension(PollingSuspension&& other) noexcept
        : link_(std::exchange(other.link_, nullptr)), remembered_(other.remembered_) {}
    PollingSuspension(const PollingSuspension&) = delete;
    PollingSuspension& operator=(const PollingSuspension&) = delete;
    PollingSuspension& operator=(PollingSuspension&&) = delete;
    ~PollingSuspension();

private:
    friend class BoardLink;
    PollingSuspension(BoardLink* link, bool remembered) : link_(link), remembered_(remembered) {}
    BoardLink* link_;
    bool remembered_;
};

class BoardLink : public QObject {
    Q_OBJECT
public:
    static constexpr uint32_t kReplyTimeoutMs = vrx::kReplyTimeoutMs; // the default

    explicit BoardLink(TSerialPort& port, TickClock clock = MonotonicTickCount,
                       QObject* parent = nullptr);
    ~BoardLink() override;

    TSerialPort& Port() { return port_; }
    uint32_t ReplyTimeoutMs() const { return replyTimeoutMs_; }
    // Tests shorten it to run many timeouts quickly.
    void SetReplyTimeout(uint32_t ms) { replyTimeoutMs_ = ms; }
    // After a reply timeout nothing is sent until the line has been quiet this long, so a
    // late reply is not taken for the answer to the next command.
    uint32_t ResyncQuietMs() const { return replyTimeoutMs_ / 2; }
    uint32_t Now() const { return clock_(); }

    // Link state; plain flags touched only on the user-interface thread.
    bool PollingEnabled = true;
    bool AnswerReceived = true;
    bool AwaitingTransfer = false;
    bool Detecting = false;
    uint32_t LastSendTick = 0;
    Answer TransferAnswer;
    // Frame form: the ZEPHA board takes "#"/"!", 0x04 and four bytes; "!" selects slow SPI.
    bool ZephaFrames = false;
    bool SlowSpi = false;

    // Hooks the owner sets.
    std::function<void(const Identification&)> OnIdentification;
    std::function<void(const Answer&)> OnPollReply;
    // After every accepted reply, while Detecting still tells whether it was the identification.
    std::function<void()> OnReplyAccepted;
    // The reply timeout, before the queues are purged and the flags reset.
    std::function<void()> OnReplyTimeout;
    std::function<void(const QString&)> ReportError;
    // The port went away; without a hook the link closes it.
    std::function<void()> OnPortLost;
    // The transmit queue has not drained for the reply timeout (a stalled adapter); called
    // once per stall. The line recovers by itself when the queue drains.
    std::function<void()> OnLineStalled;
    // Every transfer the board answered, with its answer.
    std::function<void(const Telegram&, const Answer&)> OnTransferAnswered;

    void SendTelegram(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3);
    // Sends one telegram and waits for its reply; returns this transfer's own answer, or
    // nothing after the reply timeout, a close, or while polling is enabled (then nothing is
    // sent).
    std::optional<Answer> Transfer(const Telegram& t);
    // As Transfer, but the previous TransferAnswer stands in for a missing answer.
    Answer TransferTelegram(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
        return Transfer({b0, b1, b2, b3}).value_or(TransferAnswer);
    }
    Answer TransferTelegram(const Telegram& t) { return TransferTelegram(t.b0, t.b1, t.b2, t.b3); }
    PollingSuspension SuspendPolling();
    // Waits, bounded by the reply timeout, until the transmit queue is empty: briefly on the
    // spot, then in an event loop, so a stalled adapter does not freeze the windows.
    bool WaitTxEmpty();
    void SendBoardBytes(const uint8_t* data, int count);
    void StartDetection();
    void SendZEPHASetup();

    // Receive handler, called with the number of bytes waiting. Bytes that come while no
    // command is in flight answer nothing and are discarded.
    void SerialPortRxChar(int count);

    // Whether a command may go on the line now: none in flight, the line quiet after a
    // timeout, and the transmit queue drained (a queue that stays full is reported once).
    bool ReadyToSend();

    // Runs the reply timeout when no reply came within the reply timeout of LastSendTick.
    void CheckReplyTimeout();
    bool ReplyOverdue() const;

    // Closes the port and ends every wait in progress as the reply timeout would.
    void Close();

signals:
    // The in-flight state changed: a reply was accepted, a timeout or close ended a wait.
    void answerStateChanged();

private:
    struct PendingTransfer {
        bool done = false;
        bool answered = false;
        Answer answer;
    };

    bool LineDrained();
    // Runs the event loop until `done`, the port closes, the application quits or, with a
    // bound, `boundMs` have passed; `pollMs` is how often `done` is looked at besides the
    // link's own state changes.
    void WaitUntil(const std::function<bool()>& done, uint32_t boundMs = 0, int pollMs = 10);
    void EndCommand();
    void ReplyTimeout();
    void ReportSendError();
    bool WriteFrame(const uint8_t* data, int count);
    void PortLost();

    TSerialPort& port_;
    TickClock clock_;
    uint32_t replyTimeoutMs_ = kReplyTimeoutMs;
    PendingTransfer* transfer_ = nullptr;
    uint64_t session_ = 0;               // counts the closes: a wait finds its port reopened
    bool identificationAsked_ = false;   // the detection burst's last byte has gone out
    bool resync_ = false;                // quiet wanted after a timeout
    uint32_t quietSince_ = 0;            // the last stray byte, or the timeout
    std::optional<uint32_t> stallSince_; // the transmit queue has not drained since
    bool stalled_ = false;
    bool sendErrorShown_ = false; // one "Send error!" per stall
    bool quitting_ = false;       // the application is leaving its event loop
};

} // namespace vrx
