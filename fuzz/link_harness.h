#pragma once
// The board link and polling cycle over the fake serial backend with a clock the fuzzer sets,
// wired as the main window wires them, and a watch over the wire that stops the process on the
// first broken rule: a command sent while another (or the identification) is in flight, a
// reply taken while nothing is in flight, a poll reply credited to a slot whose telegram is
// not the one in flight, a transfer answered by a reply to another command, an identification
// taken before the burst asked for it, or a burst byte sent outside a detection.
//
// The port runs without its reader thread; arrivals are reported on the calling thread as the
// reader hands them over (OnRxChar with the count of waiting bytes), so a run depends on its
// input alone.

#include "link/board_link.h"
#include "link/poll_cycle.h"
#include "link/serial_port.h"

#include "link/fake_serial_backend.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace vrx::fuzz {

enum class Stall { None, Now, AfterNextWrite };

class LinkHarness {
public:
    LinkHarness(uint32_t startTick, bool zephaFrames);
    ~LinkHarness();

    // The main window's Open: polling from slot 0, then the detection burst; reopens a port
    // that was closed.
    void Open();
    // Bytes reach the receive queue; `report` hands the arrival to the link.
    void Arrive(const std::vector<uint8_t>& bytes, bool report);
    void Advance(uint32_t ms) { now_ += ms; }
    // The transmit queue stalls now, once the next bytes are written, or drains; every clock
    // reading moves on by `driftMs`, as time passes during the link's waits.
    void SetStall(Stall stall, uint32_t driftMs);
    void Tick() { cycle_.Tick(); }
    // A sender as the windows have them: polling suspended, then the transfers in turn.
    void Send(const std::vector<uint8_t>& firstBytes);
    void Close() { link_.Close(); }
    bool IsOpen() const { return port_.IsOpen(); }
    // Stands in for the waits' own watch timers, which look at the clock every few
    // milliseconds of real time; the fuzzer's clock moves only when the script says so.
    void Watch() { emit link_.answerStateChanged(); }
    // The reply timeout passes, and the waits look at the clock.
    void Expire();

    // Senders and detection bursts that have not returned yet.
    int WaitsRunning() const { return waitsRunning_; }

private:
    enum class Kind { Poll, Transfer };
    struct Command {
        Kind kind;
        int tag; // the slot of a poll, the number of a transfer
    };

    uint32_t Clock();
    void Written(const std::vector<uint8_t>& bytes);
    void ReplyAccepted();

    std::shared_ptr<test::FakeSerialState> fake_ = std::make_shared<test::FakeSerialState>();
    uint32_t now_;
    uint32_t driftMs_ = 0;
    bool stallAfterWrite_ = false;
    TSerialPort port_{std::make_unique<test::FakeSerialBackend>(fake_)};
    BoardLink link_{port_, [this] { return Clock(); }};
    PollCycle cycle_{link_};

    bool identificationAwaited_ = false; // from the burst's start to the end of its command
    bool identificationAsked_ = false;   // the burst's 0xFF has gone out
    std::optional<Command> inFlight_;
    int transfersStarted_ = 0;
    std::set<int> answered_; // transfers credited with a reply
    int waitsRunning_ = 0;
};

} // namespace vrx::fuzz
