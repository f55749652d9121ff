// Fuzz target of the receive path: the board link and the polling cycle driven by a script
// of arrivals (any bytes, any split, reported or not), clock steps, timer ticks, senders with
// their nested waits, transmit stalls and closes. LinkHarness stops the process on a broken
// rule of the wire; this file also stops it when a wait does not end once the input is spent
// and the reply timeout has passed often enough to end every command.
//
// The script runs as a chain of posted steps, so steps go on inside the nested event loops of
// the senders' waits, as the user's clicks and the port's events do in the program.

#include "link_harness.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMaxSenders = 6;       // nested waits at once: deep enough, and a bounded stack
constexpr int kMaxTransfers = 3;     // per sender
constexpr int kMaxExpiries = 64;     // reply timeouts after the input that must end every wait
constexpr uint32_t kLongStepMs = 16; // a long clock step crosses the reply timeout in 126

class Script {
public:
    Script(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Done() const { return pos_ >= size_; }
    uint8_t Next() { return pos_ < size_ ? data_[pos_++] : 0; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

class Run {
public:
    Run(const uint8_t* data, size_t size) : script_(data, size) {
        const uint8_t setup = script_.Next();
        const uint32_t start = uint32_t(script_.Next()) << 24; // near the wrap, too
        harness_.emplace(start, (setup & 2) != 0);
        if ((setup & 1) != 0) {
            harness_->OpenWithDetection();
        }
    }

    void Execute() {
        Post();
        loop_.exec();
    }

private:
    void Post() {
        QMetaObject::invokeMethod(
            &loop_, [this] { Step(); }, Qt::QueuedConnection);
    }

    void Step() {
        if (script_.Done()) {
            Finish();
            return;
        }
        const uint8_t op = script_.Next();
        Post(); // before the step, which may wait: the script goes on inside the wait
        switch (op % 16) {
        case 0:
        case 1:
        case 2:
        case 3: {
            const uint8_t shape = script_.Next();
            std::vector<uint8_t> bytes(size_t(shape & 15) + 1);
            for (uint8_t& b : bytes) {
                b = script_.Next();
            }
            harness_->Arrive(bytes, (shape & 16) == 0);
            break;
        }
        case 4:
        case 5:
            harness_->Advance(script_.Next());
            break;
        case 6:
            harness_->Advance(script_.Next() * kLongStepMs);
            break;
        case 7:
        case 8:
        case 9:
        case 10:
            harness_->Tick();
            break;
        case 11:
        case 12: {
            std::vector<uint8_t> firsts(size_t(script_.Next() % kMaxTransfers) + 1);
            for (uint8_t& b : firsts) {
                b = script_.Next();
            }
            if (harness_->SendersRunning() < kMaxSenders) {
                harness_->Send(firsts);
            }
            break;
        }
        case 13: {
            const uint8_t stall = script_.Next();
            harness_->SetStall((stall & 1) != 0, uint32_t(stall >> 1) * 8);
            break;
        }
        case 14:
            harness_->Close();
            break;
        default:
            harness_->Advance(1);
            harness_->Tick();
            break;
        }
    }

    // The input is spent: every wait still running must end within bounded reply timeouts.
    void Finish() {
        if (harness_->SendersRunning() == 0) {
            loop_.quit();
            return;
        }
        if (++expiries_ > kMaxExpiries) {
            std::fprintf(stderr, "receive path: %d senders still wait after %d reply timeouts\n",
                         harness_->SendersRunning(), kMaxExpiries);
            std::abort();
        }
        harness_->SetStall(false, 0);
        harness_->Expire();
        Post();
    }

    Script script_;
    std::optional<vrx::fuzz::LinkHarness> harness_;
    QEventLoop loop_;
    int expiries_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Run run(data, size);
    run.Execute();
    return 0;
}
