#include "link_harness.h"

#include <cstdio>
#include <cstdlib>

namespace vrx::fuzz {

namespace {

// Transfers carry this second byte and their number in the last two; polls send zeros there.
constexpr uint8_t kTransferMark = 0xA5;

[[noreturn]] void Broken(const char* rule) {
    std::fprintf(stderr, "receive path: %s\n", rule);
    std::abort();
}

} // namespace

LinkHarness::LinkHarness(uint32_t startTick, bool zephaFrames) : now_(startTick) {
    port_.SetDeviceName(QStringLiteral("fake"));
    port_.SetSimple(true); // no reader thread: Arrive reports each arrival as the reader would
    port_.Open();
    link_.ZephaFrames = zephaFrames;
    link_.ReportError = [](const QString&) {};
    link_.OnPollReply = [this](const Answer& reply) {
        if (!inFlight_ || inFlight_->kind != Kind::Poll || inFlight_->tag != cycle_.PollIndex) {
            Broken("a poll reply credited to a slot whose telegram is not in flight");
        }
        cycle_.DistributeReply(reply);
    };
    link_.OnIdentification = [this](const Identification&) {
        if (!identificationAwaited_ || !identificationAsked_) {
            Broken("an identification taken before the burst asked for it");
        }
    };
    link_.OnReplyAccepted = [this] { ReplyAccepted(); };
    QObject::connect(&link_, &BoardLink::answerStateChanged, [this] {
        if (link_.AnswerReceived) {
            inFlight_.reset();
            identificationAwaited_ = false;
            identificationAsked_ = false;
        }
    });
    fake_->onWrite = [this](const std::vector<uint8_t>& bytes) { Written(bytes); };
}

LinkHarness::~LinkHarness() {
    fake_->onWrite = nullptr;
    link_.Close();
}

uint32_t LinkHarness::Clock() {
    const uint32_t tick = now_;
    now_ += driftMs_;
    return tick;
}

void LinkHarness::Open() {
    if (!port_.IsOpen()) {
        port_.Open();
    }
    cycle_.PollIndex = 0;
    link_.PollingEnabled = true;
    // Awaited from the burst's first byte: its waits run the event loop, where it may come.
    identificationAwaited_ = true;
    ++waitsRunning_;
    link_.StartDetection();
    --waitsRunning_;
}

void LinkHarness::Arrive(const std::vector<uint8_t>& bytes, bool report) {
    {
        std::lock_guard lock(fake_->mutex);
        fake_->rx.insert(fake_->rx.end(), bytes.begin(), bytes.end());
    }
    if (report && port_.IsOpen() && port_.OnRxChar) {
        port_.OnRxChar(port_, static_cast<int>(fake_->RxCount()));
    }
}

void LinkHarness::SetStall(Stall stall, uint32_t driftMs) {
    std::lock_guard lock(fake_->mutex);
    fake_->outQueue = stall == Stall::Now ? 1 : 0;
    stallAfterWrite_ = stall == Stall::AfterNextWrite;
    driftMs_ = driftMs;
}

void LinkHarness::Send(const std::vector<uint8_t>& firstBytes) {
    ++waitsRunning_;
    {
        const auto suspension = link_.SuspendPolling();
        for (const uint8_t first : firstBytes) {
            const int number = transfersStarted_++;
            const Telegram t{first, kTransferMark, static_cast<uint8_t>(number >> 8),
                             static_cast<uint8_t>(number)};
            if (link_.Transfer(t) && answered_.count(number) == 0) {
                Broken("a transfer answered by a reply to another command");
            }
        }
    }
    --waitsRunning_;
}

void LinkHarness::Expire() {
    SetStall(Stall::None, 0);
    now_ += BoardLink::kReplyTimeoutMs + 1;
    link_.CheckReplyTimeout();
    Watch();
}

void LinkHarness::Written(const std::vector<uint8_t>& bytes) {
    if (stallAfterWrite_) {
        std::lock_guard lock(fake_->mutex);
        fake_->outQueue = 1;
        stallAfterWrite_ = false;
    }
    // The detection burst: zeros, then 0xFF, which asks for the identification awaited apart.
    // No query byte is either.
    if (bytes.size() == 1 && (bytes[0] == 0x00 || bytes[0] == 0xFF)) {
        if (!link_.Detecting) {
            Broken("a byte of the detection burst sent while no detection runs");
        }
        identificationAsked_ = bytes[0] == 0xFF;
        return;
    }
    // A telegram frame: '#' or '!', with 0x04 in the frame form of the ZEPHA board.
    size_t body = 0;
    if (bytes.size() == 5 && bytes[0] == 0x23) {
        body = 1;
    } else if (bytes.size() == 6 && (bytes[0] == 0x23 || bytes[0] == 0x21) && bytes[1] == 0x04) {
        body = 2;
    }
    Command command{Kind::Poll, cycle_.PollIndex};
    if (body > 0 && bytes[body + 1] == kTransferMark) {
        command = {Kind::Transfer, (bytes[body + 2] << 8) | bytes[body + 3]};
    } else if (body == 0 && bytes.size() != 1) {
        Broken("bytes on the wire that are neither a frame nor a query");
    }
    if (inFlight_ || identificationAwaited_) {
        Broken("a command sent while another is in flight");
    }
    inFlight_ = command;
}

void LinkHarness::ReplyAccepted() {
    if (!inFlight_ && !identificationAwaited_) {
        Broken("a reply taken while nothing is in flight");
    }
    if (inFlight_ && inFlight_->kind == Kind::Transfer && !link_.Detecting) {
        answered_.insert(inFlight_->tag);
    }
    cycle_.Advance(link_.Detecting);
}

} // namespace vrx::fuzz
