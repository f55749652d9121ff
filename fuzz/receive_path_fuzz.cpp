// Fuzz target of the receive path: the board link and the polling cycle driven by a script
// of arrivals (any bytes, any split, reported or not), clock steps, timer ticks, senders with
// their nested waits, transmit stalls, closes and reopens with their detection bursts. LinkHarness
// stops the process on a broken rule of the wire; this file also stops it when a wait does not end
// once the input is spent and the reply timeout has passed often enough to end every command.
//
// The script runs as a chain of posted steps, so steps go on inside the nested event loops of
// the link's waits, as the user's clicks and the port's events do in the program.

#include "link_harness.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMaxWaits = 6;         // nested waits at once: deep enough, and a bounded stack
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
        openFirst_ = (setup & 1) != 0;
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
        if (openFirst_) {
            openFirst_ = false;
            Post(); // before the step, which may wait: the script goes on inside the wait
            harness_->Open();
            return;
        }
        if (script_.Done()) {
            Finish();
            return;
        }
        const uint8_t op = script_.Next();
        Post();
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
            harness_->Tick();
            break;
        case 10:
            harness_->Advance(10); // the timer's interval
            harness_->Tick();
            break;
        case 11:
        case 12: {
            std::vector<uint8_t> firsts(size_t(script_.Next() % kMaxTransfers) + 1);
            for (uint8_t& b : firsts) {
                b = script_.Next();
            }
            if (harness_->WaitsRunning() < kMaxWaits) {
                harness_->Send(firsts);
            }
            break;
        }
        case 13: {
            const uint8_t stall = script_.Next();
            const vrx::fuzz::Stall kinds[] = {vrx::fuzz::Stall::None, vrx::fuzz::Stall::Now,
                                              vrx::fuzz::Stall::AfterNextWrite,
                                              vrx::fuzz::Stall::None};
            harness_->SetStall(kinds[stall & 3], uint32_t(stall >> 2) * 8);
            break;
        }
        case 14:
            if (harness_->IsOpen()) {
                harness_->Close();
            } else if (harness_->WaitsRunning() < kMaxWaits) {
                harness_->Open();
            }
            break;
        default:
            harness_->Watch();
            break;
        }
    }

    // The input is spent: every wait still running must end within bounded reply timeouts.
    void Finish() {
        if (harness_->WaitsRunning() == 0) {
            loop_.quit();
            return;
        }
        if (++expiries_ > kMaxExpiries) {
            std::fprintf(stderr, "receive path: %d waits still run after %d reply timeouts\n",
                         harness_->WaitsRunning(), kMaxExpiries);
            std::abort();
        }
        harness_->Expire();
        Post();
    }

    Script script_;
    std::optional<vrx::fuzz::LinkHarness> harness_;
    QEventLoop loop_;
    bool openFirst_ = false;
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
