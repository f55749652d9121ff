#pragma once
// PollCycle: the program's main loop. The polling timer calls Tick every 10 ms; each tick after
// a reply sends the read telegram of the current poll slot (or, for slots 51..55, a one-byte
// board query), each tick without one only watches the reply timeout. Replies are distributed
// to the slot's displays and handlers, the plot feed and the status LEDs, and the walk moves on
// to the next slot that is polled always or belongs to the register window's page on top.
// Windows plug in by filling the slots' displays and handlers.

#include "chip/poll_slots.h"
#include "chip/telegram.h"
#include "protocol/pass_row.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace vrx {

class BoardLink;

using TextSink = std::function<void(const QString&)>;
using AnswerHandler = std::function<void(uint8_t a1, uint8_t a2, uint8_t a3)>;

struct PollSlot {
    uint32_t ReadByte = 0;
    int32_t SignBit = 0;
    TextSink MainDisplay;
    TextSink RegisterDisplay;
    int32_t PageIndex = kPageNever;
    AnswerHandler OnAnswer;
};

// Receives the motion values of every polling pass, whether its window is shown or not.
class PlotFeed {
public:
    virtual ~PlotFeed() = default;
    // Each complete pass, as it ends.
    virtual void AddPass(const PassRow& row) = 0;
    // A Go or Stop of the motor (0..2) went out, from any window.
    virtual void MotorCommanded(int /*motor*/) {}
};

// What the walk needs to know of the register window.
class RegisterView {
public:
    virtual ~RegisterView() = default;
    virtual bool IsShown() const = 0;
    virtual int ActivePage() const = 0;
};

class PollCycle {
public:
    explicit PollCycle(BoardLink& link);

    PollSlot& Slot(int index) { return slots_[static_cast<size_t>(index)]; }
    const PollSlot& Slot(int index) const { return slots_[static_cast<size_t>(index)]; }

    void SetPlotFeed(PlotFeed* feed) { plot_ = feed; }
    void SetRegisterView(RegisterView* view) { registers_ = view; }
    // Shows the status byte of every telegram reply on the status LEDs.
    std::function<void(uint8_t status)> ShowStatus;
    // Each pass whose twelve motion values all came, when the cycle comes round to slot 1.
    std::function<void(const PassRow& row)> OnPass;

    int PollIndex = 0;
    bool TimerBusy = false;

    // One tick of the polling timer.
    void Tick();
    // A 4-byte reply that answers the current poll.
    void DistributeReply(const Answer& reply);
    // After every accepted reply; `detecting` tells that it was the identification.
    void Advance(bool detecting);

private:
    bool Polled(const PollSlot& slot) const;

    BoardLink& link_;
    std::array<PollSlot, kPollSlotCount> slots_;
    PlotFeed* plot_ = nullptr;
    RegisterView* registers_ = nullptr;
    PassCollector pass_;
};

} // namespace vrx
